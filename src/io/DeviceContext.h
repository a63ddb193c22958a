#pragma once

#include "gfx/Color.h"
#include "io/Metafile.h"

#include <memory>
#include <optional>
#include <string>

namespace daubix::gfx {
class Bitmap;
}

namespace daubix::io::detail {

struct PointD {
    double x = 0;
    double y = 0;
};

// x' = x m11 + y m21 + dx, y' = x m12 + y m22 + dy, as the classic world transform writes it.
struct Affine {
    double m11 = 1, m12 = 0, m21 = 0, m22 = 1, dx = 0, dy = 0;

    PointD apply(PointD p) const { return {p.x * m11 + p.y * m21 + dx, p.x * m12 + p.y * m22 + dy}; }
    // This transform, then next.
    Affine then(const Affine& next) const;
    double determinant() const { return m11 * m22 - m12 * m21; }
    std::optional<Affine> inverted() const;
    bool axisAligned() const { return m12 == 0 && m21 == 0; }
    // Finite, not singular, and small enough that products with 32-bit coordinates stay finite.
    bool isSane() const;
};

// The objects records create and select. Widths and heights are logical units.
struct PenObject {
    int style = 0; // PS_SOLID .. PS_INSIDEFRAME
    int width = 0; // 0: one pixel whatever the mapping
    gfx::Color color = gfx::clBlack;
};
struct BrushObject {
    int style = 0; // BS_SOLID, BS_NULL, BS_HATCHED, or a pattern
    gfx::Color color = gfx::clWhite;
    int hatch = 0;
    std::shared_ptr<const gfx::Bitmap> pattern;
};
struct FontObject {
    int height = 0; // negative: the em; positive: the cell; 0: a default
    int escapement = 0; // tenths of a degree
    int weight = 400;
    bool italic = false;
    bool underline = false;
    bool strikeOut = false;
    std::string face;
};

// The state that SAVEDC keeps and RESTOREDC brings back (the clip lives in the canvas and is saved
// beside this).
struct DcState {
    PenObject pen;
    BrushObject brush;
    FontObject font;
    gfx::Color textColor = gfx::clBlack;
    gfx::Color bkColor = gfx::clWhite;
    int bkMode = 2; // opaque
    int rop2 = 13; // copy pen
    int fillMode = 1; // alternate
    int textAlign = 0;
    int arcDirection = 1; // counter-clockwise
    int mapMode = 1;
    PointD windowOrg, windowExt{1, 1}, viewportOrg, viewportExt{1, 1};
    Affine world;
    PointD position; // logical units

    explicit DcState(const MetafileStart& start);
    // World, then window to viewport by the map mode, then the device to the picture.
    Affine transform(const MetafileStart& start) const;
};

} // namespace daubix::io::detail
