#include "io/MetafileReplay_p.h"

#include <cmath>

namespace daubix::io::detail {

namespace {

constexpr int kOpaqueBox = 0x2; // ETO_OPAQUE
constexpr int kClippedBox = 0x4; // ETO_CLIPPED
constexpr int kDefaultEmPixels = 16; // what a font of height 0 gets

gfx::TextAlign textAlign(int flags)
{
    gfx::TextAlign align;
    const int horizontal = flags & 0x6, vertical = flags & 0x18;
    align.horizontal = horizontal == 0x6 ? gfx::TextAlignH::Center
        : horizontal == 0x2              ? gfx::TextAlignH::Right
                                         : gfx::TextAlignH::Left;
    align.vertical = vertical == 0x18 ? gfx::TextAlignV::Baseline
        : vertical == 0x8             ? gfx::TextAlignV::Bottom
                                      : gfx::TextAlignV::Top;
    align.updatePosition = (flags & 0x1) != 0;
    return align;
}

} // namespace

// Text takes the selected font scaled by the mapping (a negative height sizes the em, a positive one the
// cell), turned by its escapement plus the turn of the world transform, in the text colour, placed by the
// text alignment. The opaque box is filled with the background colour even when there is no text.
void Player::text(Values v)
{
    prepare();
    const std::string& content = m_file.texts[static_cast<std::size_t>(v[7])];
    const int options = v[2];
    const gfx::Rect box = [&] {
        const gfx::Point a = pixelOf(v[3], v[4]), b = pixelOf(v[5], v[6]);
        return gfx::Rect{a.x, a.y, b.x, b.y}.normalized();
    }();
    if (options & kOpaqueBox) {
        gfx::Brush brush = std::move(m_canvas.brush);
        m_canvas.brush = gfx::Brush{};
        m_canvas.brush.setColor(m_dc.bkColor);
        m_canvas.fillRect(box);
        m_canvas.brush = std::move(brush);
    }
    if (content.empty())
        return;

    const FontObject& f = m_dc.font;
    gfx::Font& font = m_canvas.font;
    font = gfx::Font{};
    if (!f.face.empty())
        font.name = f.face;
    const int height = std::max(1, static_cast<int>(std::lround(lengthY(f.height))));
    if (f.height < 0)
        font.emHeight = height;
    else if (f.height > 0)
        font.cellHeight = height;
    else
        font.emHeight = kDefaultEmPixels;
    font.bold = f.weight >= 600;
    font.italic = f.italic;
    font.underline = f.underline;
    font.strikeOut = f.strikeOut;
    font.color = m_dc.textColor;
    const double turn = std::atan2(-m_transform.m12, m_transform.m11) * 1800 / M_PI;
    font.angle = static_cast<int>(std::lround(std::fmod(f.escapement + turn, 3600.0)));
    m_canvas.textAlign = textAlign(m_dc.textAlign);

    std::optional<gfx::ClipRegion> saved;
    if (options & kClippedBox) {
        saved = m_canvas.clip();
        m_canvas.intersectClip(box);
    }
    const gfx::Point at = pixelOf(v[0], v[1]);
    m_canvas.penPos = pixel(toDevice(m_dc.position));
    m_canvas.textOut(at.x, at.y, content);
    if (m_canvas.textAlign.updatePosition) {
        if (const std::optional<Affine> back = m_transform.inverted())
            m_dc.position = back->apply({double(m_canvas.penPos.x), double(m_canvas.penPos.y)});
    }
    if (options & kClippedBox)
        m_canvas.setClip(std::move(saved));
}

} // namespace daubix::io::detail
