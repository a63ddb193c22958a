// "daubix-cli do": menu commands, toolbar items and mouse gestures run in order on one image, without a
// display, through the same command table and tool engine as the window.

#include "app/Document.h"
#include "app/HeadlessHost.h"
#include "app/ImageCommands.h"
#include "app/Options.h"
#include "app/Range.h"
#include "cli/Commands.h"
#include "commands/StepRunner.h"
#include "io/Picture.h"

#include <algorithm>
#include <cctype>
#include <charconv>
#include <cstdio>
#include <optional>

namespace daubix::cli {

namespace {

struct DoOptions {
    std::string in;
    std::string out;
    int width = 256;
    int height = 256;
    bool sized = false;
    std::string clipboardIn;
    std::string clipboardOut;
    std::optional<gfx::Rect> range;
    std::optional<gfx::Color> pen;
    std::optional<gfx::Color> brush;
    std::optional<int> penWidth;
    std::optional<std::uint32_t> seed;
    bool state = false;
    std::vector<std::string> steps;
};

std::optional<gfx::Color> hexColor(const std::string& text)
{
    unsigned value = 0;
    const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value, 16);
    if (text.size() != 6 || !std::isxdigit(static_cast<unsigned char>(text[0])) || ec != std::errc()
        || end != text.data() + text.size())
        return std::nullopt;
    return gfx::rgb(
        static_cast<int>(value >> 16), static_cast<int>((value >> 8) & 0xFF), static_cast<int>(value & 0xFF));
}

std::string hex(gfx::Color c)
{
    char text[8];
    std::snprintf(text, sizeof text, "%02X%02X%02X", gfx::red(c), gfx::green(c), gfx::blue(c));
    return text;
}

// "NAME,SIZE[,bold][,italic]"
std::optional<gfx::Font> font(const std::string& text)
{
    std::vector<std::string> parts;
    std::size_t start = 0;
    while (true) {
        const auto comma = text.find(',', start);
        parts.push_back(text.substr(start, comma - start));
        if (comma == std::string::npos)
            break;
        start = comma + 1;
    }
    gfx::Font f;
    if (parts.size() < 2 || parts[0].empty() || !parseInt(parts[1], f.size) || f.size <= 0)
        return std::nullopt;
    f.name = parts[0];
    for (std::size_t i = 2; i < parts.size(); ++i) {
        if (parts[i] == "bold")
            f.bold = true;
        else if (parts[i] == "italic")
            f.italic = true;
        else
            return std::nullopt;
    }
    return f;
}

// "L,T,R,B"
std::optional<gfx::Rect> rect(const std::string& text)
{
    int values[4];
    std::size_t start = 0;
    for (int i = 0; i < 4; ++i) {
        const auto comma = i < 3 ? text.find(',', start) : std::string::npos;
        if (i < 3 && comma == std::string::npos)
            return std::nullopt;
        if (!parseInt(text.substr(start, comma - start), values[i]))
            return std::nullopt;
        start = comma + 1;
    }
    return gfx::Rect{values[0], values[1], values[2], values[3]};
}

void printState(const app::Document& doc)
{
    const gfx::Canvas& c = doc.canvas;
    const gfx::Rect& r = doc.range;
    std::printf("size: %dx%d\n", doc.image.width(), doc.image.height());
    std::printf("format: %d\n", doc.image.bitsPerPixel());
    std::printf("range: %d,%d,%d,%d\n", r.left, r.top, r.right, r.bottom);
    std::printf(
        "pen: %s %d %s\n", hex(c.pen.color).c_str(), c.pen.width, std::string(app::penStyleName(c.pen.style)).c_str());
    const std::string brushStyle = c.brush.pattern() ? "Pattern" : std::string(app::brushStyleName(c.brush.style()));
    std::printf("brush: %s %s\n", hex(c.brush.color()).c_str(), brushStyle.c_str());
    const std::string_view penMode = app::penModeName(c.pen.mode);
    std::printf("penmode: %s\n", penMode.empty() ? "Nop" : std::string(penMode).c_str());
    std::string copyMode(app::copyModeName(c.copyMode));
    if (copyMode.empty()) {
        char code[16];
        std::snprintf(code, sizeof code, "0x%08X", c.copyMode);
        copyMode = code;
    }
    std::printf("copymode: %s\n", copyMode.c_str());
    std::printf("tool: %s\n", doc.toolMode.c_str());
    std::printf("undo: %d\n", doc.undo.index());
    std::printf("modified: %s\n", doc.modified ? "yes" : "no");
    std::printf("trace: %d %d\n", doc.traceColorByte, doc.traceIntensity);
    const app::BackdropSettings& b = doc.backdrop.settings;
    std::printf("backdrop: %d,%d,%d,%d,%d,%d,%d\n", b.formulas[0], b.formulas[1], b.formulas[2], b.offsets[0],
        b.offsets[1], b.offsets[2], b.modulus);
    std::fflush(stdout);
}

} // namespace

int doSteps(const std::vector<std::string>& args)
{
    DoOptions o;
    app::HeadlessHost host;
    static const std::vector<std::string> kValued{"--in", "--out", "--size", "--answer", "--file", "--color", "--font",
        "--clipboard", "--clipboard-out", "--range", "--pen", "--brush", "--width", "--seed", "--timeout"};
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& a = args[i];
        const bool valued = std::find(kValued.begin(), kValued.end(), a) != kValued.end();
        if (valued && i + 1 >= args.size())
            return usageError(a + " needs a value");
        const std::string value = valued ? args[i + 1] : std::string();
        i += valued ? 1 : 0;
        if (a == "--state") {
            o.state = true;
        } else if (a == "--in") {
            o.in = value;
        } else if (a == "--out") {
            o.out = value;
        } else if (a == "--size") {
            if (!parseSize(value, o.width, o.height))
                return usageError("--size takes WIDTHxHEIGHT, e.g. 640x480, within the image size limit");
            o.sized = true;
        } else if (a == "--answer") {
            host.answers.push_back(value);
        } else if (a == "--file") {
            host.files.push_back(value);
        } else if (a == "--color") {
            const auto c = hexColor(value);
            if (!c)
                return usageError("--color takes RRGGBB in hexadecimal");
            host.colors.push_back(*c);
        } else if (a == "--font") {
            const auto f = font(value);
            if (!f)
                return usageError("--font takes \"NAME,SIZE[,bold][,italic]\"");
            host.fonts.push_back(*f);
        } else if (a == "--clipboard") {
            o.clipboardIn = value;
        } else if (a == "--clipboard-out") {
            o.clipboardOut = value;
        } else if (a == "--range") {
            if (!(o.range = rect(value)))
                return usageError("--range takes L,T,R,B");
        } else if (a == "--pen" || a == "--brush") {
            const auto c = hexColor(value);
            if (!c)
                return usageError(a + " takes RRGGBB in hexadecimal");
            (a == "--pen" ? o.pen : o.brush) = c;
        } else if (a == "--width") {
            int w = 0;
            if (!parseInt(value, w) || w < 1)
                return usageError("--width takes a pen width of 1 or more");
            o.penWidth = w;
        } else if (a == "--seed") {
            std::uint32_t seed = 0;
            if (!parseSeed(value, seed))
                return usageError("--seed takes a whole number from 0 to 4294967295");
            o.seed = seed;
        } else if (a == "--timeout") {
            char* end = nullptr;
            host.scriptTimeout = std::strtod(value.c_str(), &end);
            if (*end != '\0' || !(host.scriptTimeout > 0))
                return usageError("--timeout takes a number of seconds above 0");
        } else if (a.rfind("--", 0) == 0) {
            return usageError("do: unknown option \"" + a + "\"");
        } else {
            o.steps.push_back(a);
        }
    }
    if (o.sized && !o.in.empty())
        return usageError("do takes either --in or --size, not both");
    for (const std::string& name : {o.out, o.clipboardOut})
        if (!name.empty() && !io::isWritableExtension(name))
            return refuseOutputType(name);

    app::Document doc;
    auto start = startingImage(o.in, o.width, o.height);
    if (!start)
        return 1;
    doc.image = std::move(*start);
    if (!o.clipboardIn.empty()) {
        auto loaded = readImage(o.clipboardIn);
        if (!loaded)
            return 1;
        host.clipboard = std::move(*loaded);
    }
    if (o.seed)
        doc.random.seedFixed(*o.seed);
    if (o.range)
        doc.range = *o.range;
    if (o.pen)
        doc.canvas.pen.color = doc.firstColor = *o.pen;
    if (o.brush) {
        doc.secondColor = *o.brush;
        doc.canvas.brush.setColor(*o.brush); // as a click in the colour list: a clear brush turns solid
    }
    if (o.penWidth)
        doc.canvas.pen.width = *o.penWidth;
    // As the window does when it first shows: the image as it starts is the first undo state.
    app::pushImage(doc);
    host.onMessage = [](const std::string& text) { std::fprintf(stderr, "message: %s\n", text.c_str()); };

    commands::StepRunner runner(doc, host);
    runner.setExecutableFolder(executableFolder());
    for (const std::string& step : o.steps) {
        const commands::StepResult result = runner.run(step);
        if (result.status == commands::StepStatus::Ok)
            continue;
        std::fprintf(stderr, "error: %s\n", result.message.c_str());
        return result.status == commands::StepStatus::Error ? 2 : 1;
    }
    if (o.state)
        printState(doc);
    if (host.failed)
        return 1; // a command said it failed: the picture is not what the steps meant to make
    if (!o.clipboardOut.empty() && !host.clipboard)
        return fail("the clipboard holds no bitmap to write to \"" + o.clipboardOut + "\"");
    if (!o.out.empty())
        if (const int status = writeImage(o.out, doc.image))
            return status;
    return o.clipboardOut.empty() ? 0 : writeImage(o.clipboardOut, *host.clipboard);
}

} // namespace daubix::cli
