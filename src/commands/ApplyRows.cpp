#include "commands/ApplyRows.h"

#include "app/Document.h"
#include "app/HeadlessHost.h"
#include "app/Print.h"
#include "app/ProgramFolder.h"
#include "app/Prompt.h"
#include "app/TextCase.h"
#include "effects/FilterPresets.h"
#include "effects/QuickEffects.h"
#include "effects/RangeFills.h"
#include "effects/UserFilters.h"
#include "generators/Backdrop.h"
#include "generators/Texture.h"
#include "io/FilterPresetCommands.h"
#include "io/JpegCodec.h"

#include <charconv>

namespace daubix::commands {

namespace {

using Args = std::span<const std::string>;

// The picture the JPEG preview shows, and its compressed size.
gfx::Status jpegPreviewRow(gfx::Bitmap& image, Args args, ApplyContext& context)
{
    const std::optional<int> quality = app::parseInteger(args[0]);
    const std::optional<int> grey = app::parseInteger(args[1]);
    if (!quality || *quality < 1 || *quality > 100)
        return gfx::Error{"the quality must be a whole number from 1 to 100"};
    if (!grey || (*grey != 0 && *grey != 1))
        return gfx::Error{"grey must be 0 or 1"};
    auto preview = io::jpegPreview(image, *quality, *grey == 1);
    if (!preview)
        return gfx::Error{preview.error()};
    context.report = "Size=" + std::to_string(preview.value().bytes);
    image = std::move(preview.value().picture);
    return {};
}

// The print preview picture for a printable area of pageW x pageH printer pixels.
gfx::Status printPreviewRow(gfx::Bitmap& image, Args args, ApplyContext&)
{
    const std::optional<int> pageWidth = app::parseInteger(args[0]);
    const std::optional<int> pageHeight = app::parseInteger(args[1]);
    const std::optional<int> scale = app::parseInteger(args[2]);
    constexpr int d = app::kPreviewDivisor;
    if (!pageWidth || !pageHeight || *pageWidth < d || *pageHeight < d
        || !gfx::Bitmap::isSaneSize(*pageWidth / d, *pageHeight / d))
        return gfx::Error{"the page must be at least 5 printer pixels a side, and its fifth at most "
            + std::to_string(gfx::Bitmap::kMaxPixels) + " pixels"};
    if (!scale || *scale < 1)
        return gfx::Error{"the scale must be a whole number from 1 up"};
    image = app::printPreview(image, *pageWidth, *pageHeight, *scale);
    return {};
}

// The Filters window's preview picture: B, the exact 24-bit copy of the image, filtered. It is what
// "Use" leaves in a 24-bit image under the source copy mode, so the image itself is filtered in its place.
gfx::Status userFilterRow(gfx::Bitmap& image, const effects::UserFilterSettings& settings, ApplyContext& context)
{
    if (gfx::Status s = effects::checkUserFilterSettings(settings); !s)
        return s;
    return effects::applyUserFilter(image, settings, context.random);
}

// A name of the Filters list (any case) or its index.
std::optional<int> userFilterIndex(const std::string& text)
{
    if (const std::optional<int> named = effects::findUserFilter(text))
        return named;
    int index = -1;
    const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), index);
    if (text.empty() || ec != std::errc() || end != text.data() + text.size() || index < 0
        || index >= effects::kUserFilterCount)
        return std::nullopt;
    return index;
}

// The window's radio buttons red, green and blue on the three filters, the red one checked (so the
// list's selection is red's filter), the bar at V, and the grid as the window starts: all ones.
gfx::Status quickFilterRow(gfx::Bitmap& image, Args args, ApplyContext& context)
{
    effects::UserFilterSettings settings;
    for (std::size_t c = 0; c < 3; ++c) {
        const std::optional<int> filter = userFilterIndex(args[c]);
        if (!filter)
            return gfx::Error{"\"" + args[c] + "\" is not a user filter: use a name of the Filters list or 0..25"};
        settings.channels[c] = *filter;
    }
    settings.selection = settings.channels[0];
    if (args.size() > 3) {
        const std::optional<int> v = app::parseInteger(args[3]);
        if (!v || *v < effects::kMinFilterValue || *v > effects::kMaxFilterValue)
            return gfx::Error{"the filter value must lie in 16..255"};
        settings.v = *v;
    }
    settings.matrix.fill(1);
    return userFilterRow(image, settings, context);
}

gfx::Status userMatrixWithCells(gfx::Bitmap& image, const effects::MatrixCells& cells, ApplyContext& context)
{
    const auto matrix = effects::readMatrixCells(cells);
    if (!matrix)
        return gfx::Error{matrix.error()};
    effects::UserFilterSettings settings;
    settings.selection = effects::kUserMatrixFilter;
    settings.matrix = matrix.value();
    return userFilterRow(image, settings, context);
}

// The grid's texts row by row, as a preset line holds them.
gfx::Status userMatrixRow(gfx::Bitmap& image, Args args, ApplyContext& context)
{
    effects::MatrixCells cells;
    std::copy(args.begin(), args.end(), cells.begin());
    return userMatrixWithCells(image, cells, context);
}

// A preset of the program folder's DaubixFL.txt, chosen as in the window. A name may hold commas.
gfx::Status filterPresetRow(gfx::Bitmap& image, Args args, ApplyContext& context)
{
    std::string name = args[0];
    for (std::size_t i = 1; i < args.size(); ++i)
        name += "," + args[i];
    const std::string path = app::programFile(app::resolveProgramFolder(context.executableFolder), "DaubixFL.txt");
    const auto presets = io::readFilterPresets(path);
    if (!presets)
        return gfx::Error{presets.error()};
    const std::optional<int> index = effects::findPreset(presets.value(), name);
    if (!index)
        return gfx::Error{"no filter preset \"" + name + "\" in " + path};
    effects::MatrixCells cells;
    cells.fill("1"); // the grid as the window starts
    if (gfx::Status filled = effects::presetIntoCells(presets.value()[static_cast<std::size_t>(*index)], cells);
        !filled)
        return filled;
    return userMatrixWithCells(image, cells, context);
}

// A whole number of the argument within lo .. hi, or a message that says so.
gfx::Result<int> argumentIn(const std::string& text, std::string_view name, int lo, int hi)
{
    const std::optional<int> value = app::parseInteger(text);
    if (!value || *value < lo || *value > hi)
        return gfx::Error{std::string(name) + " must be a whole number from " + std::to_string(lo) + " to "
            + std::to_string(hi) + ", not \"" + text + "\""};
    return *value;
}

// The Quick Effects panel's preview of effect N with the bars at E, X, CX and CY, taken from a document
// that holds the image, as the panel takes it; it is what "Use" draws.
gfx::Status quickEffectRow(gfx::Bitmap& image, Args args, ApplyContext& context)
{
    if (args.size() == 4)
        return gfx::Error{"CX and CY go together: QuickEffect:N,E[,X[,CX,CY]]"};
    const auto n = argumentIn(args[0], "N", 0, effects::kQuickEffectCount - 1);
    if (!n)
        return gfx::Error{n.error()};
    const effects::QuickEffectRow& row = effects::quickEffectRows()[static_cast<std::size_t>(n.value())];
    const auto e = argumentIn(args[1], "E of \"" + std::string(row.path) + "\"", row.barMin, row.barMax);
    if (!e)
        return gfx::Error{e.error()};
    effects::QuickEffectBars bars{e.value(), 1, image.width() / 2, image.height() / 2};
    if (args.size() > 2) {
        const auto x = argumentIn(args[2], "X", effects::kExtraBarMin, effects::kExtraBarMax);
        if (!x)
            return gfx::Error{x.error()};
        bars.x = x.value();
    }
    if (args.size() > 3) {
        const auto cx = argumentIn(args[3], "CX", 0, image.width());
        const auto cy = argumentIn(args[4], "CY", 0, image.height());
        if (!cx || !cy)
            return gfx::Error{!cx ? cx.error() : cy.error()};
        bars.cx = cx.value();
        bars.cy = cy.value();
    }
    app::Document doc;
    doc.image = std::move(image);
    doc.random = context.random;
    app::HeadlessHost host;
    host.clipboard = std::move(context.clipboard);
    std::optional<gfx::Bitmap> picture
        = effects::quickEffectPreview(doc, host, n.value(), effects::settledBars(n.value(), bars));
    context.random = doc.random;
    if (!picture) {
        image = std::move(doc.image);
        return gfx::Error{"\"" + std::string(row.path) + "\" needs a clipboard picture (--clipboard IMAGE) of "
            + std::to_string(image.width()) + " x " + std::to_string(image.height()) + " pixels"};
    }
    image = std::move(*picture);
    return {};
}

// Quick Backdrops' picture for the image's size: what the preview shows and "Use" draws.
gfx::Status backdropRow(gfx::Bitmap& image, Args args, ApplyContext&)
{
    app::BackdropSettings s;
    const std::array<int*, 7> values = generators::backdropValues(s);
    for (std::size_t i = 0; i < values.size(); ++i) {
        const auto [lo, hi] = generators::backdropValueRange(i);
        const auto v = argumentIn(args[i], generators::kBackdropValueNames[i], lo, hi);
        if (!v)
            return gfx::Error{v.error()};
        *values[i] = v.value();
    }
    image = generators::generateBackdrop(s, image.width(), image.height());
    return {};
}

// A colour as the program stores it, 0x00BBGGRR, in decimal or as 0x hex: a plain colour, an interface
// colour (0x80000000 + index) or clNone.
std::optional<gfx::Color> colourArgument(const std::string& text)
{
    const bool hex = text.starts_with("0x") || text.starts_with("0X");
    const char* first = text.data() + (hex ? 2 : 0);
    const char* last = text.data() + text.size();
    gfx::Color value = 0;
    const auto [end, ec] = std::from_chars(first, last, value, hex ? 16 : 10);
    if (first == last || ec != std::errc() || end != last)
        return std::nullopt;
    if (value > 0xFFFFFF && value != gfx::clNone && !gfx::isInterfaceColor(value))
        return std::nullopt;
    return value;
}

// The texture window: the setters TextureSize, NoiseAmount, NoiseMonoChrome and Color in that order, each
// as the window's panel takes it (out-of-range sizes and amounts substituted with their messages), then
// "Use" over the whole image. The seed is the value the tile's clock reseed takes.
gfx::Status textureRow(gfx::Bitmap& image, Args args, ApplyContext& context)
{
    const std::optional<int> size = app::parseInteger(args[0]);
    const std::optional<int> noise = app::parseInteger(args[1]);
    if (!size)
        return gfx::Error{"the texture size must be a whole number, not \"" + args[0] + "\""};
    if (!noise)
        return gfx::Error{"the noise amount must be a whole number, not \"" + args[1] + "\""};
    const auto mono = argumentIn(args[2], "mono", 0, 1);
    if (!mono)
        return gfx::Error{mono.error()};
    const std::optional<gfx::Color> colour = colourArgument(args[3]);
    if (!colour)
        return gfx::Error{"the colour must be 0x00BBGGRR in decimal or 0x hex (an interface colour "
                          "0x800000NN or clNone 0x1FFFFFFF too), not \""
            + args[3] + "\""};
    std::uint32_t seed = 0;
    if (args.size() > 4) {
        const std::string& text = args[4];
        const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), seed);
        if (text.empty() || ec != std::errc() || end != text.data() + text.size())
            return gfx::Error{"the seed must be a whole number from 0 to 4294967295, not \"" + text + "\""};
    }
    app::Document doc;
    doc.image = std::move(image);
    doc.random = context.random;
    if (args.size() > 4)
        doc.random.seedFixed(seed);
    app::HeadlessHost host;
    generators::createTexturePanel(doc);
    generators::setTextureSize(doc, host, *size);
    generators::setNoiseAmount(doc, host, *noise);
    generators::setNoiseMonoChrome(doc, mono.value() == 1);
    generators::setTextureColor(doc, *colour);
    generators::useTexture(doc, host);
    context.messages.insert(context.messages.end(), host.messages.begin(), host.messages.end());
    context.random = doc.random;
    image = std::move(doc.image);
    return {};
}

// What Range > Assign To would hand over for the range L,T,R,B of the image.
template <bool Bumper> gfx::Status assignToRow(gfx::Bitmap& image, Args args, ApplyContext&)
{
    int corners[4] = {};
    constexpr std::string_view kNames[] = {"L", "T", "R", "B"};
    for (std::size_t i = 0; i < 4; ++i) {
        const auto v = argumentIn(args[i], kNames[i], INT32_MIN / 2, INT32_MAX / 2);
        if (!v)
            return gfx::Error{v.error()};
        corners[i] = v.value();
    }
    app::Document doc;
    doc.image = std::move(image);
    doc.range = {corners[0], corners[1], corners[2], corners[3]};
    app::HeadlessHost host;
    std::optional<gfx::Bitmap> picture
        = Bumper ? effects::bumperPicture(doc, host) : effects::quickButtonPicture(doc, host);
    image = std::move(doc.image);
    if (!picture)
        return gfx::Error{host.messages.empty() ? std::string("no picture") : host.messages.front()};
    image = std::move(*picture);
    return {};
}

const ApplyRow kRows[] = {
    {"Backdrop", "fR,fG,fB,oR,oG,oB,m", 7, 7, backdropRow},
    {"BumperPicture", "l,t,r,b", 4, 4, assignToRow<true>},
    {"FilterPreset", "name", 1, SIZE_MAX, filterPresetRow},
    {"JpegPreview", "quality,grey", 2, 2, jpegPreviewRow},
    {"PrintPreview", "pagew,pageh,scale", 3, 3, printPreviewRow},
    {"QuickEffect", "n,e[,x[,cx,cy]]", 2, 5, quickEffectRow},
    {"QuickButtonPicture", "l,t,r,b", 4, 4, assignToRow<false>},
    {"QuickFilter", "red,green,blue[,v]", 3, 4, quickFilterRow},
    {"Texture", "size,noise,mono,colour[,seed]", 4, 5, textureRow},
    {"UserMatrix", "m0,...,m24", 25, 25, userMatrixRow},
};

} // namespace

std::span<const ApplyRow> applyRows()
{
    return kRows;
}

gfx::Status applyCall(ApplyContext& context, gfx::Bitmap& image, std::string_view text)
{
    const effects::Call call = effects::parseCall(text);
    for (const ApplyRow& row : kRows) {
        if (!app::sameIgnoringCase(row.name, call.name))
            continue;
        if (gfx::Status s = effects::checkArgumentCount(
                {row.name, call.arguments}, row.parameters, row.minArguments, row.maxArguments);
            !s)
            return s;
        return row.apply(image, call.arguments, context);
    }
    effects::TketPaintFX fx(context.random);
    return effects::applyEffect(fx, image, text);
}

} // namespace daubix::commands
