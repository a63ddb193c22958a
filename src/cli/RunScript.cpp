// "daubix-cli run": a turtle script on a fresh or loaded image, without a display.

#include "app/Document.h"
#include "app/HeadlessHost.h"
#include "app/ProgramFolder.h"
#include "cli/Commands.h"
#include "effects/EffectMenu.h"
#include "effects/UserFilterCommands.h"
#include "generators/QuickBackdrops.h"
#include "io/Picture.h"
#include "script/TzoTurtle.h"

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iostream>
#include <optional>
#include <set>
#include <sstream>

namespace daubix::cli {

namespace {

struct RunOptions {
    std::string script;
    std::string in;
    std::string out;
    std::string previewOut;
    std::optional<std::uint32_t> seed;
    int width = 256;
    int height = 256;
    bool state = false;
    double timeout = 0; // seconds; 0 for none
};

std::optional<std::string> readScript(const std::string& path)
{
    std::ostringstream text;
    if (path == "-") {
        text << std::cin.rdbuf();
        return text.str();
    }
    std::ifstream file(path, std::ios::binary);
    if (!file)
        return std::nullopt;
    text << file.rdbuf();
    return text.str();
}

} // namespace

int runScript(const std::vector<std::string>& args)
{
    RunOptions o;
    bool sized = false;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& a = args[i];
        const bool hasValue = i + 1 < args.size();
        if (a == "--state") {
            o.state = true;
        } else if ((a == "--in" || a == "--out" || a == "--preview-out" || a == "--size" || a == "--timeout"
                       || a == "--seed")
            && !hasValue) {
            return usageError(a + " needs a value");
        } else if (a == "--in") {
            o.in = args[++i];
        } else if (a == "--out") {
            o.out = args[++i];
        } else if (a == "--preview-out") {
            o.previewOut = args[++i];
        } else if (a == "--size") {
            if (!parseSize(args[++i], o.width, o.height))
                return usageError("--size takes WIDTHxHEIGHT, e.g. 640x480, within the image size limit");
            sized = true;
        } else if (a == "--seed") {
            // Scripts draw random numbers only through the filters they ask for (Drip).
            std::uint32_t seed = 0;
            if (!parseSeed(args[++i], seed))
                return usageError("--seed takes a whole number from 0 to 4294967295");
            o.seed = seed;
        } else if (a == "--timeout") {
            char* end = nullptr;
            o.timeout = std::strtod(args[++i].c_str(), &end);
            if (*end != '\0' || !(o.timeout > 0))
                return usageError("--timeout takes a number of seconds greater than 0");
        } else if (o.script.empty() && (a == "-" || a.rfind("--", 0) != 0)) {
            o.script = a;
        } else {
            return usageError("run: unexpected argument \"" + a + "\"");
        }
    }
    if (o.script.empty())
        return usageError("run takes a script file: run SCRIPT [--in IMAGE | --size WxH] [--out IMAGE] [--state]");
    if (sized && !o.in.empty())
        return usageError("run takes either --in or --size, not both");
    if (!o.out.empty() && !io::isWritableExtension(o.out))
        return refuseOutputType(o.out);
    if (!o.previewOut.empty() && !io::isWritableExtension(o.previewOut))
        return refuseOutputType(o.previewOut);

    const auto text = readScript(o.script);
    if (!text)
        return fail("cannot read the script \"" + o.script + "\"");
    // The document holds what the Filters window keeps; the image is its working image.
    app::Document doc;
    auto start = startingImage(o.in, o.width, o.height);
    if (!start)
        return 1;
    doc.image = std::move(*start);
    if (o.seed)
        doc.random.seedFixed(*o.seed);
    app::HeadlessHost host;
    host.onMessage = [](const std::string& text) { std::fprintf(stderr, "message: %s\n", text.c_str()); };

    const gfx::Bitmap& image = doc.image;
    gfx::Canvas canvas(doc.image); // a canvas of its own, with the turtle's start state
    script::TzoTurtle turtle;
    turtle.Canvas = &canvas;
    turtle.OnRequestImageSize = [&image](gfx::Rect& r) { r = {0, 0, image.width() - 1, image.height() - 1}; };
    // A request that cannot be served is noted once per name, however often a loop asks for it.
    std::set<std::string> noted;
    const auto note = [&noted](const char* what, const std::string& name, const char* why) {
        if (noted.insert(std::string(what) + "\n" + name).second)
            std::fprintf(stderr, "daubix-cli: note: %s \"%s\" %s; ignored\n", what, name.c_str(), why);
    };
    // The backdrop presets are read at the first request, as the window reads them when it is made.
    std::optional<std::vector<std::string>> backdrops;
    turtle.OnRequestBackGround = [&](const std::string& name) {
        if (!backdrops) {
            const std::string path = app::programFile(
                app::resolveProgramFolder(executableFolder()), generators::kBackdropPresetFile);
            auto lines = generators::readBackdropPresets(path);
            if (!lines)
                std::fprintf(stderr, "message: %s\n", lines.error().c_str());
            backdrops = lines ? std::move(lines.value()) : std::vector<std::string>{};
        }
        if (!generators::requestBackdrop(doc, *backdrops, name))
            note("background", name, "is not a backdrop preset with seven good values");
    };
    // The filters of the Filters list preview as in the window, leaving the image as it is.
    std::optional<gfx::Bitmap> preview;
    turtle.OnRequestFilter = [&](const std::string& name) {
        // These two names (in this case only) are the menu's Trace and Invert, which change the image
        // itself; the turtle's canvas stays bound to it.
        if (name == "trace")
            return effects::traceImage(doc);
        if (name == "invert")
            return effects::invertImage(doc);
        if (auto picture = effects::requestFilter(doc, host, name))
            preview = std::move(*picture);
        else if (!effects::findUserFilter(name))
            note("filter", name, "is not in the filter list");
    };
    if (o.timeout > 0) {
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::duration<double>(o.timeout);
        turtle.Cancelled = [deadline] { return std::chrono::steady_clock::now() >= deadline; };
    }

    const script::RunResult result = turtle.Run(script::editorText(*text));
    if (o.state) {
        std::printf("status: %s\nposition: %d\nturtle: %d %d %.15g %s\nstack:", result.status.c_str(), result.position,
            turtle.Position.x, turtle.Position.y, turtle.Heading, turtle.PenDown ? "down" : "up");
        for (const std::int32_t v : turtle.numberStack())
            std::printf(" %d", v);
        std::printf("\n");
        std::fflush(stdout);
    }
    if (result.status != "ready") {
        std::fprintf(stderr, "error at position %d: %s\n", result.position, result.status.c_str());
        return 1;
    }
    if (!o.previewOut.empty() && !preview)
        return fail("the script previewed no filter: nothing for --preview-out");
    if (!o.out.empty())
        if (const int status = writeImage(o.out, image); status != 0)
            return status;
    return o.previewOut.empty() ? 0 : writeImage(o.previewOut, *preview);
}

} // namespace daubix::cli
