#pragma once

// The metafile player, shared by the files that hold its parts: state and objects, figures and paths,
// text and block transfers.

#include "gfx/Canvas.h"
#include "io/DeviceContext.h"
#include "io/Metafile.h"

#include <span>
#include <variant>
#include <vector>

namespace daubix::io::detail {

// A region object: it takes a slot, and selecting it as a clip is not drawn.
struct RegionObject { };
using GdiObject = std::variant<std::monostate, PenObject, BrushObject, FontObject, RegionObject>;

// One figure of a path, in picture pixels.
struct PathFigure {
    std::vector<PointD> points;
    bool closed = false;
};

// Plays a checked metafile onto a canvas. Every record either takes effect or, when it makes no sense
// in the state it meets, is skipped.
class Player {
public:
    Player(const Metafile& m, gfx::Bitmap& target);
    void run();

private:
    using Values = std::span<const std::int32_t>;

    // State, objects, mapping and clipping (MetafileReplay.cpp).
    void setState(MetafileOp op, Values v);
    template <typename Change> void remap(Change change);
    void create(MetafileOp op, Values v);
    void select(std::int32_t index);
    void selectStock(std::uint32_t index);
    void save();
    void restore(std::int32_t n);
    void clip(MetafileOp op, Values v);
    void clipRects(Values v);

    // Figures and paths (MetafileDraw.cpp, MetafilePath.cpp).
    void draw(MetafileOp op, Values v);
    void figure(MetafileOp op, Values v);
    void path(MetafileOp op);
    bool addToPath(MetafileOp op, Values v);
    void pathFigure(std::vector<PointD> points, bool closed);

    // Text and block transfers (MetafileText.cpp, MetafileBlit.cpp).
    void text(Values v);
    void patBlt(Values v);
    void dibBlt(Values v);

    // Canvas state from the device context, just before a drawing record.
    void prepare();
    PointD toDevice(PointD logical) const { return m_transform.apply(logical); }
    // A device point clamped to +-2^24 and rounded, as the canvas takes it.
    static gfx::Point pixel(PointD device);
    gfx::Point pixelOf(double x, double y) const { return pixel(toDevice({x, y})); }
    std::vector<gfx::Point> pixels(Values xy) const;
    // A logical length along the x or y axis, in pixels, capped at twice the picture's diagonal.
    double lengthX(double logical) const;
    double lengthY(double logical) const;

    const Metafile& m_file;
    gfx::Canvas m_canvas;
    DcState m_dc;
    Affine m_transform;
    bool m_brushChanged = true;
    double m_maxLength;
    std::vector<std::pair<DcState, std::optional<gfx::ClipRegion>>> m_saved;
    std::vector<std::optional<GdiObject>> m_objects; // empty slots are free
    bool m_inPath = false;
    std::vector<PathFigure> m_path;
    std::size_t m_pathPoints = 0;
};

// The outline of a box figure (rectangle, round rectangle, ellipse, arc, chord, pie) in logical units,
// for paths and for transforms that turn or shear: arcs are followed in the arc direction.
std::vector<PointD> figureOutline(MetafileOp op, std::span<const std::int32_t> v, bool clockwise, double pixelsPerUnit);

} // namespace daubix::io::detail
