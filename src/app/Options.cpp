#include "app/Options.h"

#include "app/Command.h"
#include "app/Document.h"
#include "app/Host.h"
#include "app/Prompt.h"

#include <array>
#include <charconv>
#include <optional>

namespace daubix::app {

void askBlocks(Document& doc, Host& host)
{
    const auto v
        = parseInteger(askText(host, "Daubix", "Number of blocks (2..50):", std::to_string(doc.shapes.blocksCount)));
    if (v && *v >= 2 && *v <= 50)
        doc.shapes.blocksCount = *v;
}

void blockPen(Document& doc)
{
    doc.canvas.pen.width = std::max(1, doc.image.width() / doc.shapes.blocksCount);
}

void askLineTolerance(Document& doc, Host& host)
{
    const auto v = parseInteger(askText(host, "Daubix", "Enter Straight Line Tolerance (5..50)", "5"));
    doc.shapes.lineTolerance = (v && *v >= 5 && *v <= 50) ? *v : 5;
}

void togglePolygon(Document& doc)
{
    doc.shapes.polygonOnly = !doc.shapes.polygonOnly;
}

void askRounding(Document& doc, Host& host)
{
    doc.shapes.rounding = parseInteger(askText(host, "Daubix", "Enter Rounding", "10")).value_or(10);
}

void askShapes(Document& doc, Host& host)
{
    const auto v = parseInteger(askText(host, "Daubix", "Number of Shapes(1..25)", "1"));
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
    const auto v = parseInteger(askText(host, "Daubix", "Spirals (3..50)", "3"));
    doc.shapes.spiralCount = (v && *v >= 1 && *v <= 50) ? *v : 3;
}

void setSpiralFactor(Document& doc, double factor)
{
    doc.shapes.spiralFactor = factor;
}

void askSpiralFactor(Document& doc, Host& host)
{
    const auto v = parseReal(askText(host, "Daubix", "Spiral factor (0.1..0.99)", "0.99"));
    doc.shapes.spiralFactor = (v && *v >= 0.1 && *v < 1) ? *v : 0.99;
}

void setStarPoints(Document& doc, int points)
{
    doc.shapes.starPoints = points;
}

void askSpiroTurns(Document& doc, Host& host)
{
    const auto v = parseInteger(
        askText(host, "Daubix SpiroGraph", "Enter Turns (1-100):", std::to_string(doc.shapes.spiroTurns)));
    if (!v)
        return;
    doc.shapes.spiroTurns = (*v >= 1 && *v <= 100) ? *v : 20;
}

void askLineWidth(Document& doc, Host& host)
{
    const auto v = parseInteger(askText(host, "Daubix", "Enter new line width:", "1"));
    doc.canvas.pen.width = (v && *v >= 1 && *v <= doc.image.height()) ? *v : 1;
}

namespace {

void penModeRow(CommandContext& c, const CommandRow& row)
{
    c.doc.canvas.pen.mode = static_cast<gfx::PenMode>(row.number);
    c.host.setStatus(1, "Pen=" + std::string(caption(row)));
}

void penStyleRow(CommandContext& c, const CommandRow& row)
{
    c.doc.canvas.pen.style = static_cast<gfx::PenStyle>(row.number);
}

void brushStyleRow(CommandContext& c, const CommandRow& row)
{
    c.doc.canvas.brush.setStyle(static_cast<gfx::BrushStyle>(row.number));
}

void lineWidthRow(CommandContext& c, const CommandRow& row)
{
    c.doc.canvas.pen.width = row.number;
}

void starPointsRow(CommandContext& c, const CommandRow& row)
{
    setStarPoints(c.doc, row.number);
}

bool starPointsChecked(const Document& doc, const CommandRow& row)
{
    return doc.shapes.starPoints == row.number;
}

void spiralCountRow(CommandContext& c, const CommandRow& row)
{
    setSpiralCount(c.doc, row.number);
}

void spiralFactorRow(CommandContext& c, const CommandRow& row)
{
    setSpiralFactor(c.doc, row.number / 100.0);
}

void spiralDirectionRow(CommandContext& c, const CommandRow& row)
{
    setSpiralDirection(c.doc, row.number);
}

bool spiralDirectionChecked(const Document& doc, const CommandRow& row)
{
    return doc.shapes.spiralDirection == row.number;
}

constexpr int mode(gfx::PenMode m)
{
    return static_cast<int>(m);
}
constexpr int style(gfx::PenStyle s)
{
    return static_cast<int>(s);
}
constexpr int style(gfx::BrushStyle s)
{
    return static_cast<int>(s);
}

using gfx::BrushStyle;
using gfx::PenMode;
using gfx::PenStyle;

constexpr CommandRow kRows[] = {
    {.path = "Options > Blocks > Blocks...",
        .run = [](CommandContext& c, const CommandRow&) { askBlocks(c.doc, c.host); }},
    {.path = "Options > Blocks > BlockPen", .run = [](CommandContext& c, const CommandRow&) { blockPen(c.doc); }},
    {.path = "Options > Line Tolerance...",
        .run = [](CommandContext& c, const CommandRow&) { askLineTolerance(c.doc, c.host); }},
    {.path = "Options > Polygon",
        .kind = ItemKind::Check,
        .run = [](CommandContext& c, const CommandRow&) { togglePolygon(c.doc); },
        .checked = [](const Document& doc, const CommandRow&) { return doc.shapes.polygonOnly; }},
    {.path = "Options > Rounding...", .run = [](CommandContext& c, const CommandRow&) { askRounding(c.doc, c.host); }},
    {.path = "Options > Shapes...", .run = [](CommandContext& c, const CommandRow&) { askShapes(c.doc, c.host); }},
    {.path = "Options > Spirals > Right",
        .kind = ItemKind::Radio,
        .run = spiralDirectionRow,
        .checked = spiralDirectionChecked,
        .number = 1},
    {.path = "Options > Spirals > Left",
        .kind = ItemKind::Radio,
        .run = spiralDirectionRow,
        .checked = spiralDirectionChecked,
        .number = -1},
    {.path = "Options > Spirals > 1", .run = spiralCountRow, .number = 1},
    {.path = "Options > Spirals > 2", .run = spiralCountRow, .number = 2},
    {.path = "Options > Spirals > 3", .run = spiralCountRow, .number = 3},
    {.path = "Options > Spirals > Other...",
        .run = [](CommandContext& c, const CommandRow&) { askSpirals(c.doc, c.host); }},
    {.path = "Options > Spiralfactor > 0.99", .run = spiralFactorRow, .number = 99},
    {.path = "Options > Spiralfactor > 0.97", .run = spiralFactorRow, .number = 97},
    {.path = "Options > Spiralfactor > 0.95", .run = spiralFactorRow, .number = 95},
    {.path = "Options > Spiralfactor > Other...",
        .run = [](CommandContext& c, const CommandRow&) { askSpiralFactor(c.doc, c.host); }},
    {.path = "Options > Starpoints > 3",
        .kind = ItemKind::Radio,
        .run = starPointsRow,
        .checked = starPointsChecked,
        .number = 3},
    {.path = "Options > Starpoints > 4",
        .kind = ItemKind::Radio,
        .run = starPointsRow,
        .checked = starPointsChecked,
        .number = 4},
    {.path = "Options > Starpoints > 5",
        .kind = ItemKind::Radio,
        .run = starPointsRow,
        .checked = starPointsChecked,
        .number = 5},
    {.path = "Options > Starpoints > 6",
        .kind = ItemKind::Radio,
        .run = starPointsRow,
        .checked = starPointsChecked,
        .number = 6},
    {.path = "Options > Starpoints > 7",
        .kind = ItemKind::Radio,
        .run = starPointsRow,
        .checked = starPointsChecked,
        .number = 7},
    {.path = "Options > Starpoints > 8",
        .kind = ItemKind::Radio,
        .run = starPointsRow,
        .checked = starPointsChecked,
        .number = 8},
    {.path = "Options > Starpoints > 9",
        .kind = ItemKind::Radio,
        .run = starPointsRow,
        .checked = starPointsChecked,
        .number = 9},
    {.path = "Options > Starpoints > 10",
        .kind = ItemKind::Radio,
        .run = starPointsRow,
        .checked = starPointsChecked,
        .number = 10},
    {.path = "Options > Starpoints > 11",
        .kind = ItemKind::Radio,
        .run = starPointsRow,
        .checked = starPointsChecked,
        .number = 11},
    {.path = "Options > Starpoints > 12",
        .kind = ItemKind::Radio,
        .run = starPointsRow,
        .checked = starPointsChecked,
        .number = 12},
    {.path = "Options > SpiroGraph > Turns...",
        .run = [](CommandContext& c, const CommandRow&) { askSpiroTurns(c.doc, c.host); }},
    {.path = "Options > &GIF Image > Transparent",
        .kind = ItemKind::Check,
        .run
        = [](CommandContext& c, const CommandRow&) { c.doc.formats.gifTransparent = !c.doc.formats.gifTransparent; },
        .checked = [](const Document& doc, const CommandRow&) { return doc.formats.gifTransparent; }},
    {.path = "Options > &Icons > &Stretch",
        .kind = ItemKind::Check,
        .run = [](CommandContext& c, const CommandRow&) { c.doc.formats.iconStretch = !c.doc.formats.iconStretch; },
        .checked = [](const Document& doc, const CommandRow&) { return doc.formats.iconStretch; }},
    {.path = "Options > Transparent PNG",
        .kind = ItemKind::Check,
        .run
        = [](CommandContext& c, const CommandRow&) { c.doc.formats.pngTransparent = !c.doc.formats.pngTransparent; },
        .checked = [](const Document& doc, const CommandRow&) { return doc.formats.pngTransparent; }},

    {.path = "penmodes > Copy", .run = penModeRow, .number = mode(PenMode::Copy)},
    {.path = "penmodes > Xor", .run = penModeRow, .number = mode(PenMode::Xor)},
    {.path = "penmodes > Not Xor", .run = penModeRow, .number = mode(PenMode::NotXor)},
    {.path = "penmodes > Black", .run = penModeRow, .number = mode(PenMode::Black)},
    {.path = "penmodes > White", .run = penModeRow, .number = mode(PenMode::White)},
    {.path = "penmodes > Not", .run = penModeRow, .number = mode(PenMode::Not)},
    {.path = "penmodes > Not Copy", .run = penModeRow, .number = mode(PenMode::NotCopy)},
    {.path = "penmodes > Merge Pen Not", .run = penModeRow, .number = mode(PenMode::MergePenNot)},
    {.path = "penmodes > Mask Pen Not", .run = penModeRow, .number = mode(PenMode::MaskPenNot)},
    {.path = "penmodes > Merge Not Pen", .run = penModeRow, .number = mode(PenMode::MergeNotPen)},
    {.path = "penmodes > Mask Not Pen", .run = penModeRow, .number = mode(PenMode::MaskNotPen)},
    {.path = "penmodes > Merge", .run = penModeRow, .number = mode(PenMode::Merge)},
    {.path = "penmodes > Not Merge", .run = penModeRow, .number = mode(PenMode::NotMerge)},
    {.path = "penmodes > Mask", .run = penModeRow, .number = mode(PenMode::Mask)},
    {.path = "penmodes > Not Mask", .run = penModeRow, .number = mode(PenMode::NotMask)},

    {.path = "linewidth > 1 pixel", .run = lineWidthRow, .number = 1, .icon = "width:1"},
    {.path = "linewidth > 2 pixels", .run = lineWidthRow, .number = 2, .icon = "width:2"},
    {.path = "linewidth > 3 pixels", .run = lineWidthRow, .number = 3, .icon = "width:3"},
    {.path = "linewidth > 4 pixels", .run = lineWidthRow, .number = 4, .icon = "width:4"},
    {.path = "linewidth > 5 pixels", .run = lineWidthRow, .number = 5, .icon = "width:5"},
    {.path = "linewidth > 10 pixels", .run = lineWidthRow, .number = 10, .icon = "width:10"},
    {.path = "linewidth > 30 pixels", .run = lineWidthRow, .number = 30, .icon = "width:30"},
    {.path = "linewidth > Other Size...",
        .run = [](CommandContext& c, const CommandRow&) { askLineWidth(c.doc, c.host); },
        .separatorBefore = true},
    {.path = "linewidth > Solid", .run = penStyleRow, .number = style(PenStyle::Solid), .separatorBefore = true},
    {.path = "linewidth > Dash", .run = penStyleRow, .number = style(PenStyle::Dash)},
    {.path = "linewidth > Dot", .run = penStyleRow, .number = style(PenStyle::Dot)},
    {.path = "linewidth > Dash Dot", .run = penStyleRow, .number = style(PenStyle::DashDot)},
    {.path = "linewidth > Dash Dot Dot", .run = penStyleRow, .number = style(PenStyle::DashDotDot)},
    {.path = "linewidth > Clear", .run = penStyleRow, .number = style(PenStyle::Clear)},
    {.path = "linewidth > Inside Frame", .run = penStyleRow, .number = style(PenStyle::InsideFrame)},

    {.path = "brushstyle > Solid", .run = brushStyleRow, .number = style(BrushStyle::Solid), .icon = "brush:Solid"},
    {.path = "brushstyle > Clear", .run = brushStyleRow, .number = style(BrushStyle::Clear), .icon = "brush:Clear"},
    {.path = "brushstyle > Horizontal",
        .run = brushStyleRow,
        .number = style(BrushStyle::Horizontal),
        .icon = "brush:Horizontal"},
    {.path = "brushstyle > Vertical",
        .run = brushStyleRow,
        .number = style(BrushStyle::Vertical),
        .icon = "brush:Vertical"},
    {.path = "brushstyle > FDiagonal",
        .run = brushStyleRow,
        .number = style(BrushStyle::FDiagonal),
        .icon = "brush:FDiagonal"},
    {.path = "brushstyle > BDiagonal",
        .run = brushStyleRow,
        .number = style(BrushStyle::BDiagonal),
        .icon = "brush:BDiagonal"},
    {.path = "brushstyle > Cross", .run = brushStyleRow, .number = style(BrushStyle::Cross), .icon = "brush:Cross"},
    {.path = "brushstyle > DiagCross",
        .run = brushStyleRow,
        .number = style(BrushStyle::DiagCross),
        .icon = "brush:DiagCross"},
};

// The caption of the first row of a popup whose handler and number match.
std::string_view nameIn(CommandHandler handler, int number)
{
    for (const CommandRow& row : kRows)
        if (row.run == handler && row.number == number)
            return caption(row);
    return {};
}

} // namespace

std::span<const CommandRow> optionCommandRows()
{
    return kRows;
}

std::string_view penModeName(gfx::PenMode m)
{
    return nameIn(penModeRow, mode(m));
}

std::string_view penStyleName(gfx::PenStyle s)
{
    return nameIn(penStyleRow, style(s));
}

std::string_view brushStyleName(gfx::BrushStyle s)
{
    return nameIn(brushStyleRow, style(s));
}

} // namespace daubix::app
