#pragma once

#include "gfx/Bitmap.h"
#include "gfx/ClipRegion.h"
#include "gfx/Geometry.h"
#include "gfx/RasterOp.h"

#include <algorithm>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace daubix::gfx {

namespace detail {
// Pixels x0 .. x1-1 of row y.
struct Span {
    int y;
    int x0;
    int x1;
};
} // namespace detail

enum class PenStyle : std::uint8_t { Solid, Dash, Dot, DashDot, DashDotDot, Clear, InsideFrame };
enum class BrushStyle : std::uint8_t { Solid, Clear, Horizontal, Vertical, FDiagonal, BDiagonal, Cross, DiagCross };

// Which points a self-intersecting polygon fills: those an odd number of edges surround, or those the
// edges wind around at all.
enum class FillRule : std::uint8_t { Alternate, Winding };

// Where text cells, the gaps of dashed pens and the gaps of hatches take their colour from: a solid
// brush (the canvas's own habit; hatch gaps stay untouched), always the background colour, or nowhere.
enum class BackgroundMode : std::uint8_t { FromBrush, Opaque, Transparent };

enum class TextAlignH : std::uint8_t { Left, Center, Right };
enum class TextAlignV : std::uint8_t { Top, Baseline, Bottom };
// Which point of the text the reference point of textOut names. With updatePosition, text starts at the
// pen position instead, and the pen position moves along the baseline past what was written (left
// aligned), back before it (right aligned), or stays (centred).
struct TextAlign {
    TextAlignH horizontal = TextAlignH::Left;
    TextAlignV vertical = TextAlignV::Top;
    bool updatePosition = false;
};

struct Pen {
    Color color = clBlack;
    int width = 1;
    PenStyle style = PenStyle::Solid;
    PenMode mode = PenMode::Copy;
};

// The fill of figures and block transfers. A pattern bitmap, when set, wins over the style and is tiled
// from the bitmap's origin. Hatches are drawn in the brush colour over a transparent background.
class Brush {
public:
    Color color() const { return m_color; }
    // Assigning a colour to a clear brush makes it solid.
    void setColor(Color c);
    BrushStyle style() const { return m_style; }
    // Choosing a style drops the pattern, so that the chosen style shows.
    void setStyle(BrushStyle s);
    const std::optional<Bitmap>& pattern() const { return m_pattern; }
    void setPattern(std::optional<Bitmap> pattern);

    // The brush's colour at a pixel of the target, or nullopt where the brush leaves the pixel alone
    // (clear brush, hatch gaps).
    std::optional<Color> colorAt(int x, int y) const;

private:
    Color m_color = clWhite;
    BrushStyle m_style = BrushStyle::Solid;
    std::optional<Bitmap> m_pattern;
};

struct Font {
    std::string name = "Arial";
    int size = 24; // points, at 96 dots per inch
    bool bold = false;
    bool italic = false;
    bool underline = false;
    bool strikeOut = false;
    Color color = clBlack;
    int angle = 0; // tenths of a degree, counter-clockwise
    // When positive, the face is sized so that its cell (ascent plus descent) is this many pixels
    // tall, and size is ignored.
    int cellHeight = 0;
    // When positive and cellHeight is not, the face is sized to this many pixels per em, and size is ignored.
    int emHeight = 0;
};

// Draws on one bitmap with the classic interface's pixel rules. Every operation clips to the bitmap once;
// coordinates may lie anywhere in the int range.
class Canvas {
public:
    explicit Canvas(Bitmap& target)
        : m_target(&target)
    {
    }

    Bitmap& bitmap() { return *m_target; }
    const Bitmap& bitmap() const { return *m_target; }

    // Pens wider than this draw this wide: far wider than any image, and it keeps the cost of a
    // figure bounded whatever width a script sets.
    static constexpr int kMaxPenWidth = 1 << 14;

    Pen pen;
    Brush brush;
    Font font;
    Rop3 copyMode = kSrcCopy; // governs draw, stretchDraw and copyRect
    Point penPos;
    FillRule fillRule = FillRule::Alternate; // for polygon and polyPolygon
    BackgroundMode backgroundMode = BackgroundMode::FromBrush;
    Color backgroundColor = clWhite; // used when backgroundMode is Opaque
    TextAlign textAlign;

    // The clip region: when set, nothing outside it is drawn, by any operation. It starts unset.
    const std::optional<ClipRegion>& clip() const { return m_clip; }
    void setClip(std::optional<ClipRegion> region) { m_clip = std::move(region); }
    // Narrows the clip to the box (right and bottom exclusive), or takes the box out of it; an unset
    // clip counts as the whole plane.
    void intersectClip(const Rect& box);
    void excludeClip(const Rect& box);

    // Fills the box (normalised; right and bottom exclusive) with the brush. The pen mode does not apply.
    void fillRect(const Rect& box);

    Color pixel(int x, int y) const { return m_target->pixel(x, y); }
    // Writes one pixel directly (no pen mode); outside the bitmap or the clip nothing happens.
    void setPixel(int x, int y, Color c)
    {
        if (!m_clip || m_clip->contains(x, y))
            m_target->setPixel(x, y, c);
    }

    // Draws src with its top-left at (x, y): transparent bitmaps skip their transparent colour, others
    // go through the copy mode.
    void draw(int x, int y, const Bitmap& src);
    // Stretches src over the box: source pixels are picked, not blended; a box with right < left or
    // bottom < top mirrors.
    void stretchDraw(const Rect& box, const Bitmap& src);
    // Copies the source box of src into the destination box with the copy mode, stretching as needed.
    void copyRect(const Rect& dest, const Bitmap& src, const Rect& srcBox);
    // Copies like copyRect with a source copy, but pixels of src equal to color are replaced by the brush.
    void brushCopy(const Rect& dest, const Bitmap& src, const Rect& srcBox, Color color);

    // Lines and figures. Pixels that the pen or the brush writes go through the pen mode; no pixel is
    // written twice by one figure's outline or one figure's fill. Boxes are (left, top, right, bottom)
    // with right and bottom exclusive, normalised when given the wrong way round.
    void moveTo(int x, int y) { penPos = {x, y}; }
    // From the pen position to (x, y), which is not painted and becomes the pen position.
    void lineTo(int x, int y);
    void polyline(std::span<const Point> points);
    // Filled by the fill rule, then outlined and closed.
    void polygon(std::span<const Point> points);
    // Several polygons, counts[i] points each, taken in turn from points: filled together by the fill
    // rule (where they overlap, the rule decides), then each outlined and closed. Counts beyond the
    // points given are cut short.
    void polyPolygon(std::span<const Point> points, std::span<const int> counts);
    // Cubic curves: the first point, then three points per curve (two controls and an end).
    void polyBezier(std::span<const Point> points);
    void rectangle(int left, int top, int right, int bottom);
    void roundRect(int left, int top, int right, int bottom, int cornerWidth, int cornerHeight);
    void ellipse(int left, int top, int right, int bottom);
    // The part of the ellipse in the box from the ray through (x1, y1) counter-clockwise to the ray
    // through (x2, y2): the curve alone, closed by a chord, or closed through the centre.
    void arc(int left, int top, int right, int bottom, int x1, int y1, int x2, int y2);
    void chord(int left, int top, int right, int bottom, int x1, int y1, int x2, int y2);
    void pie(int left, int top, int right, int bottom, int x1, int y1, int x2, int y2);
    // A one-pixel frame in the brush, not the pen.
    void frameRect(const Rect& box);
    enum class FillStyle : std::uint8_t { Border, Surface };
    // Border: fills the 4-connected area around (x, y) up to pixels of the colour. Surface: fills the
    // 4-connected area of pixels of the colour. The brush is painted unchanged by the pen mode.
    void floodFill(int x, int y, Color color, FillStyle style);

    // Text with the canvas font, placed by textAlign with (x, y) as its reference point: by default the
    // top-left of its cell. The background (by backgroundMode) fills the cell first.
    void textOut(int x, int y, std::string_view text);
    int textWidth(std::string_view text) const;
    int textHeight(std::string_view text) const;

    // The block transfer under all of the above, with the classic interface's origin-and-extent form:
    // a negative extent covers x + w + 1 .. x and mirrors. src may be null for operations without a source.
    void stretchBlt(int x, int y, int w, int h, const Bitmap* src, int sx, int sy, int sw, int sh, Rop3 rop);

private:
    int penWidth() const { return std::min(pen.width, kMaxPenWidth); }
    enum class Figure : std::uint8_t { Arc, Chord, Pie };
    // What an outline covers: pixels in the pen colour, and the gaps of a dashed pen that an opaque
    // background fills.
    struct Outline {
        std::vector<detail::Span> ink;
        std::vector<detail::Span> gap;
    };
    Outline outlineOf(std::span<const Point> path, bool closed) const;
    // Paints the fill less the outline with the brush, then the outline, all through the pen mode.
    void paintFigure(std::vector<detail::Span> fill, const Outline& outline);
    // The box the pen's centre line follows: an inside-frame pen keeps the figure inside the box.
    Rect penBox(const Rect& box) const;
    void arcFigure(Figure figure, int left, int top, int right, int bottom, int x1, int y1, int x2, int y2);
    // Draws the outline path with the pen: one-pixel pens segment by segment, wider pens as one region.
    void strokePath(std::span<const Point> points, bool closed);
    // The background for dashed pens and opaque text: by default the brush colour when the brush is solid.
    std::optional<Color> background() const;
    // The colour of hatch gaps, only with an opaque background.
    std::optional<Color> hatchBackground() const;
    // Keeps only the parts of the spans inside the clip region, in their order.
    void applyClip(std::vector<detail::Span>& spans) const;
    const ClipRegion* clipPointer() const { return m_clip ? &*m_clip : nullptr; }

    Bitmap* m_target;
    int m_dashPhase = 0;
    std::optional<ClipRegion> m_clip;
};

} // namespace daubix::gfx
