#include "effects/QuickEffects.h"

#include "app/Document.h"
#include "effects/TketPaintFX.h"
#include "support/FakeHost.h"
#include "support/TestImages.h"

#include <gtest/gtest.h>

#include <string>

using namespace daubix;

namespace {

// The panel over a document whose image has a last row and column unlike the rest.
struct Panel {
    app::Document doc;
    test::FakeHost host;

    explicit Panel(gfx::Bitmap image = test::noise(23, 17, 5))
    {
        doc.image = std::move(image);
        doc.random.seedFixed(7);
    }
    std::optional<gfx::Bitmap> preview(int n, effects::QuickEffectBars bars)
    {
        return effects::quickEffectPreview(doc, host, n, bars);
    }
    int entry(std::string_view path)
    {
        const std::optional<int> e = effects::findEffectEntry(path);
        EXPECT_TRUE(e) << path;
        return e.value_or(-1);
    }
};

// The rows as the panel's table gives them: tree path and EBar's maximum, minimum and position.
struct Expected {
    const char* path;
    int max, min, position;
};
constexpr Expected kTable[effects::kQuickEffectCount] = {{"Contrast", 100, 0, 0}, {"Saturation", 255, 0, 0},
    {"Brightness", 100, 0, 0}, {"Blur > Gaussian Blur", 20, 0, 0}, {"Blur > Split Blur", 30, 0, 0},
    {"Noise > Color", 200, 0, 0}, {"Noise > Mono", 200, 0, 0}, {"Smooth", 20, 0, 0}, {"Seamless", 50, 10, 10},
    {"Mosaic", 30, 2, 15}, {"Twist", 50, 1, 10}, {"Fisheye", 100, 55, 60}, {"Wave > Normal", 200, 1, 15},
    {"Wave > Extra", 200, 1, 15}, {"Wave > Inference", 10, 1, 1}, {"Rotate", 360, 0, 0}, {"Split Light", 10, 1, 1},
    {"Wings > Deep", 400, 1, 1}, {"Wings > Down", 400, 1, 1}, {"Wings > Up", 400, 1, 1}, {"Wings > Fold", 400, 1, 1},
    {"Wings > Touche", 400, 1, 1}, {"Wings > Flyer", 400, 1, 1}, {"Wings > Flipover", 400, 1, 1},
    {"Wings > Wavy", 400, 1, 1}, {"Emboss", 100, 0, 0}, {"Colors > Red", 255, 0, 128}, {"Colors > Green", 255, 0, 128},
    {"Colors > Blue", 255, 0, 128}, {"Colors > XRed", 255, 0, 128}, {"Colors > XGreen", 255, 0, 128},
    {"Colors > XBlue", 255, 0, 128}, {"Squeeze > Horizontal", 255, 0, 0}, {"Squeeze > Top", 255, 0, 0},
    {"Squeeze > Bottom", 255, 0, 0}, {"Squeeze > Diamond", 255, 0, 0}, {"Squeeze > Waste", 255, 0, 0},
    {"Squeeze > Round", 255, 0, 0}, {"Squeeze > Double Round", 255, 0, 0}, {"Split > Round", 255, 0, 0},
    {"Split > Waste", 255, 0, 0}, {"Shear", 100, 0, 0}, {"Plasma", 100, 1, 1}, {"MandelBrot", 100, 0, 0},
    {"Julia", 100, 0, 0}, {"Triangles", 127, 5, 19}, {"Ripple > Tooth", 100, 3, 3}, {"Ripple > Triangle", 100, 3, 3},
    {"Ripple > Random", 100, 3, 3}, {"Texturize > Tile", 100, 3, 3}, {"Texturize > Overlap", 100, 3, 3},
    {"Map", 100, 1, 1}, {"Blend", 100, 0, 0}, {"Solarize", 255, 0, 1}, {"Posterize", 255, 1, 1},
    {"Buttonize", 50, 3, 5}};

class EveryRow : public ::testing::TestWithParam<int> { };

// Choosing the entry sets EBar from the row and previews; the picture keeps the image's size, is 24
// bits, and the image itself is not touched. Each effect is also previewed at its bar's far ends.
TEST_P(EveryRow, ChoosingItPreviewsWithoutTouchingTheImage)
{
    const int n = GetParam();
    const Expected& want = kTable[n];
    const effects::QuickEffectRow& row = effects::quickEffectRows()[static_cast<std::size_t>(n)];
    EXPECT_EQ(row.path, want.path);
    EXPECT_EQ(row.barMax, want.max);
    EXPECT_EQ(row.barMin, want.min);
    EXPECT_EQ(row.barPosition, want.position);

    Panel p;
    p.host.clipboard = test::noise(23, 17, 9); // for Blend
    const gfx::Bitmap before = p.doc.image;
    effects::openEffectsPanel(p.doc, p.host);
    const std::optional<gfx::Bitmap> picture = effects::clickEffectEntry(p.doc, p.host, p.entry(want.path));
    ASSERT_TRUE(picture);
    EXPECT_EQ(picture->width(), 23);
    EXPECT_EQ(picture->height(), 17);
    EXPECT_EQ(picture->format(), gfx::PixelFormat::Bits24);
    EXPECT_EQ(p.doc.quickEffects.barMax, want.max);
    EXPECT_EQ(p.doc.quickEffects.barMin, want.min);
    EXPECT_EQ(p.doc.quickEffects.e, want.position);
    for (const int e : {want.min, want.max}) {
        const auto far = effects::moveEffectBar(p.doc, p.host, effects::EffectBar::E, e);
        ASSERT_TRUE(far);
        EXPECT_EQ(far->width(), 23);
        EXPECT_EQ(far->height(), 17);
    }
    EXPECT_EQ(p.doc.image, before);
    EXPECT_EQ(p.doc.undo.index(), app::Document().undo.index());
    EXPECT_FALSE(p.doc.modified);
}

INSTANTIATE_TEST_SUITE_P(QuickEffects, EveryRow, ::testing::Range(0, effects::kQuickEffectCount));

TEST(QuickEffects, TheTreeGroupsEntriesAndTwoGroupsRunContrast)
{
    const auto tree = effects::quickEffectTree();
    int groups = 0, effectsShown = 0;
    for (const effects::QuickEffectEntry& entry : tree) {
        if (entry.parent < 0 && entry.number <= 0 && entry.caption != "Contrast") {
            ++groups;
            const bool contrast = entry.caption == "Ripple" || entry.caption == "Texturize";
            EXPECT_EQ(entry.number, contrast ? 0 : -1) << entry.caption;
        } else {
            ++effectsShown;
        }
    }
    EXPECT_EQ(effectsShown, effects::kQuickEffectCount);
    EXPECT_EQ(groups, 9); // Blur, Noise, Wave, Wings, Colors, Squeeze, Split, Ripple, Texturize
    EXPECT_EQ(tree[static_cast<std::size_t>(*effects::findEffectEntry("wings > deep"))].caption, "Deep");
    EXPECT_FALSE(effects::findEffectEntry("Deep"));
}

// "Smooth" shows the copy unchanged: the whole image, its last row and column included.
TEST(QuickEffects, SmoothShowsTheExactImage)
{
    Panel p;
    const auto picture = p.preview(7, {20, 1, 0, 0});
    ASSERT_TRUE(picture);
    EXPECT_EQ(*picture, p.doc.image);
    EXPECT_EQ(p.doc.range, (gfx::Rect{0, 0, 22, 16}));
}

TEST(QuickEffects, RowsMatchTheOperationsTheyName)
{
    Panel p;
    const gfx::Bitmap image = p.doc.image;
    app::Random random(1);
    effects::TketPaintFX fx(random);

    // Fisheye into a new picture with E / 100.
    gfx::Bitmap fisheye(23, 17);
    fx.Fisheye(image, fisheye, 0.60);
    EXPECT_EQ(*p.preview(11, {60, 1, 0, 0}), fisheye);

    // Rotate about (CX, CY) by E degrees.
    gfx::Bitmap rotated(23, 17);
    fx.RotateSmooth(image, rotated, 5, 9, 30);
    EXPECT_EQ(*p.preview(15, {30, 1, 5, 9}), rotated);

    // Wave Inference takes X as its amount and E as the inference.
    gfx::Bitmap waved = image;
    fx.Wave(waved, 4, effects::WaveStyle::Inference, 3);
    EXPECT_EQ(*p.preview(14, {3, 4, 0, 0}), waved);

    // The channel bands run from X to E.
    gfx::Bitmap band = image;
    fx.ChannelBandKeep(band, effects::Channel::Green, 40, 200);
    EXPECT_EQ(*p.preview(30, {200, 40, 0, 0}), band);

    // Split Light: every value through the sine ramp, E times.
    gfx::Bitmap light = image;
    for (int y = 0; y < light.height(); ++y)
        for (int i = 0; i < light.width() * 3; ++i) {
            std::uint8_t& v = light.scanLine(y)[i];
            v = p.doc.tables.sineRamp[p.doc.tables.sineRamp[p.doc.tables.sineRamp[v]]];
        }
    EXPECT_EQ(*p.preview(16, {3, 1, 0, 0}), light);

    // Triangle is the same operation as Tooth.
    EXPECT_EQ(*p.preview(47, {9, 1, 0, 0}), *p.preview(46, {9, 1, 0, 0}));

    // Wings: scale X, turbulence E.
    gfx::Bitmap wings;
    fx.Wings(image, wings, 7, 3, effects::WingsVariant::Flyer);
    EXPECT_EQ(*p.preview(22, {3, 7, 0, 0}), wings);

    // Plasma: turbulence E and scale X, the copy as both sources.
    gfx::Bitmap plasma = image;
    fx.Plasma(image, image, 12, 30, plasma);
    EXPECT_EQ(*p.preview(42, {12, 30, 0, 0}), plasma);

    // The fractals: the left edge from E, the top from X, Mandelbrot for 43 and Julia for 44.
    for (const bool mandelbrot : {true, false}) {
        gfx::Bitmap fractal = image;
        fx.Fractal(fractal, 16, 40 * 0.028 - 2.25, 90 * 0.009 - 1.5, 0.75, 1.5, mandelbrot);
        EXPECT_EQ(*p.preview(mandelbrot ? 43 : 44, {40, 90, 0, 0}), fractal);
    }

    // Buttonize: size E, amount X.
    gfx::Bitmap button = image;
    fx.Buttonize(button, 6, 40);
    EXPECT_EQ(*p.preview(55, {6, 40, 0, 0}), button);

    // Wave Extra takes E as its amount.
    gfx::Bitmap extra = image;
    fx.Wave(extra, 4, effects::WaveStyle::Extra, 0);
    EXPECT_EQ(*p.preview(13, {4, 90, 0, 0}), extra);

    // Solarize and Posterize draw the copy into a new picture.
    gfx::Bitmap source = image, solarized, posterized;
    fx.Solarize(source, solarized, 100);
    EXPECT_EQ(*p.preview(53, {100, 1, 0, 0}), solarized);
    fx.Posterize(source, posterized, 40);
    EXPECT_EQ(*p.preview(54, {40, 1, 0, 0}), posterized);
}

// The range buffer keeps what each kind of row leaves there: the result of the rows that work in place
// and of Shear, the copy for those that draw into a new picture.
TEST(QuickEffects, TheRangeBufferHoldsTheResultOrTheCopy)
{
    Panel p;
    const auto contrast = p.preview(0, {50, 1, 0, 0});
    EXPECT_EQ(p.doc.rangeBuffer, *contrast);
    const auto sheared = p.preview(41, {40, 1, 0, 0});
    EXPECT_EQ(p.doc.rangeBuffer, *sheared);
    const auto twisted = p.preview(10, {10, 1, 0, 0});
    EXPECT_NE(*twisted, p.doc.image);
    EXPECT_EQ(p.doc.rangeBuffer, p.doc.image);
}

// The picture takes over the memory of the one the preview shows, which it replaces.
TEST(QuickEffects, APreviewReplacesTheShownPicture)
{
    Panel p;
    p.doc.preview.picture = test::noise(23, 17, 1);
    p.doc.preview.shown = true;
    const auto picture = p.preview(2, {30, 1, 0, 0});
    ASSERT_TRUE(picture);
    gfx::Bitmap want = p.doc.image;
    app::Random random(1);
    effects::TketPaintFX(random).Brightness(want, 30);
    EXPECT_EQ(*picture, want);
    // Without a picture to give (Blend, no clipboard) the shown picture stays.
    const gfx::Bitmap shown = test::noise(23, 17, 2);
    p.doc.preview.picture = shown;
    EXPECT_FALSE(p.preview(52, {30, 1, 0, 0}));
    EXPECT_EQ(p.doc.preview.picture, shown);
}

// The keys move the selection without setting the bars; the next move of a bar runs the new entry.
TEST(QuickEffects, ASelectionByTheKeysRunsAtTheNextMove)
{
    Panel p;
    effects::clickEffectEntry(p.doc, p.host, p.entry("Brightness"));
    effects::selectEffectEntry(p.doc, p.entry("Contrast"));
    EXPECT_EQ(p.doc.quickEffects.barMax, 100);
    const auto moved = effects::moveEffectBar(p.doc, p.host, effects::EffectBar::E, 40);
    gfx::Bitmap want = p.doc.image;
    app::Random random(1);
    effects::TketPaintFX(random).Contrast(want, 40);
    EXPECT_EQ(*moved, want);
}

TEST(QuickEffects, RippleAndTexturizeGroupsPreviewContrast)
{
    for (const char* group : {"Ripple", "Texturize"}) {
        Panel p;
        const auto contrast = effects::clickEffectEntry(p.doc, p.host, p.entry("Contrast"));
        const auto viaGroup = effects::clickEffectEntry(p.doc, p.host, p.entry(group));
        ASSERT_TRUE(viaGroup) << group;
        EXPECT_EQ(*viaGroup, *contrast) << group;
        EXPECT_EQ(p.doc.quickEffects.barMax, 100);
    }
    // The other groups only select.
    Panel p;
    effects::clickEffectEntry(p.doc, p.host, p.entry("Fisheye"));
    EXPECT_FALSE(effects::clickEffectEntry(p.doc, p.host, p.entry("Wings")));
    EXPECT_EQ(p.doc.quickEffects.barMin, 55);
    EXPECT_FALSE(effects::moveEffectBar(p.doc, p.host, effects::EffectBar::E, 70));
}

TEST(QuickEffects, OpeningCentresTheRotationBarsAndBarsStayInRange)
{
    Panel p;
    EXPECT_FALSE(effects::openEffectsPanel(p.doc, p.host)); // nothing chosen: nothing previewed
    const app::QuickEffectsState& s = p.doc.quickEffects;
    EXPECT_EQ(s.cxMax, 23);
    EXPECT_EQ(s.cyMax, 17);
    EXPECT_EQ(s.cx, 11);
    EXPECT_EQ(s.cy, 8);
    effects::clickEffectEntry(p.doc, p.host, p.entry("Fisheye"));
    effects::moveEffectBar(p.doc, p.host, effects::EffectBar::E, 20);
    EXPECT_EQ(s.e, 55);
    effects::moveEffectBar(p.doc, p.host, effects::EffectBar::Extra, 999);
    EXPECT_EQ(s.x, 300);
    effects::moveEffectBar(p.doc, p.host, effects::EffectBar::CX, -4);
    EXPECT_EQ(s.cx, 0);
    // A new image size moves the centre, and the chosen effect previews with it.
    p.doc.image = test::noise(40, 30, 1);
    const auto again = effects::openEffectsPanel(p.doc, p.host);
    EXPECT_TRUE(again);
    EXPECT_EQ(s.cx, 20);
    EXPECT_EQ(s.cy, 15);
}

TEST(QuickEffects, PlasmaMovesTurbUpToTen)
{
    Panel p;
    const auto picture = effects::clickEffectEntry(p.doc, p.host, p.entry("Plasma"));
    EXPECT_EQ(p.doc.quickEffects.x, 10);
    EXPECT_EQ(*picture, *p.preview(42, {1, 10, 0, 0}));
    EXPECT_EQ(effects::settledBars(42, {1, 3, 0, 0}).x, 10);
    EXPECT_EQ(effects::settledBars(42, {1, 30, 0, 0}).x, 30);
    EXPECT_EQ(effects::settledBars(0, {1, 3, 0, 0}).x, 3);
}

TEST(QuickEffects, BlendNeedsAClipboardPictureOfTheImagesSize)
{
    Panel p;
    EXPECT_FALSE(p.preview(52, {50, 1, 0, 0}));
    p.host.clipboard = test::noise(22, 17, 2);
    EXPECT_FALSE(p.preview(52, {50, 1, 0, 0}));
    gfx::Bitmap other = test::noise(23, 17, 2);
    other.convertTo(gfx::PixelFormat::Bits8); // read and set to 24 bits first
    p.host.clipboard = other;
    const auto picture = p.preview(52, {25, 1, 0, 0});
    ASSERT_TRUE(picture);
    gfx::Bitmap a = p.doc.image, b = other, want;
    app::Random random(1);
    effects::TketPaintFX(random).Blend(a, b, 0.25, want);
    EXPECT_EQ(*picture, want);
}

// Each row moves right by round(E / 100 * y), and the columns are squeezed so that the last row fits;
// columns that land past the edge of a tall image are dropped.
TEST(QuickEffects, ShearSqueezesTheShiftedRows)
{
    gfx::Bitmap image(4, 8);
    for (int y = 0; y < 8; ++y)
        for (int x = 0; x < 4; ++x)
            image.setPixel(x, y, gfx::rgb(x * 60, y * 30, 7));
    Panel p(image);
    EXPECT_EQ(*p.preview(41, {0, 1, 0, 0}), image);
    const auto sheared = p.preview(41, {100, 1, 0, 0});
    ASSERT_TRUE(sheared);
    // Row 7: W / (H + W) = 1/3, columns 0..3 go to round(7/3), round(8/3), round(3), round(10/3).
    EXPECT_EQ(sheared->pixel(0, 7), gfx::clWhite);
    EXPECT_EQ(sheared->pixel(1, 7), gfx::clWhite);
    EXPECT_EQ(sheared->pixel(2, 7), image.pixel(0, 7));
    EXPECT_EQ(sheared->pixel(3, 7), image.pixel(3, 7));
    // Row 0: columns 0..3 go to 0, 0, 1, 1 (round(2/3) = 1, round(1/3) = 0).
    EXPECT_EQ(sheared->pixel(0, 0), image.pixel(1, 0));
    EXPECT_EQ(sheared->pixel(1, 0), image.pixel(3, 0));
    EXPECT_EQ(sheared->pixel(2, 0), gfx::clWhite);

    // 2 x 9 at E = 50: row 7 sends column 1 to round(2 / 6.5 * 5) = 2, past the edge, where it would land
    // on row 8's first pixel, which row 8 itself leaves white.
    Panel tall(test::noise(2, 9, 4));
    const auto tallSheared = tall.preview(41, {50, 1, 0, 0});
    ASSERT_TRUE(tallSheared);
    EXPECT_EQ(tallSheared->pixel(0, 8), gfx::clWhite);
    EXPECT_EQ(tallSheared->pixel(1, 8), tall.doc.image.pixel(0, 8));
}

// Ripple Random reseeds from the clock; a fixed clock makes it repeat.
TEST(QuickEffects, RandomRippleRepeatsUnderAFixedClock)
{
    Panel p;
    const auto first = p.preview(48, {10, 1, 0, 0});
    p.doc.random.seed(12345);
    EXPECT_EQ(*p.preview(48, {10, 1, 0, 0}), *first);
}

} // namespace
