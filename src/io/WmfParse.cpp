#include "io/MetafileParse_p.h"

namespace daubix::io::detail {

namespace {

constexpr std::uint32_t kPlaceableKey = 0x9AC6CDD7;
constexpr std::uint16_t kDibPalColors = 1;

using Op = MetafileOp;

// Reads one record's parameters (after its six-byte header) into the writer. Coordinates come in the
// classic order, last argument first.
class WmfRecordReader {
public:
    WmfRecordReader(RecordWriter& out, Bytes params, std::uint16_t function)
        : m_out(out)
        , m_p(params)
        , m_function(function)
    {
    }

    std::optional<gfx::Error> read();

    std::optional<std::pair<int, int>> windowExt; // the first SETWINDOWEXT
    std::size_t creates = 0;

private:
    std::optional<gfx::Error> need(std::uint64_t bytes, const char* name) const
    {
        if (!m_p.has(0, bytes))
            return tooShort(name);
        return std::nullopt;
    }
    // x, y stored as y at offset, x after it.
    void pushPoint(std::size_t at)
    {
        m_out.push(m_p.i16(at + 2));
        m_out.push(m_p.i16(at));
    }
    std::int32_t color(std::size_t at) const { return static_cast<std::int32_t>(m_p.u32(at) & 0xFFFFFF); }
    std::optional<gfx::Error> points(Op op, const char* name);
    std::optional<gfx::Error> polyPolygon();
    std::optional<gfx::Error> box(Op op, std::size_t words, const char* name);
    std::optional<gfx::Error> text(bool extended);
    std::optional<gfx::Error> blit();
    std::optional<gfx::Error> create();

    RecordWriter& m_out;
    Bytes m_p;
    std::uint16_t m_function;
};

std::optional<gfx::Error> WmfRecordReader::points(Op op, const char* name)
{
    if (auto e = need(2, name))
        return e;
    const std::uint64_t n = m_p.u16(0);
    if (!m_p.has(2, n * 4))
        return damaged(std::string("the points of a ") + name + " record run past its end");
    m_out.begin(op);
    for (std::uint64_t i = 0; i < n; ++i) {
        m_out.push(m_p.i16(2 + i * 4));
        m_out.push(m_p.i16(4 + i * 4));
    }
    return std::nullopt;
}

std::optional<gfx::Error> WmfRecordReader::polyPolygon()
{
    if (auto e = need(2, "POLYPOLYGON"))
        return e;
    const std::uint64_t polygons = m_p.u16(0);
    if (!m_p.has(2, polygons * 2))
        return damaged("the counts of a POLYPOLYGON record run past its end");
    std::uint64_t total = 0;
    for (std::uint64_t i = 0; i < polygons; ++i)
        total += m_p.u16(2 + i * 2);
    const std::uint64_t first = 2 + polygons * 2;
    if (!m_p.has(first, total * 4))
        return damaged("the points of a POLYPOLYGON record run past its end");
    m_out.begin(Op::PolyPolygon);
    m_out.push(static_cast<std::int32_t>(polygons));
    for (std::uint64_t i = 0; i < polygons; ++i)
        m_out.push(m_p.u16(2 + i * 2));
    for (std::uint64_t i = 0; i < total; ++i) {
        m_out.push(m_p.i16(first + i * 4));
        m_out.push(m_p.i16(first + i * 4 + 2));
    }
    return std::nullopt;
}

// Figures given by a box and more: words of 16 bits in reverse order, the box's left last.
std::optional<gfx::Error> WmfRecordReader::box(Op op, std::size_t words, const char* name)
{
    if (auto e = need(words * 2, name))
        return e;
    m_out.begin(op);
    const std::size_t boxAt = (words - 4) * 2;
    m_out.push(m_p.i16(boxAt + 6));
    m_out.push(m_p.i16(boxAt + 4));
    m_out.push(m_p.i16(boxAt + 2));
    m_out.push(m_p.i16(boxAt));
    if (op == Op::RoundRect) {
        m_out.push(m_p.i16(2));
        m_out.push(m_p.i16(0));
    } else if (words == 8) { // arcs: start x, y, then end x, y
        m_out.push(m_p.i16(6));
        m_out.push(m_p.i16(4));
        m_out.push(m_p.i16(2));
        m_out.push(m_p.i16(0));
    }
    return std::nullopt;
}

std::optional<gfx::Error> WmfRecordReader::text(bool extended)
{
    if (!extended) {
        if (auto e = need(2, "TEXTOUT"))
            return e;
        const std::uint64_t length = m_p.u16(0), padded = (length + 1) & ~std::uint64_t{1};
        if (!m_p.has(2, padded + 4))
            return damaged("the text of a TEXTOUT record runs past its end");
        const std::int32_t index = m_out.text(latin1ToUtf8(m_p.sub(2, length)));
        m_out.add(Op::Text, {m_p.i16(2 + padded + 2), m_p.i16(2 + padded), 0, 0, 0, 0, 0, index});
        return std::nullopt;
    }
    if (auto e = need(8, "EXTTEXTOUT"))
        return e;
    const std::uint64_t length = m_p.u16(4);
    const int options = m_p.u16(6);
    const bool hasBox = (options & 0x6) != 0; // opaque or clipped
    const std::uint64_t textAt = hasBox ? 16 : 8;
    if (!m_p.has(textAt, length))
        return damaged("the text of an EXTTEXTOUT record runs past its end");
    const std::int32_t index = m_out.text(latin1ToUtf8(m_p.sub(textAt, length)));
    m_out.add(Op::Text,
        {m_p.i16(2), m_p.i16(0), options, hasBox ? m_p.i16(8) : 0, hasBox ? m_p.i16(10) : 0, hasBox ? m_p.i16(12) : 0,
            hasBox ? m_p.i16(14) : 0, index});
    return std::nullopt;
}

// DIBBITBLT, DIBSTRETCHBLT and STRETCHDIB. The first two come without a bitmap as a pattern fill when
// the record is exactly as long as its short form.
std::optional<gfx::Error> WmfRecordReader::blit()
{
    const bool stretchDib = m_function == 0x0F43, stretch = m_function == 0x0B41;
    const char* name = stretchDib ? "STRETCHDIB" : stretch ? "DIBSTRETCHBLT" : "DIBBITBLT";
    const std::size_t shortForm = (m_function >> 8) * 2u;
    if (auto e = need(stretchDib ? 22 : stretch ? 20 : 16, name))
        return e;
    const std::int32_t rop = static_cast<std::int32_t>(m_p.u32(0));
    if (!stretchDib && m_p.size() == shortForm) {
        const std::size_t dest = stretch ? 14 : 10; // height, width, y, x
        m_out.add(Op::PatBlt, {m_p.i16(dest + 6), m_p.i16(dest + 4), m_p.i16(dest + 2), m_p.i16(dest), rop});
        return std::nullopt;
    }
    if (stretchDib && m_p.u16(4) == kDibPalColors)
        return std::nullopt; // colours that name entries of a palette we do not keep
    const std::size_t s = stretchDib ? 6 : 4; // source height, width, y, x (a plain blit: y, x only)
    const std::size_t d = stretchDib ? 14 : stretch ? 12 : 8; // destination height, width, y, x
    const std::size_t dibAt = d + 8;
    const std::int32_t width = m_p.i16(d + 2), height = m_p.i16(d);
    const std::int32_t srcWidth = stretchDib || stretch ? m_p.i16(s + 2) : width;
    const std::int32_t srcHeight = stretchDib || stretch ? m_p.i16(s) : height;
    const std::size_t srcAt = stretchDib || stretch ? s + 4 : s;
    const auto [offset, size] = m_out.dib(m_p.sub(dibAt, m_p.size() - dibAt), {});
    m_out.add(Op::DibBlt,
        {m_p.i16(d + 6), m_p.i16(d + 4), width, height, m_p.i16(srcAt + 2), m_p.i16(srcAt), srcWidth, srcHeight, rop,
            offset, size, stretchDib ? 1 : 0});
    return std::nullopt;
}

std::optional<gfx::Error> WmfRecordReader::create()
{
    ++creates;
    switch (m_function) {
    case 0x02FA: // CREATEPENINDIRECT: style, width as a point, colour
        if (auto e = need(10, "CREATEPENINDIRECT"))
            return e;
        m_out.add(Op::CreatePen, {-1, m_p.u16(0), m_p.i16(2), color(6)});
        return std::nullopt;
    case 0x02FC: // CREATEBRUSHINDIRECT: style, colour, hatch
        if (auto e = need(8, "CREATEBRUSHINDIRECT"))
            return e;
        m_out.add(Op::CreateBrush, {-1, m_p.u16(0), color(2), m_p.u16(6)});
        return std::nullopt;
    case 0x02FB: { // CREATEFONTINDIRECT: the classic logical font with 16-bit numbers, then the face name
        if (auto e = need(18, "CREATEFONTINDIRECT"))
            return e;
        std::size_t length = 0;
        while (18 + length < m_p.size() && length < 32 && m_p.u8(18 + length) != 0)
            ++length;
        const std::int32_t name = m_out.text(latin1ToUtf8(m_p.sub(18, length)));
        m_out.add(Op::CreateFont,
            {-1, m_p.i16(0), m_p.i16(2), m_p.i16(4), m_p.i16(8), m_p.u8(10), m_p.u8(11), m_p.u8(12), name});
        return std::nullopt;
    }
    case 0x0142: // DIBCREATEPATTERNBRUSH: style, colour use, the bitmap
        if (auto e = need(4, "DIBCREATEPATTERNBRUSH"))
            return e;
        if (m_p.u16(2) == kDibPalColors) {
            m_out.add(Op::CreateOther, {-1, 0});
            return std::nullopt;
        }
        {
            const auto [offset, size] = m_out.dib(m_p.sub(4, m_p.size() - 4), {});
            m_out.add(Op::CreatePatternBrush, {-1, offset, size});
        }
        return std::nullopt;
    default: // palettes, old-style pattern brushes and regions: they only take their slot
        m_out.add(Op::CreateOther, {-1, m_function == 0x06FF ? 1 : 0});
        return std::nullopt;
    }
}

std::optional<gfx::Error> WmfRecordReader::read()
{
    // Records of one 16-bit value and of one colour.
    const auto one = [&](Op op, const char* name) -> std::optional<gfx::Error> {
        if (auto e = need(2, name))
            return e;
        m_out.add(op, {m_p.i16(0)});
        return std::nullopt;
    };
    const auto colour = [&](Op op, const char* name) -> std::optional<gfx::Error> {
        if (auto e = need(4, name))
            return e;
        m_out.add(op, {color(0)});
        return std::nullopt;
    };
    const auto point = [&](Op op, const char* name) -> std::optional<gfx::Error> {
        if (auto e = need(4, name))
            return e;
        m_out.begin(op);
        pushPoint(0);
        return std::nullopt;
    };
    const auto scale = [&](Op op, const char* name) -> std::optional<gfx::Error> {
        if (auto e = need(8, name))
            return e;
        m_out.add(op, {m_p.i16(6), m_p.i16(4), m_p.i16(2), m_p.i16(0)});
        return std::nullopt;
    };
    switch (m_function) {
    case 0x0201:
        return colour(Op::SetBkColor, "SETBKCOLOR");
    case 0x0102:
        return one(Op::SetBkMode, "SETBKMODE");
    case 0x0103:
        return one(Op::SetMapMode, "SETMAPMODE");
    case 0x0104:
        return one(Op::SetRop2, "SETROP2");
    case 0x0106:
        return one(Op::SetPolyFillMode, "SETPOLYFILLMODE");
    case 0x0209:
        return colour(Op::SetTextColor, "SETTEXTCOLOR");
    case 0x012E:
        return one(Op::SetTextAlign, "SETTEXTALIGN");
    case 0x020B:
        return point(Op::SetWindowOrg, "SETWINDOWORG");
    case 0x020C:
        if (auto e = point(Op::SetWindowExt, "SETWINDOWEXT"))
            return e;
        if (!windowExt)
            windowExt = std::pair{m_p.i16(2), m_p.i16(0)};
        return std::nullopt;
    case 0x020D:
        return point(Op::SetViewportOrg, "SETVIEWPORTORG");
    case 0x020E:
        return point(Op::SetViewportExt, "SETVIEWPORTEXT");
    case 0x020F:
        return point(Op::OffsetWindowOrg, "OFFSETWINDOWORG");
    case 0x0211:
        return point(Op::OffsetViewportOrg, "OFFSETVIEWPORTORG");
    case 0x0410:
        return scale(Op::ScaleWindowExt, "SCALEWINDOWEXT");
    case 0x0412:
        return scale(Op::ScaleViewportExt, "SCALEVIEWPORTEXT");
    case 0x001E:
        m_out.add(Op::SaveDc, {});
        return std::nullopt;
    case 0x0127:
        return one(Op::RestoreDc, "RESTOREDC");
    case 0x012D:
        return one(Op::SelectObject, "SELECTOBJECT");
    case 0x01F0:
        return one(Op::DeleteObject, "DELETEOBJECT");
    case 0x012C:
        return one(Op::ResetClip, "SELECTCLIPREGION");
    case 0x0415:
        return box(Op::ExcludeClip, 4, "EXCLUDECLIPRECT");
    case 0x0416:
        return box(Op::IntersectClip, 4, "INTERSECTCLIPRECT");
    case 0x0214:
        return point(Op::MoveTo, "MOVETO");
    case 0x0213:
        return point(Op::LineTo, "LINETO");
    case 0x0325:
        return points(Op::Polyline, "POLYLINE");
    case 0x0324:
        return points(Op::Polygon, "POLYGON");
    case 0x0538:
        return polyPolygon();
    case 0x041B:
        return box(Op::Rectangle, 4, "RECTANGLE");
    case 0x0418:
        return box(Op::Ellipse, 4, "ELLIPSE");
    case 0x061C:
        return box(Op::RoundRect, 6, "ROUNDRECT");
    case 0x0817:
        return box(Op::Arc, 8, "ARC");
    case 0x0830:
        return box(Op::Chord, 8, "CHORD");
    case 0x081A:
        return box(Op::Pie, 8, "PIE");
    case 0x041F:
        if (auto e = need(8, "SETPIXEL"))
            return e;
        m_out.add(Op::SetPixel, {m_p.i16(6), m_p.i16(4), color(0)});
        return std::nullopt;
    case 0x061D:
        if (auto e = need(12, "PATBLT"))
            return e;
        m_out.add(Op::PatBlt, {m_p.i16(10), m_p.i16(8), m_p.i16(6), m_p.i16(4), static_cast<std::int32_t>(m_p.u32(0))});
        return std::nullopt;
    case 0x0521:
        return text(false);
    case 0x0A32:
        return text(true);
    case 0x0940:
    case 0x0B41:
    case 0x0F43:
        return blit();
    case 0x02FA:
    case 0x02FC:
    case 0x02FB:
    case 0x0142:
    case 0x00F7:
    case 0x01F9:
    case 0x06FF:
        return create();
    default:
        return std::nullopt; // everything else draws nothing we keep
    }
}

} // namespace

bool looksLikeWmf(std::span<const std::uint8_t> data)
{
    const Bytes b(data);
    if (b.has(0, 4) && b.u32(0) == kPlaceableKey)
        return true;
    return b.has(0, 18) && (b.u16(0) == 1 || b.u16(0) == 2) && b.u16(2) == 9;
}

gfx::Result<Metafile> parseWmf(std::span<const std::uint8_t> data)
{
    const Bytes b(data);
    Metafile m;
    std::size_t pos = 0;
    struct Placeable {
        int left, top, right, bottom, inch;
    };
    std::optional<Placeable> placeable;
    if (b.has(0, 4) && b.u32(0) == kPlaceableKey) {
        if (!b.has(0, 22))
            return damaged("the placeable header is cut short");
        placeable = Placeable{b.i16(6), b.i16(8), b.i16(10), b.i16(12), b.u16(14)};
        pos = 22;
    }
    if (!b.has(pos, 18))
        return damaged("the header is cut short");
    const std::uint64_t headerBytes = std::uint64_t{b.u16(pos + 2)} * 2;
    const std::size_t objects = b.u16(pos + 10);
    if (headerBytes < 18 || !b.has(pos, headerBytes))
        return damaged("the header's size is wrong");
    pos += headerBytes;

    RecordWriter out(m);
    std::optional<std::pair<int, int>> windowExt;
    std::size_t creates = 0;
    for (std::uint64_t count = 0; pos < data.size(); ++count) {
        if (!b.has(pos, 6))
            return damaged("a record's header is cut short");
        const std::uint64_t bytes = std::uint64_t{b.u32(pos)} * 2;
        if (bytes == 0)
            return damaged("a record has the size 0");
        if (bytes < 6)
            return damaged("a record is smaller than its header");
        if (!b.has(pos, bytes))
            return damaged("a record runs past the end of the file");
        if (count >= kMaxRecords)
            return damaged("more than a million records");
        const std::uint16_t function = b.u16(pos + 4);
        if (function == 0)
            break;
        WmfRecordReader reader(out, Bytes(b.sub(pos + 6, bytes - 6)), function);
        if (auto e = reader.read())
            return *e;
        if (!windowExt)
            windowExt = reader.windowExt;
        creates += reader.creates;
        pos += bytes;
    }
    // Valid files never hold more objects at once than the header says nor than they create, so the
    // smaller bounds the table; a header that says none is not believed.
    m.objectSlots = objects > 0 ? std::min(objects, creates) : creates;

    MetafileStart& s = m.start;
    if (placeable && placeable->inch > 0 && placeable->right != placeable->left
        && placeable->bottom != placeable->top) {
        const double w = (placeable->right - placeable->left) * 96.0 / placeable->inch;
        const double h = (placeable->bottom - placeable->top) * 96.0 / placeable->inch;
        if (auto e = checkSize(w, h, m.size))
            return *e;
        // The box maps onto the picture, as players of placeable files set it up.
        s.mapMode = 8;
        s.windowOrgX = placeable->left;
        s.windowOrgY = placeable->top;
        s.windowExtX = placeable->right - placeable->left;
        s.windowExtY = placeable->bottom - placeable->top;
    } else if (windowExt && windowExt->first != 0 && windowExt->second != 0) {
        if (auto e = checkSize(windowExt->first, windowExt->second, m.size))
            return *e;
        s.windowExtX = std::abs(windowExt->first);
        s.windowExtY = std::abs(windowExt->second);
    } else {
        return gfx::Error{"The metafile has no size."};
    }
    s.viewportExtX = m.size.width;
    s.viewportExtY = m.size.height;
    return m;
}

} // namespace daubix::io::detail
