#include "io/BmpCodec.h"
#include "io/MetafileReplay_p.h"

#include <bit>
#include <cmath>

namespace daubix::io {

namespace detail {

namespace {

using Op = MetafileOp;

constexpr std::size_t kMaxSavedStates = 256;
// A clip region more fragmented than this is not made: the record that would make it is skipped.
constexpr std::size_t kMaxClipRuns = 4096;
// Pattern brushes larger than this are not kept (their tiles would be copied at every select).
constexpr std::int64_t kMaxPatternPixels = std::int64_t{1} << 16;
// Device coordinates are clamped to this before they reach the canvas: far outside any picture, and
// well inside the canvas's int arithmetic.
constexpr double kLimit = 1 << 24;

gfx::Rect boxOf(gfx::Point a, gfx::Point b)
{
    return gfx::Rect{a.x, a.y, b.x, b.y}.normalized();
}

} // namespace

Player::Player(const Metafile& m, gfx::Bitmap& target)
    : m_file(m)
    , m_canvas(target)
    , m_dc(m.start)
    , m_transform(m_dc.transform(m.start))
    , m_maxLength(2 * std::hypot(m.size.width, m.size.height))
    , m_objects(m.objectSlots)
{
}

void Player::run()
{
    for (const MetafileRecord& r : m_file.records) {
        const Values v(m_file.values.data() + r.first, r.count);
        switch (r.op) {
        case Op::CreatePen:
        case Op::CreateBrush:
        case Op::CreatePatternBrush:
        case Op::CreateFont:
        case Op::CreateOther:
            create(r.op, v);
            break;
        case Op::SelectObject:
            select(v[0]);
            break;
        case Op::DeleteObject:
            if (v[0] >= 0 && static_cast<std::size_t>(v[0]) < m_objects.size())
                m_objects[static_cast<std::size_t>(v[0])].reset();
            break;
        case Op::SaveDc:
            save();
            break;
        case Op::RestoreDc:
            restore(v[0]);
            break;
        case Op::IntersectClip:
        case Op::ExcludeClip:
        case Op::ResetClip:
        case Op::SelectClipRects:
            clip(r.op, v);
            break;
        case Op::BeginPath:
        case Op::EndPath:
        case Op::CloseFigure:
        case Op::FillPath:
        case Op::StrokePath:
        case Op::StrokeAndFillPath:
        case Op::AbortPath:
            path(r.op);
            break;
        case Op::Text:
            text(v);
            break;
        case Op::PatBlt:
            patBlt(v);
            break;
        case Op::DibBlt:
            dibBlt(v);
            break;
        default:
            if (r.op >= Op::MoveTo)
                draw(r.op, v);
            else
                setState(r.op, v);
        }
    }
}

// Mapping records take effect only when the whole transform they make stays sane; otherwise the
// record is skipped and the mapping stays as it was.
template <typename Change> void Player::remap(Change change)
{
    DcState next = m_dc;
    change(next);
    const Affine transform = next.transform(m_file.start);
    if (!transform.isSane())
        return;
    m_dc = std::move(next);
    m_transform = transform;
}

void Player::setState(MetafileOp op, Values v)
{
    auto affine = [&](std::size_t at) {
        auto f = [&](std::size_t i) { return static_cast<double>(std::bit_cast<float>(v[at + i])); };
        return Affine{f(0), f(1), f(2), f(3), f(4), f(5)};
    };
    switch (op) {
    case Op::SetBkColor:
        m_dc.bkColor = static_cast<gfx::Color>(v[0]);
        break;
    case Op::SetBkMode:
        if (v[0] == 1 || v[0] == 2)
            m_dc.bkMode = v[0];
        break;
    case Op::SetMapMode:
        if (v[0] >= 1 && v[0] <= 8)
            remap([&](DcState& dc) { dc.mapMode = v[0]; });
        break;
    case Op::SetRop2:
        if (v[0] >= 1 && v[0] <= 16)
            m_dc.rop2 = v[0];
        break;
    case Op::SetPolyFillMode:
        if (v[0] == 1 || v[0] == 2)
            m_dc.fillMode = v[0];
        break;
    case Op::SetTextColor:
        m_dc.textColor = static_cast<gfx::Color>(v[0]);
        break;
    case Op::SetTextAlign:
        m_dc.textAlign = v[0];
        break;
    case Op::SetArcDirection:
        if (v[0] == 1 || v[0] == 2)
            m_dc.arcDirection = v[0];
        break;
    case Op::SetWindowOrg:
        remap([&](DcState& dc) { dc.windowOrg = {double(v[0]), double(v[1])}; });
        break;
    case Op::SetViewportOrg:
        remap([&](DcState& dc) { dc.viewportOrg = {double(v[0]), double(v[1])}; });
        break;
    case Op::OffsetWindowOrg:
        remap([&](DcState& dc) { dc.windowOrg = {dc.windowOrg.x + v[0], dc.windowOrg.y + v[1]}; });
        break;
    case Op::OffsetViewportOrg:
        remap([&](DcState& dc) { dc.viewportOrg = {dc.viewportOrg.x + v[0], dc.viewportOrg.y + v[1]}; });
        break;
    case Op::SetWindowExt:
    case Op::SetViewportExt:
        if (v[0] == 0 || v[1] == 0)
            break; // a zero extent would make the mapping singular
        remap([&](DcState& dc) {
            (op == Op::SetWindowExt ? dc.windowExt : dc.viewportExt) = {double(v[0]), double(v[1])};
        });
        break;
    case Op::ScaleWindowExt:
    case Op::ScaleViewportExt:
        if (v[0] == 0 || v[1] == 0 || v[2] == 0 || v[3] == 0)
            break;
        remap([&](DcState& dc) {
            PointD& ext = op == Op::ScaleWindowExt ? dc.windowExt : dc.viewportExt;
            ext = {std::trunc(ext.x * v[0] / v[1]), std::trunc(ext.y * v[2] / v[3])};
        });
        break;
    case Op::SetWorldTransform:
        if (affine(0).isSane())
            remap([&](DcState& dc) { dc.world = affine(0); });
        break;
    case Op::ModifyWorldTransform: {
        const Affine xf = affine(0);
        if (v[6] == 1)
            remap([&](DcState& dc) { dc.world = Affine{}; });
        else if (!xf.isSane())
            break;
        else if (v[6] == 2)
            remap([&](DcState& dc) { dc.world = xf.then(dc.world); });
        else if (v[6] == 3)
            remap([&](DcState& dc) { dc.world = dc.world.then(xf); });
        else if (v[6] == 4)
            remap([&](DcState& dc) { dc.world = xf; });
        break;
    }
    default:
        break;
    }
}

void Player::create(MetafileOp op, Values v)
{
    std::size_t slot = 0;
    if (v[0] < 0) {
        // The lowest free slot, as the classic player fills the table.
        while (slot < m_objects.size() && m_objects[slot])
            ++slot;
    } else {
        slot = static_cast<std::size_t>(v[0]);
        if (m_file.enhanced && slot == 0)
            return; // slot 0 stands for the metafile itself
    }
    if (slot >= m_objects.size())
        return;
    GdiObject object;
    switch (op) {
    case Op::CreatePen:
        object = PenObject{v[1], v[2], static_cast<gfx::Color>(v[3])};
        break;
    case Op::CreateBrush:
        object = BrushObject{v[1], static_cast<gfx::Color>(v[2]), v[3], nullptr};
        break;
    case Op::CreatePatternBrush: {
        const auto bytes
            = std::span(m_file.dibs).subspan(static_cast<std::size_t>(v[1]), static_cast<std::size_t>(v[2]));
        auto pattern = decodeDib(bytes);
        if (pattern && std::int64_t{pattern->width()} * pattern->height() <= kMaxPatternPixels)
            object = BrushObject{3, gfx::clBlack, 0, std::make_shared<const gfx::Bitmap>(std::move(pattern.value()))};
        break;
    }
    case Op::CreateFont:
        object = FontObject{
            v[1], v[3], v[4], v[5] != 0, v[6] != 0, v[7] != 0, m_file.texts[static_cast<std::size_t>(v[8])]};
        break;
    default:
        if (v[1] == 1)
            object = RegionObject{};
    }
    m_objects[slot] = std::move(object);
}

void Player::selectStock(std::uint32_t index)
{
    static constexpr gfx::Color kBrushes[] = {gfx::clWhite, gfx::clSilver, gfx::clGray, 0x404040, gfx::clBlack};
    if (index <= 4) {
        m_dc.brush = BrushObject{0, kBrushes[index], 0, nullptr};
        m_brushChanged = true;
    } else if (index == 5) {
        m_dc.brush = BrushObject{1, gfx::clBlack, 0, nullptr};
        m_brushChanged = true;
    } else if (index >= 6 && index <= 8) {
        m_dc.pen = PenObject{index == 8 ? 5 : 0, 0, index == 6 ? gfx::clWhite : gfx::clBlack};
    } else if (index >= 10 && index <= 17 && index != 15) {
        m_dc.font = FontObject{};
    }
}

void Player::select(std::int32_t index)
{
    if (m_file.enhanced && index < 0) {
        selectStock(static_cast<std::uint32_t>(index) & 0x7FFFFFFF);
        return;
    }
    if (index < 0 || static_cast<std::size_t>(index) >= m_objects.size() || !m_objects[static_cast<std::size_t>(index)])
        return;
    const GdiObject& object = *m_objects[static_cast<std::size_t>(index)];
    if (const auto* pen = std::get_if<PenObject>(&object)) {
        m_dc.pen = *pen;
    } else if (const auto* brush = std::get_if<BrushObject>(&object)) {
        m_dc.brush = *brush;
        m_brushChanged = true;
    } else if (const auto* font = std::get_if<FontObject>(&object)) {
        m_dc.font = *font;
    }
}

void Player::save()
{
    if (m_saved.size() < kMaxSavedStates)
        m_saved.emplace_back(m_dc, m_canvas.clip());
}

void Player::restore(std::int32_t n)
{
    const std::int64_t index = n < 0 ? static_cast<std::int64_t>(m_saved.size()) + n : std::int64_t{n} - 1;
    if (n == 0 || index < 0 || index >= static_cast<std::int64_t>(m_saved.size()))
        return;
    auto& [state, clip] = m_saved[static_cast<std::size_t>(index)];
    m_dc = std::move(state);
    m_canvas.setClip(std::move(clip));
    m_saved.erase(m_saved.begin() + index, m_saved.end());
    m_transform = m_dc.transform(m_file.start);
    m_brushChanged = true;
}

// Clip boxes are in device pixels, reaching at most a pixel beyond the target, so that the region's
// bands stay within the picture however far the file's numbers go.
void Player::clip(MetafileOp op, Values v)
{
    const gfx::Bitmap& target = m_canvas.bitmap();
    const gfx::Rect limit{-1, -1, target.width() + 1, target.height() + 1};
    const std::optional<gfx::ClipRegion> before = m_canvas.clip();
    switch (op) {
    case Op::IntersectClip:
    case Op::ExcludeClip: {
        const gfx::Rect box = boxOf(pixelOf(v[0], v[1]), pixelOf(v[2], v[3])).intersected(limit);
        if (op == Op::IntersectClip)
            m_canvas.intersectClip(box.isEmpty() ? gfx::Rect{} : box);
        else if (!box.isEmpty())
            m_canvas.excludeClip(box);
        break;
    }
    case Op::ResetClip:
        if (v[0] >= 0 && static_cast<std::size_t>(v[0]) < m_objects.size() && m_objects[static_cast<std::size_t>(v[0])]
            && std::holds_alternative<RegionObject>(*m_objects[static_cast<std::size_t>(v[0])]))
            return; // a real region, whose shape we do not keep
        m_canvas.setClip(std::nullopt);
        return;
    default:
        clipRects(v);
    }
    if (m_canvas.clip() && m_canvas.clip()->runCount() > kMaxClipRuns)
        m_canvas.setClip(before);
}

// A region given as rectangles of the reference device, combined with the clip by the classic modes:
// 1 and, 2 or, 4 difference, 5 copy (exclusive or is not kept).
void Player::clipRects(Values v)
{
    const int mode = v[0];
    const std::size_t n = static_cast<std::size_t>(v[1]);
    if (n > kMaxClipRuns)
        return;
    const gfx::Bitmap& target = m_canvas.bitmap();
    const gfx::Rect limit{-1, -1, target.width() + 1, target.height() + 1};
    const MetafileStart& s = m_file.start;
    auto box = [&](std::size_t i) {
        const Values r = v.subspan(2 + i * 4, 4);
        auto at = [&](double x, double y) {
            return pixel({(x - s.deviceOriginX) * s.deviceScaleX, (y - s.deviceOriginY) * s.deviceScaleY});
        };
        return boxOf(at(r[0], r[1]), at(r[2], r[3])).intersected(limit);
    };
    std::optional<gfx::ClipRegion> region = m_canvas.clip();
    if (mode == 5 || (mode == 1 && !region)) {
        region.emplace(gfx::Rect{});
        for (std::size_t i = 0; i < n; ++i)
            region->unite(box(i));
    } else if (mode == 1) {
        gfx::ClipRegion both{gfx::Rect{}};
        for (std::size_t i = 0; i < n; ++i) {
            gfx::ClipRegion part = *region;
            part.intersect(box(i));
            for (const gfx::Rect& r : part.rects())
                both.unite(r);
        }
        region = std::move(both);
    } else if (mode == 2 && region) {
        for (std::size_t i = 0; i < n; ++i)
            region->unite(box(i));
    } else if (mode == 4) {
        if (!region)
            region.emplace();
        for (std::size_t i = 0; i < n; ++i)
            region->exclude(box(i));
    } else {
        return;
    }
    m_canvas.setClip(std::move(region));
}

gfx::Point Player::pixel(PointD device)
{
    auto round = [](double v) {
        return std::isnan(v) ? 0 : static_cast<int>(std::floor(std::clamp(v, -kLimit, kLimit) + 0.5));
    };
    return {round(device.x), round(device.y)};
}

std::vector<gfx::Point> Player::pixels(Values xy) const
{
    std::vector<gfx::Point> out(xy.size() / 2);
    for (std::size_t i = 0; i < out.size(); ++i)
        out[i] = pixelOf(xy[2 * i], xy[2 * i + 1]);
    return out;
}

double Player::lengthX(double logical) const
{
    return std::min(std::abs(logical) * std::hypot(m_transform.m11, m_transform.m12), m_maxLength);
}

double Player::lengthY(double logical) const
{
    return std::min(std::abs(logical) * std::hypot(m_transform.m21, m_transform.m22), m_maxLength);
}

} // namespace detail

void replayMetafile(const Metafile& m, gfx::Bitmap& target)
{
    detail::Player(m, target).run();
}

} // namespace daubix::io
