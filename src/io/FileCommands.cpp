#include "io/FileCommands.h"

#include "app/ColorList.h"
#include "app/Command.h"
#include "app/Document.h"
#include "app/Host.h"
#include "app/Prompt.h"
#include "app/Range.h"
#include "io/BmpCodec.h"
#include "io/Picture.h"

#include <optional>
#include <string>

namespace daubix::io {

namespace {

using app::CommandContext;
using app::CommandRow;
using app::Document;
using app::Host;

const std::string& openFilter()
{
    static const std::string filter = app::dialogFilter(
        "All (*.gif;*.jpg;*.png;*.jpeg;*.bmp;*.ico;*.emf;*.wmf)|*.gif;*.jpg;*.jpeg;*.png;*.bmp;*.ico;*.emf;*.wmf|"
        "CompuServe GIF Image (*.gif)|*.gif|JPEG Image File (*.jpg)|*.jpg|JPEG Image File (*.jpeg)|*.jpeg|"
        "Bitmaps (*.bmp)|*.bmp|Icons (*.ico)|*.ico|Enhanced Metafiles (*.emf)|*.emf|Metafiles (*.wmf)|*.wmf|"
        "PNG Files (*.png)|*.png");
    return filter;
}

const std::string& saveFilter()
{
    static const std::string filter
        = app::dialogFilter("Graphic Files (bmp,gif,ico,tif, jpg or png)|*.bmp;*.gif;*.ico;*tif;*.jpg;*.png|BMP Files|*.bmp");
    return filter;
}

constexpr int kAllFiles = 1, kBitmaps = 5, kGraphicFiles = 1, kBmpFiles = 2;
constexpr int kSaveJpegQuality = 25;
const char* const kEmpty = "The image is empty.";

std::string withoutFolder(const std::string& path)
{
    const auto slash = path.find_last_of('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

// What every Open ends with, whatever was read: the undo images, the range and the canvas colours
// follow the image and the colour panel.
void afterOpen(Document& doc)
{
    doc.undo.resizeSlots(doc.image.width(), doc.image.height());
    doc.range = {0, 0, doc.image.width(), doc.image.height()};
    app::colorPanelChanged(doc);
}

void open(CommandContext& c, const CommandRow&)
{
    if (const std::optional<std::string> name = c.host.askFileName(Host::FileDialog::Open, openFilter(), kAllFiles))
        openPicture(c, *name);
}

void saveAs(CommandContext& c, const CommandRow&)
{
    const std::optional<std::string> name = c.host.askFileName(Host::FileDialog::Save, saveFilter(), kGraphicFiles);
    if (!name)
        return;
    Document& doc = c.doc;
    c.host.setStatus(0, withoutFolder(*name));
    if (!isWritableExtension(*name)) {
        // Saying nothing would let the close prompt's Yes drop the picture unsaved.
        c.host.showFailure("Unknown file type: nothing was saved.");
        return;
    }
    if (doc.image.isEmpty()) {
        c.host.showFailure(kEmpty);
        return;
    }
    if (upperExtension(*name) == ".ICO")
        app::copyWholeImage(doc); // the icon is made of the range buffer holding the whole image
    auto written = writePicture(*name, doc.image, doc.formats, doc.gif, kSaveJpegQuality);
    if (!written) {
        c.host.showFailure(written.error());
        return;
    }
    doc.modified = false;
}

// The answer to one of New's questions: a number, 100 for anything else, nothing when cancelled.
std::optional<long long> askSide(Host& host, const std::string& prompt)
{
    const std::optional<std::string> answer = host.askText("Daubix", prompt, "100");
    if (!answer)
        return std::nullopt;
    if (const std::optional<int> value = app::parseInteger(*answer))
        return *value;
    // Digits beyond the int range are still a number, and far out of range.
    const auto first = answer->find_first_not_of(" \t");
    const auto last = answer->find_last_not_of(" \t");
    if (first == std::string::npos)
        return 100;
    const std::string_view digits = std::string_view(*answer).substr(first, last - first + 1);
    const std::string_view magnitude = digits.front() == '-' || digits.front() == '+' ? digits.substr(1) : digits;
    const bool numeric = !magnitude.empty() && magnitude.find_first_not_of("0123456789") == std::string_view::npos;
    return numeric ? -1 : 100;
}

void newImage(CommandContext& c, const CommandRow&)
{
    // Both questions come before anything changes, so that a cancel or a wrong size leaves all as it was.
    const std::optional<long long> height = askSide(c.host, "Image height:");
    if (!height)
        return;
    const std::optional<long long> width = askSide(c.host, "Image width:");
    if (!width)
        return;
    if (*width < 1 || *width > 65535 || *height < 1 || *height > 65535 || *width * *height > gfx::Bitmap::kMaxPixels) {
        c.host.showFailure("Image size out of range (1..65535 a side, 268435456 pixels at most).");
        return;
    }
    Document& doc = c.doc;
    doc.image.setSize(static_cast<int>(*width), static_cast<int>(*height)); // first: it may run out of memory
    doc.viewFixed = false;
    doc.canvas.pen.style = gfx::PenStyle::Solid;
    doc.canvas.brush.setColor(gfx::clWhite);
    doc.image.fill(gfx::clWhite); // white even under a pattern brush
    c.host.setStatus(0, "");
    doc.undo.resizeSlots(doc.image.width(), doc.image.height());
    c.clean = true;
}

void newBanner(CommandContext& c, const CommandRow&)
{
    Document& doc = c.doc;
    doc.image.setSize(468, 60); // first: it may run out of memory
    doc.viewFixed = false;
    doc.secondColor = gfx::clWhite;
    doc.canvas.brush.setColor(gfx::clWhite);
    doc.undo.resizeSlots(doc.image.width(), doc.image.height());
    doc.range = {0, 0, doc.image.width(), doc.image.height()};
}

void savePattern(CommandContext& c, const CommandRow&)
{
    const std::optional<std::string> name = c.host.askFileName(Host::FileDialog::Save, saveFilter(), kBmpFiles);
    if (!name)
        return;
    const Document& doc = c.doc;
    if (doc.image.isEmpty()) {
        c.host.showFailure(kEmpty);
        return;
    }
    const int side = doc.shapes.blocksCount;
    gfx::Bitmap pattern(side, side);
    gfx::Canvas(pattern).stretchDraw({0, 0, side, side}, doc.image);
    pattern.convertTo(gfx::PixelFormat::Bits4);
    if (gfx::Status written = writeBmpFile(*name, pattern); !written)
        c.host.showFailure(written.error());
}

void openPattern(CommandContext& c, const CommandRow&)
{
    const std::optional<std::string> name = c.host.askFileName(Host::FileDialog::Open, openFilter(), kBitmaps);
    if (!name)
        return;
    auto pattern = readBmpFile(*name);
    if (!pattern) {
        c.host.showFailure(pattern.error());
        return;
    }
    Document& doc = c.doc;
    doc.canvas.stretchDraw({0, 0, doc.image.width(), doc.image.height()}, pattern.value());
}

// The user mask from a bitmap file. The dialog opens on Bitmaps and the next one again on the first
// filter, as the dialog's index is set back; a file that cannot be read keeps the mask there was.
void maskFromFile(CommandContext& c, const CommandRow&)
{
    const std::optional<std::string> name = c.host.askFileName(Host::FileDialog::Open, openFilter(), kBitmaps);
    if (!name)
        return;
    auto mask = readBmpFile(*name);
    if (!mask) {
        c.host.showFailure(mask.error());
        return;
    }
    c.doc.userMask = std::move(mask.value());
}

constexpr CommandRow kRows[] = {
    {.path = "Image > Mask > from File...", .run = maskFromFile},
    {.path = "File > &New", .run = newImage, .changesImage = true},
    {.path = "File > New &Banner", .run = newBanner, .changesImage = true},
    {.path = "File > &Open...", .run = open, .changesImage = true},
    {.path = "File > Save &As...", .run = saveAs},
    {.path = "File > Open Pattern...", .run = openPattern, .changesImage = true},
    {.path = "File > Save Pattern...", .run = savePattern},
};

} // namespace

void openPicture(CommandContext& c, const std::string& name)
{
    Document& doc = c.doc;
    doc.viewFixed = false;
    c.host.setStatus(0, withoutFolder(name));
    auto read = readPicture(name, doc.image, doc.formats);
    if (!read) {
        c.host.showFailure(read.error());
        return; // the image takes nothing from a reader that failed
    }
    if (read.value()) {
        doc.image = std::move(*read.value());
        c.clean = true;
    } else {
        c.host.showFailure("Unknown file type: nothing was opened.");
    }
    afterOpen(doc);
}

std::span<const CommandRow> fileCommandRows()
{
    return kRows;
}

} // namespace daubix::io
