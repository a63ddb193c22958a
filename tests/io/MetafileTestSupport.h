#pragma once

#include "gfx/Canvas.h"
#include "io/BmpCodec.h"
#include "io/Metafile.h"
#include "io/MetafileBuilder.h"

#include <functional>
#include <gtest/gtest.h>
#include <span>

namespace daubix::test {

// The picture a metafile replays to, on a white bitmap of its size.
inline gfx::Bitmap replayed(const Bytes& file)
{
    const auto m = io::parseMetafile(file);
    if (!m) {
        ADD_FAILURE() << m.error();
        return {};
    }
    gfx::Bitmap picture(m->size.width, m->size.height);
    io::replayMetafile(m.value(), picture);
    return picture;
}

// The same figures drawn directly: a canvas in the state replay starts from (the canvas's own
// defaults, but a background that is opaque white rather than taken from the brush).
inline gfx::Bitmap drawn(int width, int height, const std::function<void(gfx::Canvas&)>& draw)
{
    gfx::Bitmap picture(width, height);
    gfx::Canvas canvas(picture);
    canvas.backgroundMode = gfx::BackgroundMode::Opaque;
    draw(canvas);
    return picture;
}

inline std::string refusal(const Bytes& file)
{
    const auto m = io::parseMetafile(file);
    return m ? std::string("accepted") : m.error();
}

// EMF point lists: the bounds (left unset), the count, the points in 16 or 32 bits.
inline Bytes emfPoints(std::initializer_list<gfx::Point> points, bool small)
{
    Bytes p(16, 0);
    put32(p, static_cast<std::int64_t>(points.size()));
    for (const gfx::Point& pt : points) {
        if (small) {
            put16(p, pt.x);
            put16(p, pt.y);
        } else {
            put32(p, pt.x);
            put32(p, pt.y);
        }
    }
    return p;
}

// WMF point lists: the count, then x, y pairs.
inline Bytes wmfPoints(std::initializer_list<gfx::Point> points)
{
    Bytes p;
    put16(p, static_cast<int>(points.size()));
    for (const gfx::Point& pt : points) {
        put16(p, pt.x);
        put16(p, pt.y);
    }
    return p;
}

// EXTTEXTOUTW of the text at (x, y), options and box as given.
inline Bytes emfText(int x, int y, const std::u16string& text, int options = 0, gfx::Rect box = {})
{
    Bytes p(16, 0);
    put32(p, 1); // graphics mode
    putFloat(p, 1);
    putFloat(p, 1);
    for (const std::int64_t v :
        {x, y, static_cast<int>(text.size()), 76, options, box.left, box.top, box.right, box.bottom, 0})
        put32(p, v);
    for (const char16_t c : text)
        put16(p, c);
    return p;
}

// EXTCREATEFONTINDIRECTW into a slot: height, weight and face.
inline Bytes emfFont(int slot, int height, int weight, const std::u16string& face, int escapement = 0)
{
    Bytes p;
    for (const std::int64_t v : {slot, height, 0, escapement, escapement, weight})
        put32(p, v);
    for (int i = 0; i < 8; ++i)
        p.push_back(0);
    for (std::size_t i = 0; i < 32; ++i)
        put16(p, i < face.size() ? face[i] : 0);
    return p;
}

// STRETCHDIBITS of a DIB (info header of 40 bytes, no colour table) into the destination box.
inline Bytes emfStretchDib(gfx::Rect dest, gfx::Rect source, const Bytes& dib, std::uint32_t rop = 0x00CC0020)
{
    Bytes p(16, 0);
    const std::int64_t bits = 80, infoSize = 40;
    for (const std::int64_t v : {static_cast<std::int64_t>(dest.left), static_cast<std::int64_t>(dest.top),
             static_cast<std::int64_t>(source.left), static_cast<std::int64_t>(source.top), source.width(),
             source.height(), bits, infoSize, bits + infoSize, static_cast<std::int64_t>(dib.size()) - infoSize,
             std::int64_t{0}, static_cast<std::int64_t>(rop), dest.width(), dest.height()})
        put32(p, v);
    p.insert(p.end(), dib.begin(), dib.end());
    return p;
}

} // namespace daubix::test
