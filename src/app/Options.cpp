#include "app/Options.h"

#include "app/Document.h"
#include "app/Host.h"

#include <array>
#include <charconv>
#include <optional>

namespace daubix::app {

namespace {

std::string ask(Host& host, const std::string& caption, const std::string& prompt, const std::string& initial)
{
    return host.askText(caption, prompt, initial).value_or(initial);
}

// A whole number with nothing else around it but blanks.
std::optional<int> integer(std::string_view text)
{
    while (!text.empty() && text.front() == ' ')
        text.remove_prefix(1);
    while (!text.empty() && text.back() == ' ')
        text.remove_suffix(1);
    int v = 0;
    const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), v);
    if (text.empty() || ec != std::errc() || end != text.data() + text.size())
        return std::nullopt;
    return v;
}

// A real number with either a point or a comma as the decimal separator.
std::optional<double> real(std::string text)
{
    for (char& c : text)
        if (c == ',')
            c = '.';
    std::string_view t = text;
    while (!t.empty() && t.front() == ' ')
        t.remove_prefix(1);
    while (!t.empty() && t.back() == ' ')
        t.remove_suffix(1);
    double v = 0;
    const auto [end, ec] = std::from_chars(t.data(), t.data() + t.size(), v);
    if (t.empty() || ec != std::errc() || end != t.data() + t.size())
        return std::nullopt;
    return v;
}

} // namespace

void askBlocks(Document& doc, Host& host)
{
    const auto v = integer(ask(host, "Daubix", "Number of blocks (2..50):", std::to_string(doc.shapes.blocksCount)));
    if (v && *v >= 2 && *v <= 50)
        doc.shapes.blocksCount = *v;
}

void blockPen(Document& doc)
{
    doc.canvas.pen.width = std::max(1, doc.image.width() / doc.shapes.blocksCount);
}

void askLineTolerance(Document& doc, Host& host)
{
    const auto v = integer(ask(host, "Daubix", "Enter Straight Line Tolerance (5..50)", "5"));
    doc.shapes.lineTolerance = (v && *v >= 5 && *v <= 50) ? *v : 5;
}

void togglePolygon(Document& doc)
{
    doc.shapes.polygonOnly = !doc.shapes.polygonOnly;
}

void askRounding(Document& doc, Host& host)
{
    doc.shapes.rounding = integer(ask(host, "Daubix", "Enter Rounding", "10")).value_or(10);
}

void askShapes(Document& doc, Host& host)
{
    const auto v = integer(ask(host, "Daubix", "Number of Shapes(1..25)", "1"));
    doc.shapes.shapesCount = (v && *v >= 1 && *v <= 25) ? *v : 1;
}

void setSpiralDirection(Document& doc, int direction)
{
    doc.shapes.spiralDirection = direction < 0 ? -1 : 1;
}

void setSpiralCount(Document& doc, int count)
{
    doc.shapes.spiralCount = count;
}

void askSpirals(Document& doc, Host& host)
{
    const auto v = integer(ask(host, "Daubix", "Spirals (3..50)", "3"));
    doc.shapes.spiralCount = (v && *v >= 1 && *v <= 50) ? *v : 3;
}

void setSpiralFactor(Document& doc, double factor)
{
    doc.shapes.spiralFactor = factor;
}

void askSpiralFactor(Document& doc, Host& host)
{
    const auto v = real(ask(host, "Daubix", "Spiral factor (0.1..0.99)", "0.99"));
    doc.shapes.spiralFactor = (v && *v >= 0.1 && *v < 1) ? *v : 0.99;
}

void setStarPoints(Document& doc, int points)
{
    doc.shapes.starPoints = points;
}

void askSpiroTurns(Document& doc, Host& host)
{
    const auto v
        = integer(ask(host, "Daubix SpiroGraph", "Enter Turns (1-100):", std::to_string(doc.shapes.spiroTurns)));
    if (!v)
        return;
    doc.shapes.spiroTurns = (*v >= 1 && *v <= 100) ? *v : 20;
}

void askLineWidth(Document& doc, Host& host)
{
    const auto v = integer(ask(host, "Daubix", "Enter new line width:", "1"));
    doc.canvas.pen.width = (v && *v >= 1 && *v <= doc.image.height()) ? *v : 1;
}

std::span<const PenModeItem> penModeItems()
{
    using gfx::PenMode;
    static constexpr std::array<PenModeItem, 15> kItems{{{"Copy", PenMode::Copy, "Pen=Copy"},
        {"Xor", PenMode::Xor, "Pen=Xor"}, {"Not Xor", PenMode::NotXor, "Pen=Not Xor"},
        {"Black", PenMode::Black, "Pen=Black"}, {"White", PenMode::White, "Pen=White"},
        {"Not", PenMode::Not, "Pen=Not"}, {"Not Copy", PenMode::NotCopy, "Pen=Not Copy"},
        {"Merge Pen Not", PenMode::MergePenNot, "Pen=Merge Pen Not"},
        {"Mask Pen Not", PenMode::MaskPenNot, "Pen=Mask Pen Not"},
        {"Merge Not Pen", PenMode::MergeNotPen, "Pen=Merge Not Pen"},
        {"Mask Not Pen", PenMode::MaskNotPen, "Pen=Mask Not Pen"}, {"Merge", PenMode::Merge, "Pen=Merge"},
        {"Not Merge", PenMode::NotMerge, "Pen=Not Merge"}, {"Mask", PenMode::Mask, "Pen=Mask"},
        {"Not Mask", PenMode::NotMask, "Pen=Not Mask"}}};
    return kItems;
}

void choosePenMode(Document& doc, Host& host, const PenModeItem& item)
{
    doc.canvas.pen.mode = item.mode;
    host.setStatus(1, std::string(item.status));
}

std::span<const int> lineWidths()
{
    static constexpr std::array<int, 7> kWidths{1, 2, 3, 4, 5, 10, 30};
    return kWidths;
}

std::span<const PenStyleItem> penStyleItems()
{
    using gfx::PenStyle;
    static constexpr std::array<PenStyleItem, 7> kItems{{{"Solid", PenStyle::Solid}, {"Dash", PenStyle::Dash},
        {"Dot", PenStyle::Dot}, {"Dash Dot", PenStyle::DashDot}, {"Dash Dot Dot", PenStyle::DashDotDot},
        {"Clear", PenStyle::Clear}, {"Inside Frame", PenStyle::InsideFrame}}};
    return kItems;
}

std::span<const BrushStyleItem> brushStyleItems()
{
    using gfx::BrushStyle;
    static constexpr std::array<BrushStyleItem, 8> kItems{
        {{"Solid", BrushStyle::Solid}, {"Clear", BrushStyle::Clear}, {"Horizontal", BrushStyle::Horizontal},
            {"Vertical", BrushStyle::Vertical}, {"FDiagonal", BrushStyle::FDiagonal},
            {"BDiagonal", BrushStyle::BDiagonal}, {"Cross", BrushStyle::Cross}, {"DiagCross", BrushStyle::DiagCross}}};
    return kItems;
}

} // namespace daubix::app
