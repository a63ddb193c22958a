// The commands that move the image's pixels: whirls, projections, mirrors, flips, moves and clips, and
// the range's whirls. The pixel work is in Geometry.h; here the image is copied, handed over and put back.

#include "effects/ImageTransforms.h"

#include "app/Command.h"
#include "app/Document.h"
#include "app/Host.h"
#include "app/Prompt.h"
#include "app/Range.h"
#include "effects/Effects_p.h"
#include "effects/Geometry.h"

#include <charconv>
#include <string>

namespace daubix::effects {

namespace {

using app::CommandContext;
using app::CommandRow;
using app::Document;
using app::ItemKind;

gfx::Bitmap workingCopy(const Document& doc)
{
    return doc.image.converted(gfx::PixelFormat::Bits24);
}

void imageWhirl(CommandContext& c, const CommandRow& row)
{
    const gfx::Point centre{c.doc.image.width() / 2, c.doc.image.height() / 2};
    c.doc.image = whirl(workingCopy(c.doc), centre, static_cast<WhirlKind>(row.number), c.doc.tables);
}

// The range's copy whirled about its own centre and drawn back with the canvas copy mode.
void rangeWhirl(CommandContext& c, const CommandRow& row)
{
    Document& doc = c.doc;
    app::copyRangeOnWhite(doc, gfx::kSrcCopy);
    doc.image.convertTo(gfx::PixelFormat::Bits24);
    const gfx::Bitmap& buffer = doc.rangeBuffer;
    if (buffer.isEmpty())
        return;
    const gfx::Bitmap whirled
        = whirl(buffer, {buffer.width() / 2, buffer.height() / 2}, static_cast<WhirlKind>(row.number), doc.tables);
    doc.canvas.draw(doc.range.left, doc.range.top, whirled);
}

Projection projection(const Document& doc)
{
    return {doc.projectionFactor, doc.retainBorders, doc.sinus};
}

void projectGlobe(CommandContext& c, const CommandRow&)
{
    c.doc.image = globe(workingCopy(c.doc), projection(c.doc));
}

void projectCylinder(CommandContext& c, const CommandRow& row)
{
    const gfx::Bitmap source = workingCopy(c.doc);
    c.doc.image
        = row.number == 0 ? cylinderHorizontal(source, projection(c.doc)) : cylinderVertical(source, projection(c.doc));
}

// The factor in its shortest decimal form, as the box shows it.
std::string shortest(double v)
{
    char text[32];
    const auto [end, ec] = std::to_chars(text, text + sizeof text, v);
    return ec == std::errc() ? std::string(text, end) : std::to_string(v);
}

void askFactor(CommandContext& c, const CommandRow&)
{
    const std::optional<double> v = app::parseReal(app::askText(
        c.host, "Daubix Projection", "Enter Projection Factor (0.1 .. 1)", shortest(c.doc.projectionFactor)));
    if (v && *v >= 0.1 && *v <= 1)
        c.doc.projectionFactor = *v;
}

void mirror(CommandContext& c, const CommandRow& row)
{
    mirrorHalf(detail::inTwentyFourBits(c.doc.image), static_cast<MirrorHalf>(row.number));
}

void quadTopLeft(CommandContext& c, const CommandRow&)
{
    mirrorQuadTopLeft(detail::inTwentyFourBits(c.doc.image));
}

void wedge(CommandContext& c, const CommandRow&)
{
    if (c.doc.image.width() != c.doc.image.height()) {
        c.host.showMessage("image must be square");
        return;
    }
    mirrorWedge(detail::inTwentyFourBits(c.doc.image));
}

void flip(CommandContext& c, const CommandRow& row)
{
    c.doc.image = flipToHalftone(workingCopy(c.doc), row.number == 0);
}

// Left and right on a 24-bit copy; up and down in the image's own format.
void move(CommandContext& c, const CommandRow& row)
{
    if (row.number == -1 || row.number == 1) {
        shiftColumns(detail::inTwentyFourBits(c.doc.image), row.number);
    } else {
        shiftRows(c.doc.image, row.number / 2);
    }
}

void clip(CommandContext& c, const CommandRow& row)
{
    const gfx::Bitmap clipped = row.number == 0 ? clippedToEllipse(c.doc.image) : clippedToDiamond(c.doc.image);
    c.doc.canvas.draw(0, 0, clipped);
}

template <auto flag> void toggle(CommandContext& c, const CommandRow&)
{
    c.doc.*flag = !(c.doc.*flag);
}

template <auto flag> bool isOn(const Document& doc, const CommandRow&)
{
    return doc.*flag;
}

constexpr int kind(WhirlKind k)
{
    return static_cast<int>(k);
}
constexpr int half(MirrorHalf h)
{
    return static_cast<int>(h);
}

constexpr CommandRow kRows[] = {
    {.path = "Image > Whirl > Whirl In", .run = imageWhirl, .changesImage = true, .number = kind(WhirlKind::In)},
    {.path = "Image > Whirl > Whirl Out", .run = imageWhirl, .changesImage = true, .number = kind(WhirlKind::Out)},
    {.path = "Image > Whirl > Whirl Center",
        .run = imageWhirl,
        .changesImage = true,
        .number = kind(WhirlKind::Center)},
    {.path = "Image > Whirl > Double Whirl",
        .run = imageWhirl,
        .changesImage = true,
        .number = kind(WhirlKind::Double)},
    {.path = "Image > Whirl > Wirl Wave 10",
        .run = imageWhirl,
        .changesImage = true,
        .number = kind(WhirlKind::Wave10)},
    {.path = "Image > Whirl > Wirl Wave 20",
        .run = imageWhirl,
        .changesImage = true,
        .number = kind(WhirlKind::Wave20)},
    {.path = "Image > Whirl > Ripple 10", .run = imageWhirl, .changesImage = true, .number = kind(WhirlKind::Ripple10)},
    {.path = "Image > Whirl > Ripple 20", .run = imageWhirl, .changesImage = true, .number = kind(WhirlKind::Ripple20)},
    {.path = "Image > Whirl > Whirl Band 90",
        .run = imageWhirl,
        .changesImage = true,
        .number = kind(WhirlKind::Band90)},
    {.path = "Image > Whirl > Whirl Band 45",
        .run = imageWhirl,
        .changesImage = true,
        .number = kind(WhirlKind::Band45)},
    {.path = "Image > Whirl > Whirl Band 25",
        .run = imageWhirl,
        .changesImage = true,
        .number = kind(WhirlKind::Band25)},
    {.path = "Image > Whirl > Whirl Revert",
        .run = imageWhirl,
        .changesImage = true,
        .number = kind(WhirlKind::Revert)},
    {.path = "Image > Projection > &Globe", .run = projectGlobe, .changesImage = true},
    {.path = "Image > Projection > Cylinder Horizontal", .run = projectCylinder, .changesImage = true, .number = 0},
    {.path = "Image > Projection > Cylinder Vertical", .run = projectCylinder, .changesImage = true, .number = 1},
    {.path = "Image > Projection > &Factor...", .run = askFactor},
    {.path = "Image > Projection > &Retain Borders",
        .kind = ItemKind::Check,
        .run = toggle<&Document::retainBorders>,
        .checked = isOn<&Document::retainBorders>},
    {.path = "Image > Projection > &Sinus",
        .kind = ItemKind::Check,
        .run = toggle<&Document::sinus>,
        .checked = isOn<&Document::sinus>},
    {.path = "Image > Mirror > &Down", .run = mirror, .changesImage = true, .number = half(MirrorHalf::Down)},
    {.path = "Image > Mirror > &Up", .run = mirror, .changesImage = true, .number = half(MirrorHalf::Up)},
    {.path = "Image > Mirror > &Left", .run = mirror, .changesImage = true, .number = half(MirrorHalf::Left)},
    {.path = "Image > Mirror > &Right", .run = mirror, .changesImage = true, .number = half(MirrorHalf::Right)},
    {.path = "Image > Mirror > Quad Top Left", .run = quadTopLeft, .changesImage = true},
    {.path = "Image > Mirror > &Wedge", .run = wedge, .changesImage = true},
    {.path = "Image > Flip > Right", .run = flip, .changesImage = true, .number = 0},
    {.path = "Image > Flip > Down", .run = flip, .changesImage = true, .number = 1},
    // -1 and 1 move columns, -2 and 2 rows.
    {.path = "Image > Move > Left", .run = move, .changesImage = true, .number = -1},
    {.path = "Image > Move > Right", .run = move, .changesImage = true, .number = 1},
    {.path = "Image > Move > Up", .run = move, .changesImage = true, .number = -2},
    {.path = "Image > Move > Down", .run = move, .changesImage = true, .number = 2},
    {.path = "Image > Clip > Ellipse", .run = clip, .changesImage = true, .number = 0},
    {.path = "Image > Clip > Diamond", .run = clip, .changesImage = true, .number = 1},
    {.path = "Range > &Whirl > Whirl In", .run = rangeWhirl, .changesImage = true, .number = kind(WhirlKind::In)},
    {.path = "Range > &Whirl > Whirl Out", .run = rangeWhirl, .changesImage = true, .number = kind(WhirlKind::Out)},
    {.path = "Range > &Whirl > Whirl Center",
        .run = rangeWhirl,
        .changesImage = true,
        .number = kind(WhirlKind::Center)},
    {.path = "Range > &Whirl > Whirl Double",
        .run = rangeWhirl,
        .changesImage = true,
        .number = kind(WhirlKind::Double)},
};

} // namespace

std::span<const CommandRow> imageTransformRows()
{
    return kRows;
}

} // namespace daubix::effects
