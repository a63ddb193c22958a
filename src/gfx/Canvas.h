#pragma once

#include "gfx/Bitmap.h"
#include "gfx/Geometry.h"
#include "gfx/RasterOp.h"

#include <optional>
#include <string>

namespace daubix::gfx {

enum class PenStyle : std::uint8_t { Solid, Dash, Dot, DashDot, DashDotDot, Clear, InsideFrame };
enum class BrushStyle : std::uint8_t { Solid, Clear, Horizontal, Vertical, FDiagonal, BDiagonal, Cross, DiagCross };

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

    Pen pen;
    Brush brush;
    Font font;
    Rop3 copyMode = kSrcCopy; // governs draw, stretchDraw and copyRect
    Point penPos;

    // Fills the box (normalised; right and bottom exclusive) with the brush. The pen mode does not apply.
    void fillRect(const Rect& box);

    Color pixel(int x, int y) const { return m_target->pixel(x, y); }
    // Writes one pixel directly (no pen mode); outside the bitmap nothing happens.
    void setPixel(int x, int y, Color c) { m_target->setPixel(x, y, c); }

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

    // The block transfer under all of the above, with the classic interface's origin-and-extent form:
    // a negative extent covers x + w + 1 .. x and mirrors. src may be null for operations without a source.
    void stretchBlt(int x, int y, int w, int h, const Bitmap* src, int sx, int sy, int sw, int sh, Rop3 rop);

private:
    Bitmap* m_target;
};

} // namespace daubix::gfx
