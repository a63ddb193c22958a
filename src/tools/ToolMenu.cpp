#include "tools/ToolMenu.h"

#include "app/Command.h"
#include "app/Document.h"
#include "tools/Brushes.h"
#include "tools/ToolEngine.h"

#include <vector>

namespace daubix::tools {

namespace {

struct ToolItem {
    std::string_view path;
    std::string_view mode;
};

// The tool menu of the Shape button, in its order.
constexpr ToolItem kToolItems[] = {
    {"shapes > Lines > Line", "line"},
    {"shapes > Lines > Line Straight", "sline"},
    {"shapes > Lines > Bezier", "bezier"},
    {"shapes > Lines > Freehand", "freehand"},
    {"shapes > Lines > Arc", "arc"},
    {"shapes > Lines > Spiral", "spiral"},
    {"shapes > Lines > SpiroGraph", "spiro"},
    {"shapes > Lines > PolyLine", "polyline"},
    {"shapes > Lines > PolyBezier", "polybezier"},
    {"shapes > 2D Shapes > Bar", "bars"},
    {"shapes > 2D Shapes > Border", "border"},
    {"shapes > 2D Shapes > Rectangle", "rectangle"},
    {"shapes > 2D Shapes > Polygon", "polygon"},
    {"shapes > 2D Shapes > Column", "intercolumn"},
    {"shapes > 2D Shapes > Skew Rectangle", "skewrect"},
    {"shapes > 2D Shapes > Round Rect", "roundrect"},
    {"shapes > 2D Shapes > Triangle", "triangle"},
    {"shapes > 2D Shapes > Ellipse", "ellipse"},
    {"shapes > 2D Shapes > Chord", "chord"},
    {"shapes > 2D Shapes > Pie", "pie"},
    {"shapes > 2D Shapes > Star", "star"},
    {"shapes > 2D Shapes > Maze", "maze"},
    {"shapes > 3D Shapes > Cube", "cube"},
    {"shapes > 3D Shapes > Globe", "globe"},
    {"shapes > 3D Shapes > Cone", "cone"},
    {"shapes > Ornaments > Multi Sphere", "multisphere"},
    {"shapes > Ornaments > Droplet Sphere", "dropletsphere"},
    {"shapes > Ornaments > Wave Sphere", "wavesphere"},
    {"shapes > Ornaments > Rising Wave Sphere", "risingwavesphere"},
    {"shapes > Ornaments > Sphere", "intersphere"},
    {"shapes > Ornaments > Interpolated Rect", "interprect"},
    {"shapes > Ornaments > Wave Line", "waveline"},
    {"shapes > Ornaments > Fast Wave Line", "fastwaveline"},
    {"shapes > Ornaments > Color Wave Line", "colorwaveline"},
    {"shapes > Ornaments > Border Wave Line", "borderwaveline"},
    {"shapes > Ornaments > Deco Line", "decoline"},
    {"shapes > Ornaments > Deco Sphere", "decosphere"},
    {"shapes > Ornaments > Deco Fast Sphere", "decofastsphere"},
    {"shapes > Ornaments > Deco Speed Sphere", "decospeedsphere"},
    {"shapes > Ornaments > Deco Bar", "decobar"},
    {"shapes > Ornaments > Deco Oval", "decooval"},
    {"shapes > Ornaments > Gradient Brush", "gradientbrush"},
    {"shapes > Ornaments > Mix Brush", "mixbrush"},
    {"shapes > Mirrors > hMirror", "hmirror"},
    {"shapes > Mirrors > vMirror", "vmirror"},
    {"shapes > Mirrors > cMirror", "cmirror"},
    {"shapes > Mirrors > Mirror4", "mirror4"},
    {"shapes > Mirrors > Symmetric", "sym"},
    {"shapes > AirBrush", "airbrush"},
    {"shapes > Spray", "spray"},
    {"shapes > Blocks", "blocks"},
    {"shapes > Clone > All Colors", "cloneall"},
    {"shapes > Clone > Not Target Color", "clonenottarget"},
    {"shapes > Color Brushes > Blue", "bluebrush"},
    {"shapes > Color Brushes > Green", "greenbrush"},
    {"shapes > Color Brushes > Red", "redbrush"},
    {"shapes > Color Brushes > Not Blue", "notbluebrush"},
    {"shapes > Color Brushes > Not Green", "notgreenbrush"},
    {"shapes > Color Brushes > Not Red", "notredbrush"},
    {"shapes > Color Brushes > 90% Blue", "halfbluebrush"},
    {"shapes > Color Brushes > 90% Green", "halfgreenbrush"},
    {"shapes > Color Brushes > 90% Red", "halfredbrush"},
    {"shapes > Color Brushes > Darker", "darkerbrush"},
    {"shapes > Color Brushes > Burning", "lighterbrush"},
    {"shapes > Color Brushes > Gray", "graybrush"},
    {"shapes > Color Brushes > Mix", "rollmixbrush"},
    {"shapes > Color Brushes > Smooth", "smoothbrush"},
    {"shapes > Effect Brushes > Brightness", "brightnessbrush"},
    {"shapes > Effect Brushes > Contrast", "contrastbrush"},
    {"shapes > Effect Brushes > Saturation", "saturationbrush"},
    {"shapes > Effect Brushes > Fisheye Float", "fisheyebrush"},
    {"shapes > Effect Brushes > Fisheye Fixed", "fisheyefixbrush"},
    {"shapes > Effect Brushes > Twist", "twistbrush"},
    {"shapes > Effect Brushes > Rotate", "rotatebrush"},
    {"shapes > Effect Brushes > Rimple", "rimplebrush"},
    {"shapes > Morph Brushes > Stretch > Stretch Hor Oval", "mbHorOval"},
    {"shapes > Morph Brushes > Stretch > Stretch Vert Oval", "mbVerOval"},
    {"shapes > Morph Brushes > Stretch > Stretch Hor Box", "mbHorBox"},
    {"shapes > Morph Brushes > Stretch > Stretch Vert Box", "mbVerBox"},
    {"shapes > Morph Brushes > Squeeze > Squeeze Hor", "mbHor"},
    {"shapes > Morph Brushes > Squeeze > Squeeze Top", "mbTop"},
    {"shapes > Morph Brushes > Squeeze > Squeeze Bottom", "mbBottom"},
    {"shapes > Morph Brushes > Squeeze > Squeeze Diamond", "mbDiamond"},
    {"shapes > Morph Brushes > Squeeze > Squeeze Waste", "mbWaste"},
    {"shapes > Morph Brushes > Squeeze > Squeeze Round", "mbRound"},
    {"shapes > Morph Brushes > Squeeze > Squeeze Round 2", "mbRound2"},
    {"shapes > Morph Brushes > Split > Split Round", "mbSplitRound"},
    {"shapes > Morph Brushes > Split > Split Waste", "mbSplitWaste"},
    {"shapes > Texture Brushes > Lines", "texlines"},
    {"shapes > Texture Brushes > Lines Blur", "blurlines"},
    {"shapes > Texture Brushes > Ovals", "texovals"},
    {"shapes > Texture Brushes > Ovals Blur", "blurovals"},
    {"shapes > Texture Brushes > Rects", "texrects"},
    {"shapes > Texture Brushes > Rects Blur", "blurrects"},
    {"shapes > Texture Brushes > Curves", "texcurves"},
    {"shapes > Texture Brushes > Curves Blur", "blurcurves"},
    {"shapes > Texture Brushes > Poly", "texpoly"},
    {"shapes > Texture Brushes > Poly Blur", "blurpoly"},
    {"shapes > Zoom In", "zoombrush"},
    {"shapes > Zoom In Keep", "zoomkeepbrush"},
};

void chooseToolRow(app::CommandContext& c, const app::CommandRow& row)
{
    c.doc.toolMode = row.text;
}

void zoomOutRow(app::CommandContext& c, const app::CommandRow&)
{
    zoomOut(c.doc);
}

std::vector<app::CommandRow> makeRows()
{
    std::vector<app::CommandRow> rows;
    for (const ToolItem& item : kToolItems)
        rows.push_back({.path = item.path,
            .run = isToolBuilt(item.mode) ? chooseToolRow : nullptr,
            .text = item.mode,
            .icon = item.mode});
    const app::CommandRow more[] = {
        // Not a tool: puts an enlargement made with Zoom In Keep back where it came from.
        {.path = "shapes > Zoom Out", .run = zoomOutRow, .changesImage = true},
        {.path = "Image > Zoom > Zoom In",
            .run =
                [](app::CommandContext& c, const app::CommandRow&) {
                    c.doc.canvas.pen.width = 50;
                    c.doc.toolMode = "zoomkeepbrush";
                }},
        {.path = "Image > Zoom > Zoom Out", .run = zoomOutRow, .changesImage = true},
        {.path = "ToolButton2", .run = chooseToolRow, .text = "snapshot"},
        {.path = "ToolButton5", .run = chooseToolRow, .text = "paintpick"},
        {.path = "ToolButton4", .run = chooseToolRow, .text = "floodfill"},
        {.path = "selectcopy",
            .run = [](app::CommandContext& c, const app::CommandRow&) { c.doc.toolMode = c.doc.pasteKind; }},
    };
    rows.insert(rows.end(), std::begin(more), std::end(more));
    return rows;
}

} // namespace

std::span<const app::CommandRow> toolCommandRows()
{
    static const std::vector<app::CommandRow> rows = makeRows();
    return rows;
}

const app::CommandRow* toolMenuRow(std::string_view mode)
{
    for (const app::CommandRow& row : toolCommandRows())
        if (row.path.starts_with("shapes > ") && row.text == mode)
            return &row;
    return nullptr;
}

} // namespace daubix::tools
