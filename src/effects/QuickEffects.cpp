#include "effects/QuickEffects.h"

#include "app/Document.h"
#include "app/Command.h"
#include "app/Host.h"
#include "app/Preview.h"
#include "app/Range.h"
#include "app/TextCase.h"
#include "effects/Effects_p.h"
#include "effects/TketPaintFX.h"

#include <algorithm>
#include <array>
#include <vector>

namespace daubix::effects {

namespace {

// What a row works with. The copy is the range buffer; a row that draws into a new picture leaves it in
// result, and one that draws in place leaves result empty, the copy being the picture.
struct Job {
    TketPaintFX& fx;
    gfx::Bitmap& copy;
    gfx::Bitmap result;
    QuickEffectBars bars;
    app::Host& host;
    const app::Tables& tables;
    // The picture the preview shows, about to be replaced by this one: when it has the size, its memory
    // takes the new picture, since fresh memory of an image's size costs more than most of these effects.
    gfx::Bitmap& previewPicture;

    // The new picture of the copy's size, white as a new bitmap is.
    gfx::Bitmap& newPicture()
    {
        newFullPicture();
        result.fill(gfx::clWhite);
        return result;
    }
    // The same for effects that write every pixel, which need not be whitened first.
    gfx::Bitmap& newFullPicture()
    {
        result = takeMemory();
        return result;
    }
    // A 24-bit bitmap of the copy's size with any pixels.
    gfx::Bitmap takeMemory()
    {
        const gfx::Bitmap& p = previewPicture;
        if (p.width() != copy.width() || p.height() != copy.height() || p.format() != gfx::PixelFormat::Bits24)
            return gfx::Bitmap::zeroed(copy.width(), copy.height());
        gfx::Bitmap taken = std::move(previewPicture);
        taken.transparent = false;
        return taken;
    }
};

// False: the row has no picture to give.
using RowRun = bool (*)(Job&);

struct Row {
    QuickEffectRow shown;
    RowRun run;
};

// Every channel value v becomes the sine ramp's entry for v, E times over: one table of the E-fold
// composition does it in one pass.
bool splitLight(Job& j)
{
    std::uint8_t table[256];
    for (int v = 0; v < 256; ++v) {
        std::uint8_t t = static_cast<std::uint8_t>(v);
        for (int i = 0; i < j.bars.e; ++i)
            t = j.tables.sineRamp[t];
        table[v] = t;
    }
    detail::applyTable(j.copy, table);
    return true;
}

// Each row shifted right in proportion to its number, the whole squeezed so that the last row fits.
// Target columns past the right edge (tall images) are skipped.
bool shear(Job& j)
{
    const gfx::Bitmap& src = j.copy;
    gfx::Bitmap& dst = j.newPicture();
    const int w = src.width(), h = src.height();
    const double amount = j.bars.e / 100.0;
    const double factor = w / (amount * h + w);
    for (int y = 0; y < h; ++y) {
        const int shift = app::roundHalfEven(amount * y);
        const std::uint8_t* in = src.scanLine(y);
        std::uint8_t* out = dst.scanLine(y);
        for (int x = 0; x < w; ++x) {
            const int target = app::roundHalfEven(factor * (shift + x));
            if (target >= 0 && target < w)
                std::copy_n(in + x * 3, 3, out + target * 3);
        }
    }
    j.copy = std::move(j.result); // the sheared picture replaces the copy, as the in-place rows leave it
    j.result = gfx::Bitmap();
    return true;
}

bool plasma(Job& j)
{
    // The two sources are copies of the same picture; one copy serves as both.
    const gfx::Bitmap source = j.copy;
    j.fx.Plasma(source, source, j.bars.e, j.bars.x, j.copy);
    return true;
}

bool fractal(Job& j, bool mandelbrot)
{
    j.fx.Fractal(j.copy, 16, j.bars.e * 0.028 - 2.25, j.bars.x * 0.009 - 1.5, 0.75, 1.5, mandelbrot);
    return true;
}

// With the clipboard's picture, when it has the copy's size.
bool blend(Job& j)
{
    std::optional<gfx::Bitmap> other = j.host.clipboardBitmap();
    if (!other || other->width() != j.copy.width() || other->height() != j.copy.height()
        || !gfx::Bitmap::isSaneSize(other->width(), other->height()))
        return false;
    other->convertTo(gfx::PixelFormat::Bits24);
    j.fx.Blend(j.copy, *other, j.bars.e / 100.0, j.newFullPicture());
    return true;
}

template <WingsVariant V> bool wings(Job& j)
{
    j.fx.Wings(j.copy, j.newPicture(), j.bars.x, j.bars.e, V);
    return true;
}

template <SqueezeShape S> bool squeeze(Job& j)
{
    j.fx.Squeeze(j.copy, j.newPicture(), S, j.bars.e);
    return true;
}

template <SqueezeShape S> bool splitSqueeze(Job& j)
{
    j.fx.SplitSqueeze(j.copy, j.newPicture(), S, j.bars.e);
    return true;
}

template <Channel C, bool Keep> bool channelBand(Job& j)
{
    if (Keep)
        j.fx.ChannelBandKeep(j.copy, C, j.bars.x, j.bars.e);
    else
        j.fx.ChannelBand(j.copy, C, j.bars.x, j.bars.e);
    return true;
}

template <WaveStyle S> bool wave(Job& j)
{
    if (S == WaveStyle::Inference)
        j.fx.Wave(j.copy, j.bars.x, S, j.bars.e);
    else
        j.fx.Wave(j.copy, j.bars.e, S, 0);
    return true;
}

// The effect table: tree path, EBar's maximum, minimum and position, and what runs.
const Row kRows[kQuickEffectCount] = {
    {{"Contrast", 100, 0, 0}, [](Job& j) { j.fx.Contrast(j.copy, j.bars.e); return true; }},
    {{"Saturation", 255, 0, 0}, [](Job& j) { j.fx.Saturation(j.copy, j.bars.e); return true; }},
    {{"Brightness", 100, 0, 0}, [](Job& j) { j.fx.Brightness(j.copy, j.bars.e); return true; }},
    {{"Blur > Gaussian Blur", 20, 0, 0}, [](Job& j) { j.fx.GaussianBlur(j.copy, j.bars.e); return true; }},
    {{"Blur > Split Blur", 30, 0, 0}, [](Job& j) { j.fx.SplitBlur(j.copy, j.bars.e); return true; }},
    {{"Noise > Color", 200, 0, 0}, [](Job& j) { j.fx.NoiseColor(j.copy, j.bars.e); return true; }},
    {{"Noise > Mono", 200, 0, 0}, [](Job& j) { j.fx.NoiseMono(j.copy, j.bars.e); return true; }},
    // Its bar moves, but the picture is the copy as it is.
    {{"Smooth", 20, 0, 0}, [](Job&) { return true; }},
    {{"Seamless", 50, 10, 10}, [](Job& j) { j.fx.Seam(j.copy, j.bars.e); return true; }},
    {{"Mosaic", 30, 2, 15}, [](Job& j) { j.fx.Mosaic(j.copy, j.bars.e); return true; }},
    {{"Twist", 50, 1, 10}, [](Job& j) { j.fx.Twist(j.copy, j.newPicture(), j.bars.e); return true; }},
    {{"Fisheye", 100, 55, 60}, [](Job& j) { j.fx.Fisheye(j.copy, j.newPicture(), j.bars.e / 100.0); return true; }},
    {{"Wave > Normal", 200, 1, 15}, wave<WaveStyle::Normal>},
    {{"Wave > Extra", 200, 1, 15}, wave<WaveStyle::Extra>},
    {{"Wave > Inference", 10, 1, 1}, wave<WaveStyle::Inference>},
    {{"Rotate", 360, 0, 0},
        [](Job& j) {
            j.fx.RotateSmooth(j.copy, j.newPicture(), j.bars.cx, j.bars.cy, j.bars.e);
            return true;
        }},
    {{"Split Light", 10, 1, 1}, splitLight},
    {{"Wings > Deep", 400, 1, 1}, wings<WingsVariant::Deep>},
    {{"Wings > Down", 400, 1, 1}, wings<WingsVariant::Down>},
    {{"Wings > Up", 400, 1, 1}, wings<WingsVariant::Up>},
    {{"Wings > Fold", 400, 1, 1}, wings<WingsVariant::Fold>},
    {{"Wings > Touche", 400, 1, 1}, wings<WingsVariant::Touche>},
    {{"Wings > Flyer", 400, 1, 1}, wings<WingsVariant::Flyer>},
    {{"Wings > Flipover", 400, 1, 1}, wings<WingsVariant::Flipover>},
    {{"Wings > Wavy", 400, 1, 1}, wings<WingsVariant::Wavy>},
    // The bar moves, but emboss has no amount.
    {{"Emboss", 100, 0, 0}, [](Job& j) { j.fx.Emboss(j.copy); return true; }},
    {{"Colors > Red", 255, 0, 128}, channelBand<Channel::Red, false>},
    {{"Colors > Green", 255, 0, 128}, channelBand<Channel::Green, false>},
    {{"Colors > Blue", 255, 0, 128}, channelBand<Channel::Blue, false>},
    {{"Colors > XRed", 255, 0, 128}, channelBand<Channel::Red, true>},
    {{"Colors > XGreen", 255, 0, 128}, channelBand<Channel::Green, true>},
    {{"Colors > XBlue", 255, 0, 128}, channelBand<Channel::Blue, true>},
    {{"Squeeze > Horizontal", 255, 0, 0}, squeeze<SqueezeShape::Horizontal>},
    {{"Squeeze > Top", 255, 0, 0}, squeeze<SqueezeShape::Top>},
    {{"Squeeze > Bottom", 255, 0, 0}, squeeze<SqueezeShape::Bottom>},
    {{"Squeeze > Diamond", 255, 0, 0}, squeeze<SqueezeShape::Diamond>},
    {{"Squeeze > Waste", 255, 0, 0}, squeeze<SqueezeShape::Waste>},
    {{"Squeeze > Round", 255, 0, 0}, squeeze<SqueezeShape::Round>},
    {{"Squeeze > Double Round", 255, 0, 0}, squeeze<SqueezeShape::DoubleRound>},
    {{"Split > Round", 255, 0, 0}, splitSqueeze<SqueezeShape::Round>},
    {{"Split > Waste", 255, 0, 0}, splitSqueeze<SqueezeShape::Waste>},
    {{"Shear", 100, 0, 0}, shear},
    {{"Plasma", 100, 1, 1}, plasma},
    {{"MandelBrot", 100, 0, 0}, [](Job& j) { return fractal(j, true); }},
    {{"Julia", 100, 0, 0}, [](Job& j) { return fractal(j, false); }},
    {{"Triangles", 127, 5, 19}, [](Job& j) { j.fx.Triangles(j.copy, j.bars.e); return true; }},
    {{"Ripple > Tooth", 100, 3, 3}, [](Job& j) { j.fx.RippleTooth(j.copy, j.bars.e); return true; }},
    // The same operation as "Tooth".
    {{"Ripple > Triangle", 100, 3, 3}, [](Job& j) { j.fx.RippleTooth(j.copy, j.bars.e); return true; }},
    {{"Ripple > Random", 100, 3, 3}, [](Job& j) { j.fx.RippleRandom(j.copy, j.bars.e); return true; }},
    {{"Texturize > Tile", 100, 3, 3}, [](Job& j) { j.fx.TextureTile(j.copy, j.bars.e); return true; }},
    {{"Texturize > Overlap", 100, 3, 3}, [](Job& j) { j.fx.TextureOverlap(j.copy, j.bars.e); return true; }},
    {{"Map", 100, 1, 1}, [](Job& j) { j.fx.Map(j.copy, j.bars.e); return true; }},
    {{"Blend", 100, 0, 0}, blend},
    {{"Solarize", 255, 0, 1}, [](Job& j) { j.fx.Solarize(j.copy, j.newFullPicture(), j.bars.e); return true; }},
    {{"Posterize", 255, 1, 1}, [](Job& j) { j.fx.Posterize(j.copy, j.newFullPicture(), j.bars.e); return true; }},
    // The size is taken as a byte.
    {{"Buttonize", 50, 3, 5}, [](Job& j) { j.fx.Buttonize(j.copy, j.bars.e & 0xFF, j.bars.x); return true; }},
};

const std::array<QuickEffectRow, kQuickEffectCount>& shownRows()
{
    static const std::array<QuickEffectRow, kQuickEffectCount> rows = [] {
        std::array<QuickEffectRow, kQuickEffectCount> out;
        for (int n = 0; n < kQuickEffectCount; ++n)
            out[static_cast<std::size_t>(n)] = kRows[n].shown;
        return out;
    }();
    return rows;
}

// The groups and their entries from the rows' paths: rows that share a group follow each other.
std::vector<QuickEffectEntry> buildTree()
{
    std::vector<QuickEffectEntry> tree;
    std::string_view group;
    int groupIndex = -1;
    for (int n = 0; n < kQuickEffectCount; ++n) {
        const std::string_view path = kRows[n].shown.path;
        const auto cut = path.find(" > ");
        if (cut == std::string_view::npos) {
            group = {};
            tree.push_back({path, n, -1});
            continue;
        }
        if (path.substr(0, cut) != group) {
            group = path.substr(0, cut);
            groupIndex = static_cast<int>(tree.size());
            const bool runsContrast = group == "Ripple" || group == "Texturize";
            tree.push_back({group, runsContrast ? 0 : -1, -1});
        }
        tree.push_back({path.substr(cut + 3), n, groupIndex});
    }
    return tree;
}

const std::vector<QuickEffectEntry>& tree()
{
    static const std::vector<QuickEffectEntry> entries = buildTree();
    return entries;
}

// The effect number of the selected entry; -1 when none is selected or a group is.
int selectedEffect(const app::QuickEffectsState& state)
{
    const auto& entries = tree();
    if (state.entry < 0 || state.entry >= static_cast<int>(entries.size()))
        return -1;
    return entries[static_cast<std::size_t>(state.entry)].number;
}

// The chosen effect's preview with the bars as they stand; "Plasma" may move "turb" first.
std::optional<gfx::Bitmap> previewSelected(app::Document& doc, app::Host& host)
{
    const int n = selectedEffect(doc.quickEffects);
    if (n < 0)
        return std::nullopt;
    app::QuickEffectsState& s = doc.quickEffects;
    const QuickEffectBars bars = settledBars(n, {s.e, s.x, s.cx, s.cy});
    s.x = bars.x;
    return quickEffectPreview(doc, host, n, bars);
}

} // namespace

std::span<const QuickEffectRow> quickEffectRows()
{
    return shownRows();
}

std::span<const QuickEffectEntry> quickEffectTree()
{
    return tree();
}

std::optional<int> findEffectEntry(std::string_view path)
{
    const auto& entries = tree();
    for (std::size_t i = 0; i < entries.size(); ++i) {
        const QuickEffectEntry& entry = entries[i];
        std::string full(entry.caption);
        if (entry.parent >= 0)
            full = std::string(entries[static_cast<std::size_t>(entry.parent)].caption) + " > " + full;
        if (app::sameIgnoringCase(full, path))
            return static_cast<int>(i);
    }
    return std::nullopt;
}

QuickEffectBars settledBars(int n, QuickEffectBars bars)
{
    if (n >= 0 && n < kQuickEffectCount && kRows[n].run == plasma)
        bars.x = std::max(bars.x, 10);
    return bars;
}

std::optional<gfx::Bitmap> quickEffectPreview(app::Document& doc, app::Host& host, int n, QuickEffectBars bars)
{
    if (n < 0 || n >= kQuickEffectCount)
        return std::nullopt;
    try {
        app::copyWholeImage(doc);
        TketPaintFX fx(doc.random);
        Job job{fx, doc.rangeBuffer, {}, bars, host, doc.tables, doc.preview.picture};
        if (!kRows[n].run(job))
            return std::nullopt;
        if (!job.result.isEmpty())
            return std::move(job.result);
        gfx::Bitmap picture = job.takeMemory();
        picture = doc.rangeBuffer; // same size: a copy into the memory it has
        return picture;
    } catch (const gfx::OutOfPixelMemory& e) {
        host.showFailure(app::outOfMemory(e.width, e.height));
    } catch (const std::bad_alloc&) {
        host.showFailure(app::outOfMemory(doc.image.width(), doc.image.height()));
    }
    // The preview may have given its memory to the picture that could not be finished.
    if (doc.preview.picture.isEmpty())
        app::closePreview(doc);
    return std::nullopt;
}

std::optional<gfx::Bitmap> openEffectsPanel(app::Document& doc, app::Host& host)
{
    app::QuickEffectsState& s = doc.quickEffects;
    const int cx = doc.image.width() / 2, cy = doc.image.height() / 2;
    const bool moved = s.cx != cx || s.cy != cy;
    s.cxMax = doc.image.width();
    s.cyMax = doc.image.height();
    s.cx = cx;
    s.cy = cy;
    return moved ? previewSelected(doc, host) : std::nullopt;
}

std::optional<gfx::Bitmap> clickEffectEntry(app::Document& doc, app::Host& host, int entry)
{
    app::QuickEffectsState& s = doc.quickEffects;
    if (entry < 0 || entry >= static_cast<int>(tree().size()))
        return std::nullopt;
    s.entry = entry;
    const int n = selectedEffect(s);
    if (n < 0)
        return std::nullopt;
    const QuickEffectRow& row = kRows[n].shown;
    s.barMax = row.barMax;
    s.barMin = row.barMin;
    s.e = row.barPosition;
    return previewSelected(doc, host);
}

void selectEffectEntry(app::Document& doc, int entry)
{
    if (entry >= -1 && entry < static_cast<int>(tree().size()))
        doc.quickEffects.entry = entry;
}

std::optional<gfx::Bitmap> moveEffectBar(app::Document& doc, app::Host& host, EffectBar bar, int value)
{
    app::QuickEffectsState& s = doc.quickEffects;
    switch (bar) {
    case EffectBar::E:
        s.e = std::clamp(value, s.barMin, s.barMax);
        break;
    case EffectBar::Extra:
        s.x = std::clamp(value, kExtraBarMin, kExtraBarMax);
        break;
    case EffectBar::CX:
        s.cx = std::clamp(value, 0, s.cxMax);
        break;
    case EffectBar::CY:
        s.cy = std::clamp(value, 0, s.cyMax);
        break;
    }
    return previewSelected(doc, host);
}

} // namespace daubix::effects
