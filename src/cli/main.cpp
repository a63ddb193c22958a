// daubix-cli: Daubix without a display. Exit status 0 on success, 1 on a reported failure, 2 on a usage error.

#include "app/Arithmetic.h"
#include "app/Command.h"
#include "cli/Commands.h"
#include "commands/ApplyRows.h"
#include "commands/CommandTable.h"
#include "effects/EffectCommands.h"
#include "io/BmpCodec.h"
#include "io/Picture.h"

#include <algorithm>
#include <charconv>
#include <cstdio>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

namespace {

constexpr const char* kUsage = R"usage(Usage: daubix-cli COMMAND [ARGUMENTS]

Commands:
  convert IN OUT [--gif-transparent] [--png-transparent] [--icon-stretch] [--quality N]
                    read the image IN and write it to OUT, each by its extension (any case):
                    IN .bmp .png .jpg .jpeg .gif .ico .wmf .emf (metafiles and icons are
                    drawn over a white 256 x 256 image); OUT .bmp .png .jpg .jpeg .gif .ico
                    .tif. --gif-transparent and --png-transparent make the colour of the
                    bottom-left pixel transparent; --icon-stretch stretches an icon read to
                    256 x 256; --quality is the JPEG quality, 1 to 100 (default 25)
  apply EFFECT IN OUT [--clipboard IMAGE] [--seed N]
                    apply an effect to IN and write the result to OUT (any types convert
                    knows); EFFECT is a name, or NAME:ARG,ARG,... for effects with numbers,
                    e.g. GaussianBlur:3. JpegPreview:QUALITY,GREY writes what the JPEG
                    preview shows and prints "Size=" and the compressed size;
                    PrintPreview:PAGEW,PAGEH,SCALE writes the print preview of a printable
                    area of PAGEW x PAGEH printer pixels, a fifth of its size. The Filters
                    window's preview: QuickFilter:R,G,B[,V] with the red, green and blue
                    channels' line filters (names of the list, any case, or 0..25; V from 16
                    to 255, default 16); UserMatrix:M0,...,M24 with the 5 x 5 grid row by
                    row; FilterPreset:NAME with a preset of DaubixFL.txt in the program
                    folder. The Quick Effects panel's preview: QuickEffect:N,E[,X[,CX,CY]]
                    with effect N of the panel (0..55, as the README lists them), E on
                    its bar, X the "turb" bar (1..300, default 1) and the
                    centre CX,CY (default the image's middle); Blend (52) blends with
                    --clipboard IMAGE. Quick Backdrops' picture for IN's size:
                    Backdrop:FR,FG,FB,OR,OG,OB,M with the channels' formulas (0..40, as
                    the README lists them), their offsets (0..255) and the modulus (16..255).
                    The texture window's "Use":
                    Texture:SIZE,NOISE,MONO,COLOUR[,SEED] sets the texture size (4..240),
                    the noise amount (0..100; the sign is dropped), mono noise (0 or 1) and
                    the colour (0x00BBGGRR, decimal or 0x hex) in that order, then tiles the
                    whole image from its top-left corner; out-of-range values are replaced
                    with a message; SEED is what the tile's clock reseed takes.
                    QuickButtonPicture:L,T,R,B and BumperPicture:L,T,R,B write what Range >
                    Assign To hands over for that range (the bump editor's at most 50 x 50).
                    --seed fixes
                    the random numbers (Drip, the noise and ripple effects, Texture)
  effects           list the effects that apply knows, with their arguments
  commands          list the steps that do knows: every menu, toolbar and popup item, marked
                    "(window)" when it opens a window and "(not available yet)" when its
                    work is not built yet
  run SCRIPT [--in IMAGE | --size WxH] [--out IMAGE] [--preview-out IMAGE] [--state]
             [--timeout SECONDS] [--seed N]
                    run a turtle script on a white image (256 x 256 unless --size says) or
                    on IMAGE; "-" reads the script from standard input. --state prints the
                    status, the scan position, the turtle and the number stack afterwards.
                    "filter NAME" previews a filter of the Filters list without changing the
                    image; --preview-out writes the last preview. "background NAME" draws
                    the backdrop preset NAME of DaubixQB.txt in the program folder
  do [--in IMAGE | --size WxH] [--out IMAGE] [OPTIONS] STEP...
                    run menu commands, toolbar items and mouse gestures in order, as the
                    window does. A STEP is a menu path ("Range > Select All"), a toolbar
                    button ("goUndo") or popup item ("penmodes > Xor"), a gesture
                    ("drag MODE X,Y X,Y ... [shift] [ctrl] [alt] [middle] [right]", with
                    tick:N and wait:MS between points), a drag beside the image that
                    resizes it ("scrollbox X,Y X,Y ... [ctrl] [shift]", the image at 0,0),
                    "tick N", or a window's control ("TDaubixF > colorlist = navy",
                    "TDaubixFLF > QFList = Xor", "TDaubixFLF > matrix = M0,...,M24",
                    "TDaubixQBF > greenradio = Outer", "TQuickPreviewF > Use",
                    "TTextureF > texsize = 120", "TTextureF > goUse"; the README lists
                    them). OPTIONS:
                      --answer TEXT       answers to input boxes, in order (then their defaults)
                      --file PATH         names for open and save dialogs, in order
                      --color RRGGBB      choices of colour dialogs, in order
                      --font "NAME,SIZE[,bold][,italic]"  choices of font dialogs
                      --clipboard IMAGE   the clipboard's bitmap at the start
                      --clipboard-out IMAGE  write the clipboard's bitmap at the end
                      --range L,T,R,B  --pen RRGGBB  --brush RRGGBB  --width N
                                          the range, pen colour, brush colour and pen width
                      --seed N            seed the random generator (else the clock does)
                      --state             print the size, format, range, pen, brush, modes,
                                          tool, undo index, modified flag, trace and
                                          backdrop settings afterwards
                    Messages go to stderr as "message: TEXT"; a bad step exits 2, and
                    nothing is written unless every step ran
  --help            show this text
  --version         show the version
)usage";

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

bool parseInt(const std::string& text, int& value)
{
    const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
    return !text.empty() && ec == std::errc() && end == text.data() + text.size();
}

bool parseSeed(const std::string& text, std::uint32_t& seed)
{
    const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), seed);
    return !text.empty() && ec == std::errc() && end == text.data() + text.size();
}

bool parseSize(const std::string& text, int& width, int& height)
{
    const auto x = text.find('x');
    return x != std::string::npos && parseInt(text.substr(0, x), width) && parseInt(text.substr(x + 1), height)
        && width > 0 && height > 0 && gfx::Bitmap::isSaneSize(width, height);
}

std::string executableFolder()
{
    std::error_code error;
    const std::filesystem::path self = std::filesystem::read_symlink("/proc/self/exe", error);
    return error ? std::string() : self.parent_path().string();
}

int refuseOutputType(const std::string& out)
{
    return fail("cannot write \"" + out + "\": unknown file type (use .bmp, .png, .jpg, .gif, .ico or .tif)");
}

std::optional<gfx::Bitmap> readImage(const std::string& path, const app::FormatOptions& options)
{
    auto image = io::readPicture(path, gfx::Bitmap(256, 256), options);
    if (!image) {
        fail(path + ": " + image.error());
        return std::nullopt;
    }
    if (!image.value())
        fail("cannot read \"" + path + "\": unknown file type (use .bmp, .png, .jpg, .gif, .ico, .wmf or .emf)");
    return std::move(image.value());
}

std::optional<gfx::Bitmap> startingImage(const std::string& in, int width, int height)
{
    return in.empty() ? std::optional(gfx::Bitmap(width, height)) : readImage(in);
}

int writeImage(const std::string& path, const gfx::Bitmap& image, const app::FormatOptions& options, int quality)
{
    if (auto saved = io::writePicture(path, image, options, {}, quality); !saved)
        return fail(path + ": " + saved.error());
    return 0;
}

} // namespace daubix::cli

namespace {

using daubix::cli::fail;
using daubix::cli::usageError;

struct ConvertArgs {
    std::string in, out;
    daubix::app::FormatOptions options = daubix::cli::kPlainOptions;
    int quality = 25;
};

int convert(const ConvertArgs& a)
{
    if (!daubix::io::isWritableExtension(a.out))
        return daubix::cli::refuseOutputType(a.out);
    const auto image = daubix::cli::readImage(a.in, a.options);
    return image ? daubix::cli::writeImage(a.out, *image, a.options, a.quality) : 1;
}

struct ApplyArgs {
    std::string effect, in, out;
    std::optional<std::uint32_t> seed;
    std::string clipboard;
};

int apply(const ApplyArgs& a)
{
    if (!daubix::io::isWritableExtension(a.out))
        return daubix::cli::refuseOutputType(a.out);
    auto image = daubix::cli::readImage(a.in);
    if (!image)
        return 1;
    daubix::app::Random random;
    if (a.seed)
        random.seedFixed(*a.seed);
    daubix::commands::ApplyContext context{random, daubix::cli::executableFolder(), {}, {}, {}};
    if (!a.clipboard.empty()) {
        context.clipboard = daubix::cli::readImage(a.clipboard);
        if (!context.clipboard)
            return 1;
    }
    try {
        const daubix::gfx::Status applied = daubix::commands::applyCall(context, *image, a.effect);
        for (const std::string& message : context.messages)
            std::fprintf(stderr, "message: %s\n", message.c_str());
        if (!applied)
            return fail(a.effect + ": " + applied.error());
    } catch (const daubix::gfx::OutOfPixelMemory& e) {
        return fail(a.effect + ": " + daubix::app::outOfMemory(e.width, e.height));
    } catch (const std::bad_alloc&) {
        return fail(a.effect + ": " + daubix::app::outOfMemory(image->width(), image->height()));
    }
    if (!context.report.empty())
        std::printf("%s\n", context.report.c_str());
    return daubix::cli::writeImage(a.out, *image);
}

void listCommands()
{
    for (const daubix::app::CommandRow& row : daubix::commands::commandTable()) {
        std::string line;
        for (const char c : row.path)
            if (c != '&')
                line += c;
        if (row.kind == daubix::app::ItemKind::Window)
            line += " (window)";
        else if (!row.run)
            line += " (not available yet)";
        std::printf("%s\n", line.c_str());
    }
}

void listEffects()
{
    const auto print = [](std::string_view name, std::string_view parameters) {
        std::string line(name);
        if (!parameters.empty())
            line += ":" + std::string(parameters);
        std::printf("%s\n", line.c_str());
    };
    for (const auto& command : daubix::effects::effectCommands())
        print(command.name, command.parameters);
    for (const auto& row : daubix::commands::applyRows())
        print(row.name, row.parameters);
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
        ConvertArgs a;
        std::vector<std::string> names;
        for (std::size_t i = 1; i < args.size(); ++i) {
            if (args[i] == "--gif-transparent")
                a.options.gifTransparent = true;
            else if (args[i] == "--png-transparent")
                a.options.pngTransparent = true;
            else if (args[i] == "--icon-stretch")
                a.options.iconStretch = true;
            else if (args[i] == "--quality") {
                if (i + 1 == args.size() || !daubix::cli::parseInt(args[i + 1], a.quality) || a.quality < 1
                    || a.quality > 100)
                    return usageError("--quality takes a whole number from 1 to 100");
                ++i;
            } else if (args[i].starts_with("--"))
                return usageError("convert does not know " + args[i]);
            else
                names.push_back(args[i]);
        }
        if (names.size() != 2)
            return usageError("convert takes two file names: convert IN OUT [OPTIONS]");
        a.in = names[0];
        a.out = names[1];
        return convert(a);
    }
    if (command == "apply") {
        ApplyArgs a;
        std::vector<std::string> names;
        for (std::size_t i = 1; i < args.size(); ++i) {
            const bool valued = args[i] == "--seed" || args[i] == "--clipboard";
            if (valued && i + 1 == args.size())
                return usageError(args[i] + " needs a value");
            if (args[i] == "--seed") {
                std::uint32_t value = 0;
                if (!daubix::cli::parseSeed(args[++i], value))
                    return usageError("--seed takes a whole number from 0 to 4294967295");
                a.seed = value;
            } else if (args[i] == "--clipboard") {
                a.clipboard = args[++i];
            } else {
                names.push_back(args[i]);
            }
        }
        if (names.size() != 3)
            return usageError(
                "apply takes an effect and two file names: apply EFFECT IN OUT [--clipboard IMAGE] [--seed N]");
        a.effect = names[0];
        a.in = names[1];
        a.out = names[2];
        return apply(a);
    }
    if (command == "run")
        return daubix::cli::runScript({args.begin() + 1, args.end()});
    if (command == "do")
        return daubix::cli::doSteps({args.begin() + 1, args.end()});
    if (command == "commands") {
        listCommands();
        return 0;
    }
    if (command == "effects") {
        listEffects();
        return 0;
    }
    return usageError("unknown command \"" + command + "\"");
}
