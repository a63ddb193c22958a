#include "support/GdiScript.h"

#include "gfx/Canvas.h"
#include "io/BmpCodec.h"

#include <cmath>
#include <fstream>
#include <map>
#include <memory>
#include <sstream>
#include <vector>

namespace daubix::test {

namespace {

gfx::Color hexColor(const std::string& text)
{
    const unsigned long v = std::stoul(text, nullptr, 16);
    return gfx::rgb(static_cast<int>((v >> 16) & 0xFF), static_cast<int>((v >> 8) & 0xFF), static_cast<int>(v & 0xFF));
}

// A word, or a double-quoted string with \" and \\ escapes.
std::string quoted(std::istringstream& in)
{
    in >> std::ws;
    if (in.peek() != '"') {
        std::string word;
        in >> word;
        return word;
    }
    in.get();
    std::string text;
    for (int ch = in.get(); ch != EOF && ch != '"'; ch = in.get()) {
        if (ch == '\\')
            ch = in.get();
        text.push_back(static_cast<char>(ch));
    }
    return text;
}

std::vector<gfx::Point> points(std::istringstream& in)
{
    int n = 0;
    in >> n;
    std::vector<gfx::Point> pts(static_cast<std::size_t>(std::max(n, 0)));
    for (gfx::Point& p : pts)
        in >> p.x >> p.y;
    return pts;
}

} // namespace

gfx::Bitmap runGdiScript(const std::string& path, std::string& notes)
{
    const std::string folder = path.substr(0, path.find_last_of('/') + 1);
    std::ifstream file(path);
    gfx::Bitmap image;
    auto canvas = std::make_unique<gfx::Canvas>(image);
    // A fresh device context: black pen, white solid brush.
    canvas->brush.setColor(gfx::clWhite);
    const std::map<std::string, gfx::PenStyle> penStyles{{"solid", gfx::PenStyle::Solid}, {"dash", gfx::PenStyle::Dash},
        {"dot", gfx::PenStyle::Dot}, {"dashdot", gfx::PenStyle::DashDot}, {"dashdotdot", gfx::PenStyle::DashDotDot},
        {"null", gfx::PenStyle::Clear}, {"insideframe", gfx::PenStyle::InsideFrame}};
    const std::map<std::string, gfx::BrushStyle> brushStyles{{"solid", gfx::BrushStyle::Solid},
        {"null", gfx::BrushStyle::Clear}, {"horizontal", gfx::BrushStyle::Horizontal},
        {"vertical", gfx::BrushStyle::Vertical}, {"fdiagonal", gfx::BrushStyle::FDiagonal},
        {"bdiagonal", gfx::BrushStyle::BDiagonal}, {"cross", gfx::BrushStyle::Cross},
        {"diagcross", gfx::BrushStyle::DiagCross}};
    const char* rop2Names[] = {"black", "notmergepen", "masknotpen", "notcopypen", "maskpennot", "not", "xorpen",
        "notmaskpen", "maskpen", "notxorpen", "nop", "mergenotpen", "copypen", "mergepennot", "mergepen", "white"};
    std::string line;
    int lineNumber = 0;
    while (std::getline(file, line)) {
        ++lineNumber;
        if (const auto hash = line.find('#'); hash != std::string::npos)
            line.erase(hash);
        std::istringstream in(line);
        std::string command;
        if (!(in >> command))
            continue;
        gfx::Canvas& c = *canvas;
        int a = 0, b = 0, cc = 0, d = 0, e = 0, f = 0, g = 0, h = 0;
        std::string word;
        if (command == "size") {
            in >> a >> b;
            image = gfx::Bitmap(a, b);
        } else if (command == "load") {
            in >> word;
            auto loaded = io::readBmpFile(folder + word);
            if (loaded)
                image = loaded.value().converted(gfx::PixelFormat::Bits24);
        } else if (command == "clear") {
            in >> word;
            image.fill(hexColor(word));
        } else if (command == "pen") {
            in >> word >> a;
            c.pen.color = hexColor(word);
            c.pen.width = a;
            in >> word;
            c.pen.style = penStyles.at(word);
        } else if (command == "brush") {
            std::string style;
            in >> word >> style;
            c.brush.setStyle(brushStyles.at(style));
            if (style != "null")
                c.brush.setColor(hexColor(word));
        } else if (command == "patternbrush") {
            in >> word;
            auto loaded = io::readBmpFile(folder + word);
            if (loaded)
                c.brush.setPattern(loaded.value());
        } else if (command == "rop2") {
            in >> word;
            for (int i = 0; i < 16; ++i)
                if (word == rop2Names[i])
                    c.pen.mode = static_cast<gfx::PenMode>(i + 1);
        } else if (command == "moveto") {
            in >> a >> b;
            c.moveTo(a, b);
        } else if (command == "lineto") {
            in >> a >> b;
            c.lineTo(a, b);
        } else if (command == "polyline") {
            c.polyline(points(in));
        } else if (command == "polygon") {
            c.polygon(points(in));
        } else if (command == "polybezier") {
            c.polyBezier(points(in));
        } else if (command == "rectangle") {
            in >> a >> b >> cc >> d;
            c.rectangle(a, b, cc, d);
        } else if (command == "ellipse") {
            in >> a >> b >> cc >> d;
            c.ellipse(a, b, cc, d);
        } else if (command == "roundrect") {
            in >> a >> b >> cc >> d >> e >> f;
            c.roundRect(a, b, cc, d, e, f);
        } else if (command == "arc" || command == "chord" || command == "pie") {
            in >> a >> b >> cc >> d >> e >> f >> g >> h;
            if (command == "arc")
                c.arc(a, b, cc, d, e, f, g, h);
            else if (command == "chord")
                c.chord(a, b, cc, d, e, f, g, h);
            else
                c.pie(a, b, cc, d, e, f, g, h);
        } else if (command == "fillrect") {
            in >> a >> b >> cc >> d;
            c.fillRect({a, b, cc, d});
        } else if (command == "framerect") {
            in >> a >> b >> cc >> d;
            c.frameRect({a, b, cc, d});
        } else if (command == "floodfill" || command == "surfacefill") {
            in >> a >> b >> word;
            c.floodFill(a, b, hexColor(word),
                command == "floodfill" ? gfx::Canvas::FillStyle::Border : gfx::Canvas::FillStyle::Surface);
        } else if (command == "setpixel") {
            in >> a >> b >> word;
            c.setPixel(a, b, hexColor(word));
        } else if (command == "font") {
            // font NAME HEIGHT WEIGHT ITALIC ESCAPEMENT [QUALITY] [underline] [strikeout]; a negative height
            // is the character height in pixels, which our point sizes reach at 96 dots per inch.
            c.font.name = quoted(in);
            int height = 0, weight = 0, italic = 0, escapement = 0;
            in >> height >> weight >> italic >> escapement;
            if (height >= 0)
                notes += "line " + std::to_string(lineNumber) + ": cell heights are not supported\n";
            c.font.size = static_cast<int>(std::lround(-height * 72.0 / 96.0));
            c.font.bold = weight >= 600;
            c.font.italic = italic != 0;
            c.font.angle = escapement;
            c.font.underline = c.font.strikeOut = false;
            while (in >> word) {
                c.font.underline |= word == "underline";
                c.font.strikeOut |= word == "strikeout";
            }
        } else if (command == "textcolor") {
            in >> word;
            c.font.color = hexColor(word);
        } else if (command == "textout") {
            in >> a >> b;
            c.textOut(a, b, quoted(in));
        } else if (command == "textextent") {
            const std::string text = quoted(in);
            notes += "textextent \"" + text + "\" " + std::to_string(c.textWidth(text)) + " "
                + std::to_string(c.textHeight(text)) + "\n";
        } else if (command == "getpixel" || command == "fontinfo") {
            // Queries print in the reference; nothing to draw.
        } else {
            notes += "line " + std::to_string(lineNumber) + ": skipped " + command + "\n";
        }
    }
    return image;
}

} // namespace daubix::test
