// The commands that give the image a new size: crop, canvas, the defaults, magnify and reduce, the smart
// resizes, Stretch..., the size spin and the scroll box.

#include "effects/ResizeCommands.h"

#include "app/ColorList.h"
#include "app/Command.h"
#include "app/Document.h"
#include "app/Host.h"
#include "app/Prompt.h"
#include "app/Range.h"
#include "effects/Resize.h"

#include <cmath>
#include <string>

namespace daubix::effects {

namespace {

using app::CommandContext;
using app::CommandRow;
using app::Document;

// A size that fits no bitmap is refused with a message before anything changes.
bool fits(app::Host& host, std::int64_t width, std::int64_t height)
{
    if (width >= 1 && height >= 1 && gfx::Bitmap::isSaneSize(width, height))
        return true;
    host.showMessage("The image would be too large (" + std::to_string(width) + " x " + std::to_string(height) + ").");
    return false;
}

// A side asked for in an input box titled "Daubix": only a whole number of at least 1 counts; anything
// else keeps the current value.
int askSide(app::Host& host, const std::string& prompt, int current)
{
    const std::optional<int> v = app::parseInteger(app::askText(host, "Daubix", prompt, std::to_string(current)));
    return v && *v >= 1 ? *v : current;
}

void showSize(app::Host& host, const gfx::Bitmap& image)
{
    host.setStatus(3, "W=" + std::to_string(image.width()) + "  H=" + std::to_string(image.height()));
}

// The image resampled from an exact copy of itself to width x height; the view keeps that size.
void resampleImage(Document& doc, int width, int height)
{
    app::copyWholeImage(doc);
    doc.viewFixed = true;
    gfx::Bitmap resized(width, height);
    bilinear(doc.rangeBuffer, resized);
    doc.image = std::move(resized);
}

// The new size for Clear and Canvas...: the view follows the image again, the brush and the panel's
// second colour are white for the new area, and the undo images and the range take the size.
void setCanvasSize(Document& doc, int width, int height)
{
    doc.viewFixed = false;
    app::setSecondColor(doc, gfx::clWhite);
    doc.image.setSize(width, height);
    doc.undo.resizeSlots(width, height);
    doc.range = {0, 0, width, height};
}

void crop(CommandContext& c, const CommandRow&)
{
    Document& doc = c.doc;
    app::copyRangeOnWhite(doc, gfx::kSrcCopy);
    const gfx::Bitmap& buffer = doc.rangeBuffer;
    if (buffer.isEmpty())
        return; // an empty or reversed range has nothing to crop to
    doc.viewFixed = false;
    app::setSecondColor(doc, gfx::clWhite);
    doc.image.setSize(buffer.width(), buffer.height());
    doc.canvas.draw(0, 0, buffer);
    doc.range = {0, 0, doc.image.width(), doc.image.height()};
}

void canvas(CommandContext& c, const CommandRow&)
{
    const int height = askSide(c.host, "Enter height:", c.doc.image.height());
    const int width = askSide(c.host, "Enter width:", c.doc.image.width());
    if (fits(c.host, width, height))
        setCanvasSize(c.doc, width, height);
}

void defaultClear(CommandContext& c, const CommandRow&)
{
    setCanvasSize(c.doc, 256, 256);
}

void smoothResize(CommandContext& c, const CommandRow&)
{
    resampleImage(c.doc, 256, 256);
    showSize(c.host, c.doc.image);
}

void defaultStretch(CommandContext& c, const CommandRow&)
{
    c.doc.image = stretched(c.doc.image, 256, 256);
}

void stretchTo(CommandContext& c, const CommandRow&)
{
    const int height = askSide(c.host, "Enter height:", c.doc.image.height());
    const int width = askSide(c.host, "Enter width:", c.doc.image.width());
    if (!fits(c.host, width, height))
        return;
    resampleImage(c.doc, width, height);
    showSize(c.host, c.doc.image);
}

// Magnify xN up to 256 pixels wide, Reduce xN down to 16: the image stretched, nearest pixel, into its
// new size with the canvas copy mode.
void scaleBy(Document& doc, std::int64_t width, std::int64_t height)
{
    const gfx::Bitmap before = doc.image;
    doc.image.setSize(static_cast<int>(width), static_cast<int>(height));
    doc.canvas.stretchDraw({0, 0, doc.image.width(), doc.image.height()}, before);
    doc.undo.resizeSlots(doc.image.width(), doc.image.height());
}

void magnify(CommandContext& c, const CommandRow& row)
{
    const std::int64_t n = row.number, w = c.doc.image.width() * n, h = c.doc.image.height() * n;
    if (w <= 256 && gfx::Bitmap::isSaneSize(w, h))
        scaleBy(c.doc, w, h);
}

void reduce(CommandContext& c, const CommandRow& row)
{
    const int n = row.number, w = c.doc.image.width(), h = c.doc.image.height();
    if (static_cast<double>(w) / n >= 16 && h / n >= 1)
        scaleBy(c.doc, w / n, h / n);
}

void smart(Document& doc, app::Host& host, SmartMode mode, int size)
{
    if (doc.image.isEmpty())
        return;
    const Size target = smartSize(doc.image.width(), doc.image.height(), mode, size);
    const std::int64_t w = mode == SmartMode::Square ? size : target.width;
    const std::int64_t h = mode == SmartMode::Square ? size : target.height;
    if (!fits(host, w, h) || !fits(host, target.width, target.height))
        return;
    app::copyWholeImage(doc);
    std::optional<gfx::Bitmap> resized = smartResize(doc.rangeBuffer, mode, size);
    if (!resized)
        return;
    doc.image = std::move(*resized);
    doc.undo.resizeSlots(doc.image.width(), doc.image.height());
    doc.range = {0, 0, doc.image.width(), doc.image.height()};
}

void smart32(CommandContext& c, const CommandRow&)
{
    smart(c.doc, c.host, SmartMode::Square, 32);
}

void smartHeight(CommandContext& c, const CommandRow&)
{
    smart(c.doc, c.host, SmartMode::Height, askSide(c.host, "Enter height:", c.doc.image.height()));
}

void smartWidth(CommandContext& c, const CommandRow&)
{
    smart(c.doc, c.host, SmartMode::Width, askSide(c.host, "Enter width:", c.doc.image.width()));
}

void smartSquare(CommandContext& c, const CommandRow&)
{
    smart(c.doc, c.host, SmartMode::Square, askSide(c.host, "Enter Square Size:", c.doc.image.width()));
}

// v times the factor in hundredths, rounded with halves to even, exactly: in binary 0.7 is a little less
// than 0.7, which would round 45 x 0.7 = 31.5 down.
std::int64_t timesHundredths(std::int64_t v, int hundredths)
{
    const std::int64_t product = v * hundredths, q = product / 100, r = product % 100;
    return r > 50 || (r == 50 && q % 2 != 0) ? q + 1 : q;
}

// Up by 1.25, down by 0.7 (the row's number in hundredths). The undo images keep their size.
void sizeSpin(CommandContext& c, const CommandRow& row)
{
    const auto side = [&](int v) { return std::max<std::int64_t>(1, timesHundredths(v, row.number)); };
    const std::int64_t w = side(c.doc.image.width()), h = side(c.doc.image.height());
    if (c.doc.image.isEmpty() || !fits(c.host, w, h))
        return;
    resampleImage(c.doc, static_cast<int>(w), static_cast<int>(h));
}

constexpr CommandRow kRows[] = {
    {.path = "Image > Resize > Crop", .run = crop, .changesImage = true},
    {.path = "Image > Resize > Canvas...", .run = canvas, .changesImage = true},
    {.path = "Image > Resize > Default > Clear", .run = defaultClear, .changesImage = true},
    {.path = "Image > Resize > Default > Smooth Resize", .run = smoothResize, .changesImage = true},
    {.path = "Image > Resize > Default > Stretch", .run = defaultStretch, .changesImage = true},
    {.path = "Image > Resize > &Magnify > x2", .run = magnify, .changesImage = true, .number = 2},
    {.path = "Image > Resize > &Magnify > x4", .run = magnify, .changesImage = true, .number = 4},
    {.path = "Image > Resize > &Magnify > x8", .run = magnify, .changesImage = true, .number = 8},
    {.path = "Image > Resize > &Reduce > x2", .run = reduce, .changesImage = true, .number = 2},
    {.path = "Image > Resize > &Reduce > x4", .run = reduce, .changesImage = true, .number = 4},
    {.path = "Image > Resize > &Reduce > x8", .run = reduce, .changesImage = true, .number = 8},
    {.path = "Image > Resize > Smart > Smart 32x32", .run = smart32, .changesImage = true},
    {.path = "Image > Resize > Smart > Height...", .run = smartHeight, .changesImage = true},
    {.path = "Image > Resize > Smart > Width...", .run = smartWidth, .changesImage = true},
    {.path = "Image > Resize > Smart > Square...", .run = smartSquare, .changesImage = true},
    {.path = "Image > Resize > Stretch...", .run = stretchTo, .changesImage = true},
    {.path = "SizeSpin > Up", .run = sizeSpin, .changesImage = true, .number = 125},
    {.path = "SizeSpin > Down", .run = sizeSpin, .changesImage = true, .number = 70},
};

} // namespace

std::span<const CommandRow> resizeCommandRows()
{
    return kRows;
}

void ScrollBoxResize::press(Document& doc, app::Host&, gfx::Point p, bool ctrl, bool shift)
{
    // The image sits at the scroll box's top-left: a press left of or above its far edges is on it.
    const bool onImage = p.x < doc.image.width() && p.y < doc.image.height();
    if (m_active || !(ctrl || shift) || onImage || doc.image.isEmpty())
        return;
    m_active = true;
    m_warned = false;
    m_displaced = doc.undo.pushReturningOld(doc.image);
    app::copyWholeImage(doc); // the picture every move resamples from, so moves do not blur it further
}

void ScrollBoxResize::move(Document& doc, app::Host& host, gfx::Point p, bool ctrl, bool shift)
{
    if (!m_active || !(ctrl || shift))
        return;
    const gfx::Bitmap& source = doc.rangeBuffer;
    std::int64_t w = 0, h = 0;
    if (ctrl) {
        w = std::int64_t{p.x} - 3;
        h = std::int64_t{p.y} - 3;
    }
    if (shift) {
        w = std::int64_t{p.x} - 3;
        h = std::llrint(static_cast<double>(w) * source.height() / source.width());
    }
    w = std::max<std::int64_t>(w, 1);
    h = std::max<std::int64_t>(h, 1);
    if (!gfx::Bitmap::isSaneSize(w, h)) {
        if (!m_warned)
            fits(host, w, h);
        m_warned = true;
        return;
    }
    doc.viewFixed = true;
    gfx::Bitmap resized(static_cast<int>(w), static_cast<int>(h));
    bilinear(source, resized);
    doc.image = std::move(resized);
    showSize(host, doc.image);
}

void ScrollBoxResize::release(Document& doc)
{
    if (!m_active)
        return;
    m_active = false;
    if (doc.image == doc.undo.newest())
        doc.undo.unpush(std::move(*m_displaced));
    else
        doc.modified = true;
    m_displaced.reset();
}

} // namespace daubix::effects
