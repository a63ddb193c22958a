#pragma once

#include <cstdint>

namespace daubix::io {

// What a checked metafile record asks for, common to WMF and EMF. Each record's numbers lie in
// Metafile::values from MetafileRecord::first on, in the order given below. Coordinates are logical
// units; colours are 0x00BBGGRR; "text" is an index into Metafile::texts; "dib" is an offset and a size
// in Metafile::dibs. A slot of -1 means the lowest free slot of the object table (WMF); EMF names it.
enum class MetafileOp : std::uint8_t {
    SetBkColor, // color
    SetBkMode, // 1 transparent, 2 opaque
    SetMapMode, // 1..8
    SetRop2, // 1..16
    SetPolyFillMode, // 1 alternate, 2 winding
    SetTextColor, // color
    SetTextAlign, // the classic TA_ flags
    SetArcDirection, // 1 counter-clockwise, 2 clockwise
    SetWindowOrg, // x, y
    SetWindowExt, // x, y
    SetViewportOrg, // x, y
    SetViewportExt, // x, y
    OffsetWindowOrg, // dx, dy
    OffsetViewportOrg, // dx, dy
    ScaleWindowExt, // xNum, xDenom, yNum, yDenom
    ScaleViewportExt, // xNum, xDenom, yNum, yDenom
    SetWorldTransform, // six floats (bit patterns): m11, m12, m21, m22, dx, dy
    ModifyWorldTransform, // six floats, mode (1 identity, 2 left multiply, 3 right multiply, 4 set)
    SaveDc, // nothing
    RestoreDc, // n: negative counts back from the latest save, positive names a save
    CreatePen, // slot, style, width (0: one pixel), color
    CreateBrush, // slot, style, color, hatch
    CreatePatternBrush, // slot, dib offset, dib size
    CreateFont, // slot, height, width, escapement, weight, italic, underline, strike-out, text (face)
    CreateOther, // slot: a palette, region or bitmap that takes a slot but draws nothing
    SelectObject, // index (EMF stock objects with the top bit set)
    DeleteObject, // index
    IntersectClip, // left, top, right, bottom
    ExcludeClip, // left, top, right, bottom
    ResetClip, // nothing: the clip is lifted
    SelectClipRects, // mode (1 and, 2 or, 4 diff, 5 copy), n, then n boxes of four in device units
    MoveTo, // x, y
    LineTo, // x, y
    Polyline, // x, y pairs
    PolylineTo, // x, y pairs, from the current position
    Polygon, // x, y pairs
    PolyBezier, // x, y pairs: a start, then three per curve
    PolyBezierTo, // x, y pairs: three per curve, from the current position
    PolyPolygon, // n, n counts, then the x, y pairs
    PolyPolyline, // n, n counts, then the x, y pairs
    Rectangle, // left, top, right, bottom
    RoundRect, // left, top, right, bottom, corner width, corner height
    Ellipse, // left, top, right, bottom
    Arc, // left, top, right, bottom, x1, y1, x2, y2
    Chord, // as Arc
    Pie, // as Arc
    SetPixel, // x, y, color
    PatBlt, // x, y, width, height, rop
    DibBlt, // x, y, width, height, source x, y, width, height, rop, dib offset, dib size, source y counts up
    Text, // x, y, options, box left, top, right, bottom, text
    BeginPath,
    EndPath,
    CloseFigure,
    FillPath,
    StrokePath,
    StrokeAndFillPath,
    AbortPath,
};

struct MetafileRecord {
    MetafileOp op;
    std::uint32_t first = 0; // into Metafile::values
    std::uint32_t count = 0;
};

} // namespace daubix::io
