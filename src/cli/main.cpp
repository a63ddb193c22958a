// daubix-cli: Daubix without a display. Exit status 0 on success, 1 on a reported failure, 2 on a usage error.

#include "app/Arithmetic.h"
#include "app/TextCase.h"
#include "cli/Commands.h"
#include "effects/EffectCommands.h"
#include "io/BmpCodec.h"

#include <cstdio>
#include <string>
#include <vector>

namespace {

constexpr const char* kUsage = R"(Usage: daubix-cli COMMAND [ARGUMENTS]

Commands:
  convert IN OUT    read the image IN and write it to OUT (BMP)
  apply EFFECT IN OUT
                    apply an effect to IN and write the result to OUT; EFFECT is a name, or
                    NAME:ARG,ARG,... for effects with numbers, e.g. GaussianBlur:3
  effects           list the effects that apply knows, with their arguments
  run SCRIPT [--in IMAGE | --size WxH] [--out IMAGE] [--state] [--timeout SECONDS]
                    run a turtle script on a white image (256 x 256 unless --size says) or
                    on IMAGE; "-" reads the script from standard input. --state prints the
                    status, the scan position, the turtle and the number stack afterwards
  --help            show this text
  --version         show the version
)";

} // namespace

namespace daubix::cli {

int usageError(const std::string& message)
{
    std::fprintf(stderr, "daubix-cli: %s\n\n%s", message.c_str(), kUsage);
    return 2;
}

int fail(const std::string& message)
{
    std::fprintf(stderr, "daubix-cli: %s\n", message.c_str());
    return 1;
}

bool isBmpName(const std::string& path)
{
    const auto dot = path.find_last_of('.');
    const auto slash = path.find_last_of('/');
    if (dot == std::string::npos || (slash != std::string::npos && dot < slash))
        return false;
    return daubix::app::sameIgnoringCase(std::string_view(path).substr(dot + 1), "bmp");
}

} // namespace daubix::cli

namespace {

using daubix::cli::fail;
using daubix::cli::usageError;

int convert(const std::string& in, const std::string& out)
{
    if (!daubix::cli::isBmpName(out))
        return fail("cannot write \"" + out + "\": unsupported file type (use .bmp)");
    auto image = daubix::io::readBmpFile(in);
    if (!image)
        return fail(in + ": " + image.error());
    if (auto saved = daubix::io::writeBmpFile(out, image.value()); !saved)
        return fail(saved.error());
    return 0;
}

int apply(const std::string& effect, const std::string& in, const std::string& out)
{
    if (!daubix::cli::isBmpName(out))
        return fail("cannot write \"" + out + "\": unsupported file type (use .bmp)");
    auto image = daubix::io::readBmpFile(in);
    if (!image)
        return fail(in + ": " + image.error());
    daubix::app::Random random;
    daubix::effects::TketPaintFX fx(random);
    if (auto applied = daubix::effects::applyEffect(fx, image.value(), effect); !applied)
        return fail(effect + ": " + applied.error());
    if (auto saved = daubix::io::writeBmpFile(out, image.value()); !saved)
        return fail(saved.error());
    return 0;
}

void listEffects()
{
    for (const auto& command : daubix::effects::effectCommands()) {
        std::string line(command.name);
        if (!command.parameters.empty())
            line += ":" + std::string(command.parameters);
        std::printf("%s\n", line.c_str());
    }
}

} // namespace

int main(int argc, char* argv[])
{
    const std::vector<std::string> args(argv + 1, argv + argc);
    if (args.empty())
        return usageError("no command given");
    const std::string& command = args[0];
    if (command == "--help" || command == "-h") {
        std::fputs(kUsage, stdout);
        return 0;
    }
    if (command == "--version") {
        std::printf("daubix-cli %s\n", DAUBIX_VERSION);
        return 0;
    }
    if (command == "convert") {
        if (args.size() != 3)
            return usageError("convert takes two file names: convert IN OUT");
        return convert(args[1], args[2]);
    }
    if (command == "apply") {
        if (args.size() != 4)
            return usageError("apply takes an effect and two file names: apply EFFECT IN OUT");
        return apply(args[1], args[2], args[3]);
    }
    if (command == "run")
        return daubix::cli::runScript({args.begin() + 1, args.end()});
    if (command == "effects") {
        listEffects();
        return 0;
    }
    return usageError("unknown command \"" + command + "\"");
}
