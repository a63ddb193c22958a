#include "app/Arithmetic.h"
#include "effects/TketPaintFX.h"
#include "gfx/Canvas.h"
#include "support/TestImages.h"
#include "tools/Brushes.h"
#include "tools/ToolsFixture.h"

#include <cmath>
#include <string_view>
#include <vector>

using namespace daubix;
using gfx::Point;
using test::Tools;

namespace {

class Brushes : public Tools {
protected:
    void stroke(const char* mode, Point from, std::initializer_list<Point> moves, bool alt = false)
    {
        doc.toolMode = mode;
        press(from);
        Point last = from;
        for (const Point p : moves) {
            moveTo(p, false, false, alt);
            last = p;
        }
        release(last);
    }
};

const char* const kColourBrushes[]
    = {"bluebrush", "greenbrush", "redbrush", "notbluebrush", "notgreenbrush", "notredbrush", "halfbluebrush",
        "halfgreenbrush", "halfredbrush", "darkerbrush", "lighterbrush", "graybrush", "rollmixbrush", "smoothbrush"};

TEST_F(Brushes, ColourBrushesGiveTheBytesOfFilteringWholeCopies)
{
    // The straightforward way: copy the image, filter the spot in the copy, and take the copy back.
    for (const char* mode : kColourBrushes) {
        doc.image = test::noise(120, 90, 7);
        doc.canvas.pen.width = 12;
        gfx::Bitmap expected = doc.image;
        const Point path[] = {{20, 20}, {26, 22}, {60, 40}, {115, 85}, {2, 88}, {60, 44}};
        for (const Point p : path)
            tools::spotFilter(expected, p.x, p.y, mode, 12);
        stroke(mode, {0, 0}, {path[0], path[1], path[2], path[3], path[4], path[5]});
        EXPECT_TRUE(doc.image == expected) << mode;
        EXPECT_TRUE(doc.rangeBuffer == expected) << mode; // the buffer ends as the image, as the copies leave it
    }
}

// The spot filter on a copy padded so widely with white that its square never leaves it, cut back.
gfx::Bitmap filteredInWhite(const gfx::Bitmap& image, int x, int y, const char* mode, int r)
{
    const int pad = r + 2;
    gfx::Bitmap padded(image.width() + 2 * pad, image.height() + 2 * pad);
    gfx::Canvas(padded).draw(pad, pad, image);
    tools::spotFilter(padded, x + pad, y + pad, mode, r);
    gfx::Bitmap out(image.width(), image.height());
    gfx::Canvas(out).copyRect(
        {0, 0, out.width(), out.height()}, padded, {pad, pad, pad + image.width(), pad + image.height()});
    return out;
}

TEST_F(Brushes, SpotsAtTheEdgeAreCutWithoutChangingABit)
{
    const gfx::Bitmap image = test::noise(30, 20, 11);
    for (const char* mode : kColourBrushes)
        for (const Point p : {Point{0, 0}, Point{29, 19}, Point{-6, 10}, Point{15, 26}, Point{40, -30}})
            for (const int r : {3, 9, 40}) {
                gfx::Bitmap cut = image;
                tools::spotFilter(cut, p.x, p.y, mode, r);
                EXPECT_TRUE(cut == filteredInWhite(image, p.x, p.y, mode, r))
                    << mode << " at " << p.x << "," << p.y << " r " << r;
            }
}

TEST_F(Brushes, SpotFilterArithmetic)
{
    struct Case {
        const char* mode;
        gfx::Color before, after;
    };
    const Case cases[] = {
        {"bluebrush", gfx::rgb(10, 20, 30), gfx::rgb(0, 0, 30)},
        {"notgreenbrush", gfx::rgb(10, 20, 30), gfx::rgb(10, 0, 30)},
        {"halfredbrush", gfx::rgb(99, 20, 30), gfx::rgb(89, 20, 30)},
        {"darkerbrush", gfx::rgb(11, 22, 255), gfx::rgb(10, 20, 232)},
        {"lighterbrush", gfx::rgb(240, 5, 15), gfx::rgb(8, 6, 16)}, // 264 wraps to 8; 5.5 and 16.5 go to even
        {"graybrush", gfx::rgb(10, 20, 31), gfx::rgb(20, 20, 20)},
        {"rollmixbrush", gfx::rgb(10, 20, 30), gfx::rgb(30, 10, 20)}, // blue takes green, green red, red blue
    };
    for (const Case& c : cases) {
        gfx::Bitmap b(40, 40);
        b.fill(c.before);
        tools::spotFilter(b, 20, 20, c.mode, 10);
        EXPECT_EQ(b.pixel(20, 20), c.after) << c.mode;
        EXPECT_EQ(b.pixel(11, 11), c.before) << c.mode; // outside the disc
        EXPECT_EQ(b.pixel(9, 20), c.before) << c.mode; // outside the square
    }
    // A pixel filtered to exactly white is not written.
    gfx::Bitmap b(20, 20);
    b.fill(gfx::rgb(232, 232, 232)); // 11 * 232 / 10 = 255.2
    tools::spotFilter(b, 10, 10, "lighterbrush", 5);
    EXPECT_EQ(b.pixel(10, 10), gfx::rgb(232, 232, 232));
}

TEST_F(Brushes, SmoothingAveragesNeighboursInPlace)
{
    gfx::Bitmap b(40, 40);
    b.fill(gfx::clBlack);
    b.setPixel(20, 20, gfx::rgb(255, 255, 255));
    b.setPixel(21, 20, gfx::rgb(100, 100, 100));
    tools::spotFilter(b, 20, 20, "smoothbrush", 8);
    // Row by row, in place: (20, 19) and (19, 20) have taken 255 / 4 = 64 by the time (20, 20) is reached,
    // which becomes (64 + 100 + 64 + 0) / 4 = 57; (21, 19) became (64 + 100) / 4 = 41, so (21, 20) is
    // (57 + 0 + 41 + 0) / 4 = 24.5, rounded to the even 24.
    EXPECT_EQ(b.pixel(20, 19), gfx::rgb(64, 64, 64));
    EXPECT_EQ(b.pixel(20, 20), gfx::rgb(57, 57, 57));
    EXPECT_EQ(b.pixel(21, 20), gfx::rgb(24, 24, 24));
}

TEST_F(Brushes, AbsurdPensAndTinyImagesDoNoHarm)
{
    for (const char* mode : {"bluebrush", "smoothbrush", "fisheyebrush", "twistbrush", "mbHorBox", "clonenottarget",
             "cloneall", "zoombrush", "gradientbrush", "sym"}) {
        for (const int width : {2'000'000'000, 1}) {
            doc.image = gfx::Bitmap(6, 5);
            doc.canvas.pen.width = width;
            stroke(mode, {2, 2}, {{3, 3}, {-40, 90}, {5, 4}});
            EXPECT_EQ(doc.image.width(), 6) << mode;
        }
    }
}

TEST_F(Brushes, GradientLineStepsBeforeItRounds)
{
    gfx::Bitmap b(12, 3);
    b.fill(gfx::clBlack);
    tools::gradientLine(b, 1, 1, 9, gfx::rgb(0, 0, 0), gfx::rgb(80, 0, 0), true);
    // n = 8, step 10: the first pixel already carries one step.
    EXPECT_EQ(b.pixel(1, 1), gfx::rgb(10, 0, 0));
    EXPECT_EQ(b.pixel(8, 1), gfx::rgb(80, 0, 0));
    EXPECT_EQ(b.pixel(9, 1), gfx::rgb(90, 0, 0));
    // The pixel beyond the end is the average of its four neighbours (90 + 0 + 0 + 0) >> 2.
    EXPECT_EQ(b.pixel(10, 1), gfx::rgb(22, 0, 0));
    EXPECT_EQ(b.pixel(0, 1), gfx::clBlack); // on the border: left alone
}

TEST_F(Brushes, AnEffectCircleShowsOnlyTheLastMove)
{
    // Effects never accumulate: a stroke looks like a single move to its last point.
    for (const char* mode : {"brightnessbrush", "twistbrush", "fisheyefixbrush", "mbRound", "mbSplitWaste",
             "rotatebrush", "rimplebrush", "mbHorOval", "fisheyebrush"}) {
        const gfx::Bitmap start = test::noise(160, 120, 3);
        doc.image = start;
        stroke(mode, {80, 60}, {{90, 40}, {50, 90}, {100, 75}});
        const gfx::Bitmap many = doc.image;
        doc.image = start;
        stroke(mode, {80, 60}, {{100, 75}});
        EXPECT_TRUE(doc.image == many) << mode;
        EXPECT_FALSE(doc.image == start) << mode;
    }
}

const char* const kEffectBrushes[] = {"brightnessbrush", "contrastbrush", "saturationbrush", "fisheyebrush",
    "fisheyefixbrush", "twistbrush", "rotatebrush", "rimplebrush", "mbHorOval", "mbVerOval", "mbHorBox", "mbVerBox",
    "mbHor", "mbTop", "mbBottom", "mbDiamond", "mbWaste", "mbRound", "mbRound2", "mbSplitRound", "mbSplitWaste"};

bool isBoxMode(std::string_view mode)
{
    return mode == "mbHorBox" || mode == "mbVerBox";
}

// The effect circle done plainly: the whole square copied from the stroke-start image into a white
// bitmap, the effect run on all of it, the whole mask drawn over it, and the square drawn onto the
// stroke-start image (or, for the two Box modes, onto the image as it is, without a mask).
class PlainCircles {
public:
    PlainCircles(const gfx::Bitmap& start, std::string_view mode, int penWidth)
        : m_start(start)
        , m_image(start)
        , m_mode(mode)
        , m_pen(penWidth)
    {
    }

    const gfx::Bitmap& image() const { return m_image; }

    void move(Point centre, Point pointer)
    {
        double dx = pointer.x - centre.x;
        if (dx == 0)
            dx = 0.01;
        const double dy = pointer.y - centre.y, theta = std::atan2(dy, dx);
        int r = std::max(10, app::roundHalfEven(std::sqrt(dx * dx + dy * dy)));
        if (m_mode == "fisheyebrush") {
            centre = pointer;
            r = m_pen < 5 ? 50 : m_pen;
        }
        const int w = m_start.width(), h = m_start.height();
        int cx = std::max(centre.x, r), cy = std::max(centre.y, r);
        if (cx + r > w - 1)
            cx = w - r - 1;
        if (cy + r > h - 1)
            cy = h - r - 1;
        const int side = 2 * r;
        gfx::Bitmap src(side, side), dst(side, side);
        gfx::Canvas(src).copyRect({0, 0, side, side}, m_start, {cx - r, cy - r, cx + r, cy + r});
        const double p = tools::effectParameter(m_mode, theta);
        const int amount = static_cast<int>(p);
        app::Random random(1);
        effects::TketPaintFX fx(random);
        using effects::SqueezeShape;
        if (m_mode == "brightnessbrush" || m_mode == "contrastbrush" || m_mode == "saturationbrush") {
            m_mode == "brightnessbrush"     ? fx.Brightness(src, amount)
                : m_mode == "contrastbrush" ? fx.Contrast(src, amount)
                                            : fx.Saturation(src, amount);
            dst = src;
        } else if (m_mode == "fisheyebrush" || m_mode == "fisheyefixbrush") {
            fx.Fisheye(src, dst, p);
        } else if (m_mode == "twistbrush") {
            fx.Twist(src, dst, amount);
        } else if (m_mode == "rotatebrush") {
            fx.RotateSmooth(src, dst, r, r, p);
        } else if (m_mode == "rimplebrush") {
            tools::rippleCircle(src, dst, p);
        } else if (m_mode.ends_with("Oval") || m_mode.ends_with("Box")) {
            const int s = std::clamp(app::roundHalfEven(std::max(std::abs(p), 1.0) * r / 180), 5, std::max(r, 5));
            const gfx::Rect from = m_mode.starts_with("mbHor") ? gfx::Rect{cx - s, cy - r, cx + s, cy + r}
                                                               : gfx::Rect{cx - r, cy - s, cx + r, cy + s};
            gfx::Bitmap strip(static_cast<int>(from.width()), static_cast<int>(from.height()));
            gfx::Canvas(strip).copyRect({0, 0, strip.width(), strip.height()}, m_start, from);
            const effects::ResampleFilter* mitchell = effects::findResampleFilter("Mitchell");
            ASSERT_TRUE(fx.Resample(strip, dst, *mitchell, mitchell->support).ok());
        } else {
            const std::pair<std::string_view, SqueezeShape> shapes[] = {{"mbHor", SqueezeShape::Horizontal},
                {"mbTop", SqueezeShape::Top}, {"mbBottom", SqueezeShape::Bottom}, {"mbDiamond", SqueezeShape::Diamond},
                {"mbWaste", SqueezeShape::Waste}, {"mbRound", SqueezeShape::Round},
                {"mbRound2", SqueezeShape::DoubleRound}, {"mbSplitRound", SqueezeShape::Round},
                {"mbSplitWaste", SqueezeShape::Waste}};
            for (const auto& [name, shape] : shapes)
                if (name == m_mode)
                    m_mode.starts_with("mbSplit") ? fx.SplitSqueeze(src, dst, shape, amount)
                                                  : fx.Squeeze(src, dst, shape, amount);
        }
        if (!isBoxMode(m_mode)) {
            gfx::Bitmap mask(side, side);
            gfx::Canvas c(mask);
            c.brush.setColor(gfx::clBlack);
            c.ellipse(0, 0, side - 1, side - 1);
            for (int y = 0; y < side; ++y)
                for (int x = 0; x < side; ++x)
                    if (mask.pixel(x, y) != gfx::clBlack)
                        dst.setPixel(x, y, gfx::clWhite);
            dst.transparent = true;
            m_image = m_start;
        }
        gfx::Canvas(m_image).draw(cx - r, cy - r, dst);
    }

private:
    gfx::Bitmap m_start;
    gfx::Bitmap m_image;
    std::string_view m_mode;
    int m_pen;
};

TEST_F(Brushes, EffectCirclesReachingOffTheImageGiveTheBytesOfTheWholeSquare)
{
    struct Stroke {
        Point start;
        std::vector<Point> moves;
        bool alt; // the second move drags the circle
        int pen;
    };
    // On a 45 x 37 image: squares wider and taller than the image, pointers above (negative squeezes)
    // and to the left, a dragged circle, the pointer on the start point, a fisheye wider than the image.
    const Stroke strokes[] = {
        {{3, 4}, {{30, 25}, {50, 40}, {-10, 20}}, false, 1},
        {{22, 18}, {{25, -5}, {-20, 17}, {22, 70}}, false, 1},
        {{40, 33}, {{10, 36}, {42, 2}, {80, 80}}, true, 3},
        {{22, 18}, {{22, 18}, {23, 18}, {22, 30}}, false, 30},
        {{5, 30}, {{60, 30}, {5, -12}}, false, 60},
    };
    const gfx::Bitmap start = test::noise(45, 37, 17);
    for (const char* mode : kEffectBrushes)
        for (std::size_t k = 0; k < std::size(strokes); ++k) {
            const Stroke& st = strokes[k];
            doc.image = start;
            doc.canvas.pen.width = st.pen;
            doc.toolMode = mode;
            PlainCircles plain(start, mode, st.pen);
            press(st.start);
            Point centre = st.start, last = st.start;
            for (std::size_t i = 0; i < st.moves.size(); ++i) {
                const Point q = st.moves[i];
                const bool alt = st.alt && i == 1;
                if (alt)
                    centre = {centre.x + q.x - last.x, centre.y + q.y - last.y};
                moveTo(q, false, false, alt);
                plain.move(centre, q);
                last = q;
                ASSERT_EQ(test::differingPixels(doc.image, plain.image(), 0, 0, 45, 37), 0)
                    << mode << ", stroke " << k << ", move " << i;
            }
            release(last);
        }
}

TEST_F(Brushes, RoundSqueezesShowWithThePointerAboveTheCentre)
{
    // Straight above: amount -90, so every row's span runs right to left and is drawn mirrored.
    const gfx::Bitmap start = test::noise(100, 100, 23);
    for (const char* mode : {"mbRound", "mbRound2", "mbSplitRound"}) {
        doc.image = start;
        stroke(mode, {50, 50}, {{50, 20}});
        EXPECT_GT(test::differingPixels(doc.image, start, 20, 20, 80, 80), 0) << mode;
    }
}

TEST(RippleCircle, AWindowHoldsTheBytesOfTheWholeRipple)
{
    // Every single pixel as a window of its own, where the bounds on the source are tightest, and larger
    // windows with and without the centre: each skips the source pixels that cannot land in it, and
    // none that can.
    for (const auto& [w, h] : {std::pair{41, 41}, std::pair{60, 60}, std::pair{50, 34}})
        for (const double a : {1.0, 1.3, 2.5, 6.0, 11.0, -3.0}) {
            const gfx::Bitmap src = test::noise(w, h, 37);
            gfx::Bitmap whole(w, h);
            tools::rippleCircle(src, whole, a);
            for (int top = -3; top < h; top += 1)
                for (int left = -3; left < w; left += 1)
                    for (const int size : {1, 5, 13, 30}) {
                        if (size > 1 && (top % 7 != 0 || left % 7 != 0))
                            continue;
                        const gfx::Rect r = gfx::Rect{left, top, left + size, top + size}.intersected({0, 0, w, h});
                        if (r.isEmpty())
                            continue;
                        gfx::Bitmap part(static_cast<int>(r.width()), static_cast<int>(r.height()));
                        tools::rippleCircle(effects::SourceView::of(src), part, {w, h, r.left, r.top, {}}, a);
                        gfx::Bitmap expected(part.width(), part.height());
                        gfx::Canvas(expected).copyRect({0, 0, part.width(), part.height()}, whole, r);
                        ASSERT_TRUE(part == expected)
                            << w << "x" << h << " a " << a << " window " << r.left << "," << r.top << " size " << size;
                    }
        }
}

TEST(RippleCircle, ReadsWhiteWhereTheViewLeavesItsBitmap)
{
    const gfx::Bitmap world = test::noise(30, 25, 43);
    gfx::Bitmap padded(40, 40), whole(40, 40), part(40, 40);
    gfx::Canvas(padded).copyRect({0, 0, 40, 40}, world, {-6, 4, 34, 44});
    tools::rippleCircle(padded, whole, 2.5);
    tools::rippleCircle({&world, -6, 4, 40, 40}, part, effects::ResultWindow::of(part), 2.5);
    EXPECT_TRUE(part == whole);
}

TEST(DiscSpans, AWindowCutsTheMaskOfTheWholeBox)
{
    // The plain mask: the filled ellipse inscribed in the whole box, drawn by the canvas.
    for (const auto& [w, h] :
        {std::pair{1, 1}, std::pair{2, 2}, std::pair{3, 5}, std::pair{20, 20}, std::pair{21, 13}, std::pair{101, 99}}) {
        gfx::Bitmap mask(w, h);
        gfx::Canvas c(mask);
        c.brush.setColor(gfx::clBlack);
        c.ellipse(0, 0, w - 1, h - 1);
        const gfx::Bitmap picture = test::noise(w, h, 47);
        gfx::Bitmap plain = picture;
        for (int y = 0; y < h; ++y)
            for (int x = 0; x < w; ++x)
                if (mask.pixel(x, y) != gfx::clBlack)
                    plain.setPixel(x, y, gfx::clWhite);
        gfx::Bitmap whole = picture;
        tools::whiteOutsideDisc(whole);
        EXPECT_TRUE(whole == plain) << w << "x" << h;
        for (const gfx::Rect& r : {gfx::Rect{0, 0, w, h}, gfx::Rect{w / 3, h / 4, w - w / 5, h - 1},
                 gfx::Rect{0, h / 2, w, h / 2 + 1}, gfx::Rect{w - 1, 0, w, h}, gfx::Rect{w / 2, h / 2, w, h}}) {
            if (r.isEmpty())
                continue;
            const int rw = static_cast<int>(r.width()), rh = static_cast<int>(r.height());
            gfx::Bitmap part(rw, rh);
            gfx::Canvas(part).copyRect({0, 0, rw, rh}, picture, r);
            tools::whiteOutside(part, tools::discSpans(w, h, r));
            gfx::Bitmap expected(rw, rh);
            gfx::Canvas(expected).copyRect({0, 0, rw, rh}, plain, r);
            EXPECT_TRUE(part == expected) << w << "x" << h << " window " << r.left << "," << r.top;
        }
    }
}

TEST(EffectSquare, TheCentreMovesInsideAsFarAsTheImageAllows)
{
    EXPECT_EQ(tools::effectSquare({50, 50}, 20, 200, 100), (gfx::Rect{30, 30, 70, 70}));
    EXPECT_EQ(tools::effectSquare({5, 95}, 20, 200, 100), (gfx::Rect{0, 59, 40, 99}));
    // Wider than the image: it reaches out to the left and stops one column short of the right edge.
    EXPECT_EQ(tools::effectSquare({5, 5}, 70, 100, 200), (gfx::Rect{-41, 0, 99, 140}));
}

TEST(EffectSquare, AFarPointerLeavesOnlyTheImagesPartToCompute)
{
    // From (5, 5) to (20000, 20000) on a 4000 x 4000 image: radius 28277, a square of 3.2 billion pixels
    // with the image in its bottom-right corner, where the disc does not reach.
    const int radius = app::roundHalfEven(std::hypot(19995.0, 19995.0));
    ASSERT_EQ(radius, 28277);
    const gfx::Rect square = tools::effectSquare({5, 5}, radius, 4000, 4000);
    EXPECT_EQ(square, (gfx::Rect{4000 - 2 * radius - 1, 4000 - 2 * radius - 1, 3999, 3999}));
    const gfx::Rect on = square.intersected({0, 0, 4000, 4000});
    EXPECT_EQ(on, (gfx::Rect{0, 0, 3999, 3999}));
    const auto spans = tools::discSpans(2 * radius, 2 * radius,
        {on.left - square.left, on.top - square.top, on.right - square.left, on.bottom - square.top});
    ASSERT_EQ(spans.size(), 3999u);
    for (const effects::ColumnSpan& s : spans)
        ASSERT_GE(s.x0, s.x1);
}

TEST_F(Brushes, AFarDragComputesOnlyWhatLandsOnTheImage)
{
    // The full square would hold three billion pixels; a move must cost what lies on the image.
    const gfx::Bitmap start = test::noise(1500, 1000, 29);
    for (const char* mode : kEffectBrushes) {
        if (std::string_view(mode) == "fisheyebrush")
            continue; // its circle follows the pointer at the pen's radius
        doc.image = start;
        stroke(mode, {3, 2}, {{20000, 20000}});
        if (!isBoxMode(mode)) {
            EXPECT_EQ(test::differingPixels(doc.image, start, 0, 0, 1500, 1000), 0) << mode; // the disc misses
            continue;
        }
        // The strip lies far off the image, so it is white and so is its enlargement, drawn over the whole
        // image but for the last column and row, which the square stops short of.
        gfx::Bitmap expected = start;
        gfx::Canvas c(expected);
        c.brush.setColor(gfx::clWhite);
        c.fillRect({0, 0, 1499, 999});
        EXPECT_EQ(test::differingPixels(doc.image, expected, 0, 0, 1500, 1000), 0) << mode;
    }
}

TEST_F(Brushes, TheStrengthFollowsTheDirection)
{
    const auto brightnessAt = [&](Point pointer) {
        doc.image = gfx::Bitmap(100, 100);
        doc.image.fill(gfx::rgb(100, 100, 100));
        stroke("brightnessbrush", {50, 50}, {pointer});
        return gfx::red(doc.image.pixel(50, 50));
    };
    EXPECT_EQ(brightnessAt({50, 50}), 100); // still at the centre: amount 0
    EXPECT_EQ(brightnessAt({70, 50}), 100); // straight right: theta 0
    EXPECT_GT(brightnessAt({65, 65}), 100); // below right: positive
    EXPECT_LT(brightnessAt({65, 35}), 100); // above right: negative
}

TEST(BrushParameters, StrengthLimits)
{
    constexpr double pi = 3.141592653589793;
    struct Case {
        const char* mode;
        double theta;
        double parameter;
    };
    const Case cases[] = {
        {"brightnessbrush", std::atan2(0.0, 0.01), 0}, // pointer on the centre
        {"contrastbrush", pi / 2, 50},
        {"saturationbrush", -pi, -100},
        {"twistbrush", 0, 1}, // never below 1
        {"twistbrush", -pi, 26},
        {"fisheyefixbrush", pi, 0.99}, // pointer left of the centre
        {"fisheyefixbrush", 0, 0.55},
        {"fisheyefixbrush", -pi, 0.55},
        {"fisheyebrush", 1, 0.9},
        {"rimplebrush", -pi / 2, 1}, // raised to 1
        {"rimplebrush", pi / 2, 6},
        {"mbTop", std::atan2(-30.0, 0.01), -90}, // pointer above: a negative squeeze
        {"mbSplitRound", pi / 4, 45},
        {"rotatebrush", pi / 3, 60},
    };
    for (const Case& c : cases)
        EXPECT_NEAR(tools::effectParameter(c.mode, c.theta), c.parameter, 1e-9) << c.mode << " " << c.theta;
}

TEST_F(Brushes, ZoomBrushIsOnlyAView)
{
    const gfx::Bitmap start = test::noise(100, 80, 5);
    doc.image = start;
    doc.canvas.pen.width = 10;
    stroke("zoombrush", {30, 30}, {{35, 30}, {40, 40}});
    EXPECT_TRUE(doc.image == start);

    doc.canvas.pen.width = 60;
    stroke("zoomkeepbrush", {30, 30}, {{40, 40}});
    EXPECT_FALSE(doc.image == start);
    EXPECT_EQ(doc.toolMode, "freehand");
    EXPECT_EQ(doc.canvas.pen.width, 2);
    tools::zoomOut(doc);
    // Back but for the rounding of the double stretch (99 x 79 to 100 x 80 and back): a column and a row.
    EXPECT_LE(test::differingPixels(doc.image, start, 0, 0, 100, 80), 100 + 80);
}

TEST_F(Brushes, MirrorsAndSymmetry)
{
    doc.image = gfx::Bitmap(100, 60);
    stroke("vmirror", {10, 10}, {{10, 30}});
    EXPECT_EQ(doc.image.pixel(10, 20), gfx::clBlack);
    EXPECT_EQ(doc.image.pixel(90, 20), gfx::clBlack); // W - x, not W - 1 - x
    EXPECT_EQ(doc.image.pixel(89, 20), gfx::clWhite);

    doc.image = gfx::Bitmap(100, 100);
    doc.shapes.starPoints = 4;
    stroke("sym", {70, 50}, {{80, 50}});
    // Four arms a quarter turn apart about (50, 50).
    for (const Point p : {Point{75, 50}, Point{50, 75}, Point{25, 50}, Point{50, 25}})
        EXPECT_EQ(doc.image.pixel(p.x, p.y), gfx::clBlack) << p.x << "," << p.y;
    EXPECT_EQ(blackPixels(), 40);
}

TEST_F(Brushes, CloneCopiesFromTheAnchorAndMixAverages)
{
    doc.image = gfx::Bitmap(100, 100);
    for (int y = 0; y < 5; ++y)
        for (int x = 0; x < 5; ++x)
            doc.image.setPixel(10 + x, 10 + y, gfx::clRed);
    press({10, 10}, tools::Button::Right); // the anchor
    doc.canvas.pen.width = 5;
    stroke("cloneall", {50, 50}, {{50, 50}});
    EXPECT_EQ(doc.image.pixel(50, 50), gfx::clRed);
    EXPECT_EQ(doc.image.pixel(54, 54), gfx::clRed);
    EXPECT_EQ(doc.image.pixel(55, 55), gfx::clWhite);

    doc.image.setPixel(40, 70, gfx::rgb(200, 0, 0));
    doc.image.setPixel(60, 70, gfx::rgb(0, 0, 101));
    doc.canvas.pen.width = 10;
    doc.toolMode = "mixbrush";
    press({50, 70});
    EXPECT_EQ(doc.canvas.pen.color, gfx::rgb(100, 0, 50));
}

} // namespace
