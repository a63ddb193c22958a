#pragma once

// Small metafiles assembled byte by byte in the tests, from the published record layouts.

#include <bit>
#include <cstdint>
#include <initializer_list>
#include <string>
#include <vector>

namespace daubix::test {

using Bytes = std::vector<std::uint8_t>;

inline void put16(Bytes& out, int v)
{
    out.push_back(static_cast<std::uint8_t>(v));
    out.push_back(static_cast<std::uint8_t>(v >> 8));
}
inline void put32(Bytes& out, std::int64_t v)
{
    put16(out, static_cast<int>(v & 0xFFFF));
    put16(out, static_cast<int>((v >> 16) & 0xFFFF));
}
inline void putFloat(Bytes& out, float f)
{
    put32(out, std::bit_cast<std::uint32_t>(f));
}

// A WMF: records of 16-bit words (in file order, which for coordinates is last argument first).
class Wmf {
public:
    Wmf& record(int function, std::initializer_list<int> words)
    {
        Bytes params;
        for (const int w : words)
            put16(params, w);
        return raw(function, params);
    }
    Wmf& raw(int function, const Bytes& params)
    {
        put32(m_records, 3 + static_cast<std::int64_t>((params.size() + 1) / 2));
        put16(m_records, function);
        m_records.insert(m_records.end(), params.begin(), params.end());
        if (params.size() % 2)
            m_records.push_back(0);
        return *this;
    }
    // Records with a 32-bit value first (colours, raster operations), then words.
    Wmf& record32(int function, std::uint32_t first, std::initializer_list<int> words)
    {
        Bytes params;
        put32(params, first);
        for (const int w : words)
            put16(params, w);
        return raw(function, params);
    }

    Wmf& windowExt(int x, int y) { return record(0x020C, {y, x}); }
    Wmf& windowOrg(int x, int y) { return record(0x020B, {y, x}); }
    Wmf& viewportExt(int x, int y) { return record(0x020E, {y, x}); }
    Wmf& viewportOrg(int x, int y) { return record(0x020D, {y, x}); }
    Wmf& mapMode(int mode) { return record(0x0103, {mode}); }
    Wmf& moveTo(int x, int y) { return record(0x0214, {y, x}); }
    Wmf& lineTo(int x, int y) { return record(0x0213, {y, x}); }
    Wmf& rectangle(int l, int t, int r, int b) { return record(0x041B, {b, r, t, l}); }
    Wmf& ellipse(int l, int t, int r, int b) { return record(0x0418, {b, r, t, l}); }
    Wmf& pen(int style, int width, std::uint32_t color)
    {
        Bytes p;
        put16(p, style);
        put16(p, width);
        put16(p, 0);
        put32(p, color);
        return raw(0x02FA, p);
    }
    Wmf& brush(int style, std::uint32_t color, int hatch)
    {
        Bytes p;
        put16(p, style);
        put32(p, color);
        put16(p, hatch);
        return raw(0x02FC, p);
    }
    Wmf& select(int index) { return record(0x012D, {index}); }
    Wmf& remove(int index) { return record(0x01F0, {index}); }

    // The standard header with the object count, optionally behind a placeable header, then the
    // records and the end record.
    Bytes bytes(int objects = 16) const { return assemble(false, 0, 0, 0, 0, 0, objects); }
    Bytes placeable(int l, int t, int r, int b, int inch, int objects = 16) const
    {
        return assemble(true, l, t, r, b, inch, objects);
    }

private:
    Bytes assemble(bool placeable, int l, int t, int r, int b, int inch, int objects) const
    {
        Bytes out;
        if (placeable) {
            put32(out, 0x9AC6CDD7);
            put16(out, 0);
            for (const int v : {l, t, r, b, inch})
                put16(out, v);
            put32(out, 0);
            put16(out, 0);
        }
        const std::int64_t words = 9 + static_cast<std::int64_t>(m_records.size() / 2) + 3;
        for (const int v : {1, 9, 0x0300})
            put16(out, v);
        put32(out, words);
        put16(out, objects);
        put32(out, 0);
        put16(out, 0);
        out.insert(out.end(), m_records.begin(), m_records.end());
        put32(out, 3);
        put16(out, 0);
        return out;
    }

    Bytes m_records;
};

// An EMF: records of 32-bit values after their type and size.
class Emf {
public:
    Emf& record(int type, std::initializer_list<std::int64_t> values)
    {
        Bytes params;
        for (const std::int64_t v : values)
            put32(params, v);
        return raw(type, params);
    }
    Emf& raw(int type, const Bytes& params)
    {
        put32(m_records, type);
        put32(m_records, 8 + static_cast<std::int64_t>((params.size() + 3) / 4 * 4));
        m_records.insert(m_records.end(), params.begin(), params.end());
        while (m_records.size() % 4)
            m_records.push_back(0);
        return *this;
    }

    // The header: bounds in device pixels and the frame in hundredths of a millimetre (both
    // inclusive), a reference device of 96 dots per inch; then the records and the end record.
    Bytes bytes(std::initializer_list<int> bounds, std::initializer_list<int> frame, int handles = 16) const
    {
        Bytes out;
        put32(out, 1);
        put32(out, 88);
        for (const int v : bounds)
            put32(out, v);
        for (const int v : frame)
            put32(out, v);
        put32(out, 0x464D4520);
        put32(out, 0x10000);
        put32(out, 0); // total size, not checked
        put32(out, 0);
        put16(out, handles);
        put16(out, 0);
        for (const int v : {0, 0, 0, 960, 960, 254, 254})
            put32(out, v);
        out.insert(out.end(), m_records.begin(), m_records.end());
        for (const int v : {14, 20, 0, 0, 20})
            put32(out, v);
        return out;
    }
    // A picture of w x h pixels whose device units are its pixels.
    Bytes pixels(int w, int h, int handles = 16) const { return bytes({0, 0, w - 1, h - 1}, {0, 0, 0, 0}, handles); }

private:
    Bytes m_records;
};

// A bottom-up 24-bit BITMAPINFO with its bits, from rows given top first as 0x00BBGGRR colours.
inline Bytes dib24(const std::vector<std::vector<std::uint32_t>>& rows)
{
    Bytes out;
    const int w = static_cast<int>(rows[0].size()), h = static_cast<int>(rows.size());
    for (const std::int64_t v : {40, w, h})
        put32(out, v);
    put16(out, 1);
    put16(out, 24);
    for (int i = 0; i < 6; ++i)
        put32(out, 0);
    for (int y = h - 1; y >= 0; --y) {
        for (const std::uint32_t c : rows[static_cast<std::size_t>(y)]) {
            out.push_back(static_cast<std::uint8_t>(c >> 16));
            out.push_back(static_cast<std::uint8_t>(c >> 8));
            out.push_back(static_cast<std::uint8_t>(c));
        }
        while (out.size() % 4)
            out.push_back(0);
    }
    return out;
}

} // namespace daubix::test
