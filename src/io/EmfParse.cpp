#include "io/MetafileParse_p.h"

#include <cmath>

namespace daubix::io::detail {

namespace {

constexpr std::uint32_t kSignature = 0x464D4520; // " EMF"
constexpr std::uint32_t kDibPalColors = 1;
constexpr std::uint32_t kHeaderSize = 88;

using Op = MetafileOp;

// Reads one record (its type and size included; offsets inside count from its start) into the writer.
class EmfRecordReader {
public:
    EmfRecordReader(RecordWriter& out, Bytes record, std::uint32_t type)
        : m_out(out)
        , m_r(record)
        , m_type(type)
    {
    }

    std::optional<gfx::Error> read();

    std::int64_t highestSlot = -1; // of the objects this record creates

private:
    std::optional<gfx::Error> need(std::uint64_t bytes, const char* name) const
    {
        if (!m_r.has(0, bytes))
            return tooShort(name);
        return std::nullopt;
    }
    std::int32_t color(std::size_t at) const { return static_cast<std::int32_t>(m_r.u32(at) & 0xFFFFFF); }
    std::int32_t slot(std::size_t at)
    {
        highestSlot = std::max<std::int64_t>(highestSlot, m_r.u32(at));
        return static_cast<std::int32_t>(m_r.u32(at));
    }
    std::optional<gfx::Error> values(Op op, std::size_t count, const char* name);
    std::optional<gfx::Error> points(Op op, bool small, const char* name);
    std::optional<gfx::Error> polyPoly(Op op, bool small, const char* name);
    std::optional<gfx::Error> bitmap(std::size_t offBmi, const char* name, std::pair<std::int32_t, std::int32_t>& dib);
    std::optional<gfx::Error> blit();
    std::optional<gfx::Error> text(bool wide);
    std::optional<gfx::Error> clipRegion();
    std::optional<gfx::Error> create();

    RecordWriter& m_out;
    Bytes m_r;
    std::uint32_t m_type;
};

// A record of count 32-bit numbers from offset 8 on, taken as they stand.
std::optional<gfx::Error> EmfRecordReader::values(Op op, std::size_t count, const char* name)
{
    if (auto e = need(8 + count * 4, name))
        return e;
    m_out.begin(op);
    for (std::size_t i = 0; i < count; ++i)
        m_out.push(m_r.i32(8 + i * 4));
    return std::nullopt;
}

std::optional<gfx::Error> EmfRecordReader::points(Op op, bool small, const char* name)
{
    if (auto e = need(28, name))
        return e;
    const std::uint64_t n = m_r.u32(24), size = small ? 4 : 8;
    if (!m_r.has(28, n * size))
        return damaged(std::string("the points of a ") + name + " record run past its end");
    m_out.begin(op);
    for (std::uint64_t i = 0; i < n; ++i) {
        const std::size_t at = 28 + i * size;
        m_out.push(small ? m_r.i16(at) : m_r.i32(at));
        m_out.push(small ? m_r.i16(at + 2) : m_r.i32(at + 4));
    }
    return std::nullopt;
}

std::optional<gfx::Error> EmfRecordReader::polyPoly(Op op, bool small, const char* name)
{
    if (auto e = need(32, name))
        return e;
    const std::uint64_t polys = m_r.u32(24), total = m_r.u32(28), size = small ? 4 : 8;
    if (!m_r.has(32, polys * 4))
        return damaged(std::string("the counts of a ") + name + " record run past its end");
    std::uint64_t sum = 0;
    for (std::uint64_t i = 0; i < polys; ++i)
        sum += m_r.u32(32 + i * 4);
    const std::uint64_t first = 32 + polys * 4;
    if (sum > total || !m_r.has(first, total * size))
        return damaged(std::string("the points of a ") + name + " record run past its end");
    m_out.begin(op);
    m_out.push(static_cast<std::int32_t>(polys));
    for (std::uint64_t i = 0; i < polys; ++i)
        m_out.push(static_cast<std::int32_t>(m_r.u32(32 + i * 4)));
    for (std::uint64_t i = 0; i < sum; ++i) {
        const std::size_t at = first + i * size;
        m_out.push(small ? m_r.i16(at) : m_r.i32(at));
        m_out.push(small ? m_r.i16(at + 2) : m_r.i32(at + 4));
    }
    return std::nullopt;
}

// The info header and bits named by the four numbers at offBmi (offset and size of each), copied side by
// side; a record without an info header gives a size of 0.
std::optional<gfx::Error> EmfRecordReader::bitmap(
    std::size_t offBmi, const char* name, std::pair<std::int32_t, std::int32_t>& dib)
{
    const std::uint64_t infoAt = m_r.u32(offBmi), infoSize = m_r.u32(offBmi + 4);
    const std::uint64_t bitsAt = m_r.u32(offBmi + 8), bitsSize = m_r.u32(offBmi + 12);
    dib = {0, 0};
    if (infoSize == 0)
        return std::nullopt;
    if (!m_r.has(infoAt, infoSize) || !m_r.has(bitsAt, bitsSize))
        return damaged(std::string("the bitmap of a ") + name + " record lies past its end");
    dib = m_out.dib(m_r.sub(infoAt, infoSize), m_r.sub(bitsAt, bitsSize));
    return std::nullopt;
}

std::optional<gfx::Error> EmfRecordReader::blit()
{
    const bool stretch = m_type == 77, dibits = m_type == 81;
    const char* name = dibits ? "STRETCHDIBITS" : stretch ? "STRETCHBLT" : "BITBLT";
    if (auto e = need(dibits ? 80 : stretch ? 108 : 100, name))
        return e;
    std::pair<std::int32_t, std::int32_t> dib;
    if (auto e = bitmap(dibits ? 48 : 84, name, dib))
        return e;
    if (dibits) {
        if (m_r.u32(64) == kDibPalColors || dib.second == 0)
            return std::nullopt; // palette indices we cannot resolve, or nothing to draw
        m_out.add(Op::DibBlt,
            {m_r.i32(24), m_r.i32(28), m_r.i32(72), m_r.i32(76), m_r.i32(32), m_r.i32(36), m_r.i32(40), m_r.i32(44),
                m_r.i32(68), dib.first, dib.second, 1});
        return std::nullopt;
    }
    const std::int32_t x = m_r.i32(24), y = m_r.i32(28), w = m_r.i32(32), h = m_r.i32(36), rop = m_r.i32(40);
    if (dib.second == 0) {
        m_out.add(Op::PatBlt, {x, y, w, h, rop});
        return std::nullopt;
    }
    if (m_r.u32(80) == kDibPalColors)
        return std::nullopt;
    m_out.add(Op::DibBlt,
        {x, y, w, h, m_r.i32(44), m_r.i32(48), stretch ? m_r.i32(100) : w, stretch ? m_r.i32(104) : h, rop, dib.first,
            dib.second, 0});
    return std::nullopt;
}

std::optional<gfx::Error> EmfRecordReader::text(bool wide)
{
    const char* name = wide ? "EXTTEXTOUTW" : "EXTTEXTOUTA";
    if (auto e = need(76, name))
        return e;
    const std::uint64_t chars = m_r.u32(44), at = m_r.u32(48), bytes = chars * (wide ? 2 : 1);
    if (!m_r.has(at, bytes))
        return damaged(std::string("the text of an ") + name + " record runs past its end");
    const std::span<const std::uint8_t> raw = m_r.sub(at, bytes);
    const std::int32_t index = m_out.text(wide ? utf16ToUtf8(raw) : latin1ToUtf8(raw));
    m_out.add(
        Op::Text, {m_r.i32(36), m_r.i32(40), m_r.i32(52), m_r.i32(56), m_r.i32(60), m_r.i32(64), m_r.i32(68), index});
    return std::nullopt;
}

// EXTSELECTCLIPRGN: a mode and region data, whose rectangles are in device units. No data with the copy
// mode lifts the clip.
std::optional<gfx::Error> EmfRecordReader::clipRegion()
{
    if (auto e = need(16, "EXTSELECTCLIPRGN"))
        return e;
    const std::uint64_t dataSize = m_r.u32(8);
    const std::int32_t mode = m_r.i32(12);
    if (dataSize == 0) {
        if (mode == 5)
            m_out.add(Op::ResetClip, {-1});
        return std::nullopt;
    }
    if (!m_r.has(16, dataSize) || dataSize < 32)
        return damaged("the region of an EXTSELECTCLIPRGN record lies past its end");
    const std::uint64_t headerSize = m_r.u32(16), n = m_r.u32(24);
    if (headerSize < 32 || headerSize > dataSize || n * 16 > dataSize - headerSize)
        return damaged("the rectangles of an EXTSELECTCLIPRGN record run past its end");
    m_out.begin(Op::SelectClipRects);
    m_out.push(mode);
    m_out.push(static_cast<std::int32_t>(n));
    for (std::uint64_t i = 0; i < n * 4; ++i)
        m_out.push(m_r.i32(16 + headerSize + i * 4));
    return std::nullopt;
}

std::optional<gfx::Error> EmfRecordReader::create()
{
    switch (m_type) {
    case 38: // CREATEPEN: slot, style, width as a point, colour
        if (auto e = need(28, "CREATEPEN"))
            return e;
        m_out.add(Op::CreatePen, {slot(8), m_r.i32(12), m_r.i32(16), color(24)});
        return std::nullopt;
    case 39: // CREATEBRUSHINDIRECT: slot, style, colour, hatch
        if (auto e = need(24, "CREATEBRUSHINDIRECT"))
            return e;
        m_out.add(Op::CreateBrush, {slot(8), m_r.i32(12), color(16), m_r.i32(20)});
        return std::nullopt;
    case 95: { // EXTCREATEPEN: slot, a pattern bitmap we do not use, style, width, brush style, colour
        if (auto e = need(52, "EXTCREATEPEN"))
            return e;
        const std::uint32_t style = m_r.u32(28);
        const bool geometric = (style & 0xF0000) == 0x10000;
        const std::uint32_t brushStyle = m_r.u32(36);
        const std::int32_t penStyle = brushStyle == 1 ? 5 : static_cast<std::int32_t>(style & 0xF);
        m_out.add(Op::CreatePen, {slot(8), penStyle, geometric ? m_r.i32(32) : 0, color(40)});
        return std::nullopt;
    }
    case 82: { // EXTCREATEFONTINDIRECTW: slot, the logical font with 32-bit numbers, a face of 32 UTF-16 units
        if (auto e = need(104, "EXTCREATEFONTINDIRECTW"))
            return e;
        std::size_t length = 0;
        while (length < 32 && m_r.u16(40 + length * 2) != 0)
            ++length;
        const std::int32_t face = m_out.text(utf16ToUtf8(m_r.sub(40, length * 2)));
        m_out.add(Op::CreateFont,
            {slot(8), m_r.i32(12), m_r.i32(16), m_r.i32(20), m_r.i32(28), m_r.u8(32), m_r.u8(33), m_r.u8(34), face});
        return std::nullopt;
    }
    case 93: // CREATEMONOBRUSH
    case 94: { // CREATEDIBPATTERNBRUSHPT: slot, colour use, the bitmap
        const char* name = m_type == 93 ? "CREATEMONOBRUSH" : "CREATEDIBPATTERNBRUSHPT";
        if (auto e = need(32, name))
            return e;
        std::pair<std::int32_t, std::int32_t> dib;
        if (auto e = bitmap(16, name, dib))
            return e;
        if (dib.second == 0 || m_r.u32(12) == kDibPalColors)
            m_out.add(Op::CreateOther, {slot(8), 0});
        else
            m_out.add(Op::CreatePatternBrush, {slot(8), dib.first, dib.second});
        return std::nullopt;
    }
    default: // palettes and colour spaces: they only take their slot
        if (auto e = need(12, "CREATEPALETTE"))
            return e;
        m_out.add(Op::CreateOther, {slot(8), 0});
        return std::nullopt;
    }
}

std::optional<gfx::Error> EmfRecordReader::read()
{
    const auto none = [&](Op op) -> std::optional<gfx::Error> {
        m_out.add(op, {});
        return std::nullopt;
    };
    switch (m_type) {
    case 2:
        return points(Op::PolyBezier, false, "POLYBEZIER");
    case 3:
        return points(Op::Polygon, false, "POLYGON");
    case 4:
        return points(Op::Polyline, false, "POLYLINE");
    case 5:
        return points(Op::PolyBezierTo, false, "POLYBEZIERTO");
    case 6:
        return points(Op::PolylineTo, false, "POLYLINETO");
    case 7:
        return polyPoly(Op::PolyPolyline, false, "POLYPOLYLINE");
    case 8:
        return polyPoly(Op::PolyPolygon, false, "POLYPOLYGON");
    case 9:
        return values(Op::SetWindowExt, 2, "SETWINDOWEXTEX");
    case 10:
        return values(Op::SetWindowOrg, 2, "SETWINDOWORGEX");
    case 11:
        return values(Op::SetViewportExt, 2, "SETVIEWPORTEXTEX");
    case 12:
        return values(Op::SetViewportOrg, 2, "SETVIEWPORTORGEX");
    case 15:
        if (auto e = need(20, "SETPIXELV"))
            return e;
        m_out.add(Op::SetPixel, {m_r.i32(8), m_r.i32(12), color(16)});
        return std::nullopt;
    case 17:
        return values(Op::SetMapMode, 1, "SETMAPMODE");
    case 18:
        return values(Op::SetBkMode, 1, "SETBKMODE");
    case 19:
        return values(Op::SetPolyFillMode, 1, "SETPOLYFILLMODE");
    case 20:
        return values(Op::SetRop2, 1, "SETROP2");
    case 22:
        return values(Op::SetTextAlign, 1, "SETTEXTALIGN");
    case 24:
    case 25:
        if (auto e = need(12, m_type == 24 ? "SETTEXTCOLOR" : "SETBKCOLOR"))
            return e;
        m_out.add(m_type == 24 ? Op::SetTextColor : Op::SetBkColor, {color(8)});
        return std::nullopt;
    case 27:
        return values(Op::MoveTo, 2, "MOVETOEX");
    case 29:
        return values(Op::ExcludeClip, 4, "EXCLUDECLIPRECT");
    case 30:
        return values(Op::IntersectClip, 4, "INTERSECTCLIPRECT");
    case 31:
        return values(Op::ScaleViewportExt, 4, "SCALEVIEWPORTEXTEX");
    case 32:
        return values(Op::ScaleWindowExt, 4, "SCALEWINDOWEXTEX");
    case 33:
        return none(Op::SaveDc);
    case 34:
        return values(Op::RestoreDc, 1, "RESTOREDC");
    case 35:
        return values(Op::SetWorldTransform, 6, "SETWORLDTRANSFORM");
    case 36:
        return values(Op::ModifyWorldTransform, 7, "MODIFYWORLDTRANSFORM");
    case 37:
        return values(Op::SelectObject, 1, "SELECTOBJECT");
    case 40:
        return values(Op::DeleteObject, 1, "DELETEOBJECT");
    case 42:
        return values(Op::Ellipse, 4, "ELLIPSE");
    case 43:
        return values(Op::Rectangle, 4, "RECTANGLE");
    case 44:
        return values(Op::RoundRect, 6, "ROUNDRECT");
    case 45:
        return values(Op::Arc, 8, "ARC");
    case 46:
        return values(Op::Chord, 8, "CHORD");
    case 47:
        return values(Op::Pie, 8, "PIE");
    case 54:
        return values(Op::LineTo, 2, "LINETO");
    case 57:
        return values(Op::SetArcDirection, 1, "SETARCDIRECTION");
    case 59:
        return none(Op::BeginPath);
    case 60:
        return none(Op::EndPath);
    case 61:
        return none(Op::CloseFigure);
    case 62:
        return none(Op::FillPath);
    case 63:
        return none(Op::StrokeAndFillPath);
    case 64:
        return none(Op::StrokePath);
    case 68:
        return none(Op::AbortPath);
    case 75:
        return clipRegion();
    case 76:
    case 77:
    case 81:
        return blit();
    case 83:
        return text(false);
    case 84:
        return text(true);
    case 85:
        return points(Op::PolyBezier, true, "POLYBEZIER16");
    case 86:
        return points(Op::Polygon, true, "POLYGON16");
    case 87:
        return points(Op::Polyline, true, "POLYLINE16");
    case 88:
        return points(Op::PolyBezierTo, true, "POLYBEZIERTO16");
    case 89:
        return points(Op::PolylineTo, true, "POLYLINETO16");
    case 90:
        return polyPoly(Op::PolyPolyline, true, "POLYPOLYLINE16");
    case 91:
        return polyPoly(Op::PolyPolygon, true, "POLYPOLYGON16");
    case 38:
    case 39:
    case 49:
    case 82:
    case 93:
    case 94:
    case 95:
    case 99:
    case 122:
        return create();
    default:
        return std::nullopt; // comments (EMF+ among them) and everything else we do not draw
    }
}

} // namespace

bool looksLikeEmf(std::span<const std::uint8_t> data)
{
    const Bytes b(data);
    return b.has(0, 44) && b.u32(0) == 1 && b.u32(40) == kSignature;
}

gfx::Result<Metafile> parseEmf(std::span<const std::uint8_t> data)
{
    const Bytes b(data);
    Metafile m;
    m.enhanced = true;
    if (!b.has(0, 8) || b.u32(4) < kHeaderSize || !b.has(0, kHeaderSize))
        return damaged("the header is cut short");
    RecordWriter out(m);
    std::int64_t highestSlot = -1;
    std::size_t pos = 0;
    for (std::uint64_t count = 0; pos < data.size(); ++count) {
        if (!b.has(pos, 8))
            return damaged("a record's header is cut short");
        const std::uint32_t type = b.u32(pos), size = b.u32(pos + 4);
        if (size < 8)
            return damaged("a record is smaller than 8 bytes");
        if (size % 4 != 0)
            return damaged("a record's size is not a multiple of 4");
        if (!b.has(pos, size))
            return damaged("a record runs past the end of the file");
        if (count >= kMaxRecords)
            return damaged("more than a million records");
        if (type == 14)
            break;
        if (pos > 0) {
            EmfRecordReader reader(out, Bytes(b.sub(pos, size)), type);
            if (auto e = reader.read())
                return *e;
            highestSlot = std::max(highestSlot, reader.highestSlot);
        }
        pos += size;
    }
    const std::uint64_t handles = b.u16(56);
    m.objectSlots = static_cast<std::size_t>(std::min<std::int64_t>(handles, highestSlot + 1));

    // The frame is in hundredths of a millimetre, the bounds in device pixels (both edges inclusive).
    const std::int64_t fl = b.i32(24), ft = b.i32(28), fr = b.i32(32), fb = b.i32(36);
    const std::int64_t bl = b.i32(8), bt = b.i32(12), br = b.i32(16), bb = b.i32(20);
    MetafileStart& s = m.start;
    const std::int64_t devX = b.i32(72), devY = b.i32(76), mmX = b.i32(80), mmY = b.i32(84);
    if (devX > 0 && devY > 0 && mmX > 0 && mmY > 0) {
        s.pixelsPerMmX = static_cast<double>(devX) / static_cast<double>(mmX);
        s.pixelsPerMmY = static_cast<double>(devY) / static_cast<double>(mmY);
    }
    if (fr > fl && fb > ft) {
        if (auto e = checkSize((fr - fl) * 96.0 / 2540.0, (fb - ft) * 96.0 / 2540.0, m.size))
            return *e;
        // The frame, measured on the reference device, fills the picture.
        s.deviceOriginX = fl * s.pixelsPerMmX / 100.0;
        s.deviceOriginY = ft * s.pixelsPerMmY / 100.0;
        s.deviceScaleX = m.size.width / ((fr - fl) * s.pixelsPerMmX / 100.0);
        s.deviceScaleY = m.size.height / ((fb - ft) * s.pixelsPerMmY / 100.0);
    } else if (br >= bl && bb >= bt) {
        if (auto e = checkSize(static_cast<double>(br - bl + 1), static_cast<double>(bb - bt + 1), m.size))
            return *e;
        s.deviceOriginX = static_cast<double>(bl);
        s.deviceOriginY = static_cast<double>(bt);
    } else {
        return gfx::Error{"The metafile has no size."};
    }
    return m;
}

} // namespace daubix::io::detail
