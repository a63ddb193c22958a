// "daubix-cli run": a turtle script on a fresh or loaded image, without a display.

#include "app/Document.h"
#include "app/HeadlessHost.h"
#include "app/ProgramFolder.h"
#include "cli/Commands.h"
#include "commands/ScriptCommands.h"
#include "io/Picture.h"
#include "script/TzoTurtle.h"

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
    // The requests are answered as the window answers them, with the program folder's presets.
    commands::ScriptSession& session = commands::scriptSession(doc);
    session.findProgramFolder = [] { return app::resolveProgramFolder(executableFolder()); };
    // A request that matches nothing is noted once per name, however often a loop asks for it.
    std::set<std::string> noted;
    session.onIgnored = [&noted](const std::string& what, const std::string& name) {
        if (noted.insert(what + "\n" + name).second)
            std::fprintf(stderr, "daubix-cli: note: %s \"%s\" matches nothing; ignored\n", what.c_str(), name.c_str());
    };
    std::optional<gfx::Bitmap> preview;
    session.onPreview = [&preview](gfx::Bitmap picture) { preview = std::move(picture); };
    host.scriptTimeout = o.timeout;
    commands::bindTurtle(turtle, canvas, doc, host, session);

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
