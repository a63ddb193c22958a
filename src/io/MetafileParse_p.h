#pragma once

// Internals shared by the WMF and EMF readers: bounded little-endian reads, the record writer and the
// refusal messages.

#include "io/Metafile.h"

#include <bit>
#include <cstddef>
#include <cstdint>
#include <initializer_list>
#include <optional>
#include <span>
#include <string>

namespace daubix::io::detail {

// More records than this are refused: far more than any drawing needs, and it bounds the replay.
constexpr std::uint64_t kMaxRecords = 1'000'000;

gfx::Error damaged(const std::string& what);
// "a NAME record is too short for its numbers"
gfx::Error tooShort(const char* name);

// Little-endian numbers at offsets within a span; the caller checks the span's size first with has().
class Bytes {
public:
    explicit Bytes(std::span<const std::uint8_t> data)
        : m_data(data)
    {
    }
    std::size_t size() const { return m_data.size(); }
    // Whether count bytes from offset lie inside, in 64-bit arithmetic.
    bool has(std::uint64_t offset, std::uint64_t count) const
    {
        return offset <= m_data.size() && count <= m_data.size() - offset;
    }
    std::span<const std::uint8_t> sub(std::size_t offset, std::size_t count) const
    {
        return m_data.subspan(offset, count);
    }
    std::uint8_t u8(std::size_t at) const { return m_data[at]; }
    std::uint16_t u16(std::size_t at) const { return static_cast<std::uint16_t>(m_data[at] | (m_data[at + 1] << 8)); }
    std::int16_t i16(std::size_t at) const { return static_cast<std::int16_t>(u16(at)); }
    std::uint32_t u32(std::size_t at) const
    {
        return static_cast<std::uint32_t>(u16(at)) | (static_cast<std::uint32_t>(u16(at + 2)) << 16);
    }
    std::int32_t i32(std::size_t at) const { return static_cast<std::int32_t>(u32(at)); }

private:
    std::span<const std::uint8_t> m_data;
};

// Appends checked records to a metafile.
class RecordWriter {
public:
    explicit RecordWriter(Metafile& m)
        : m_file(m)
    {
    }
    void add(MetafileOp op, std::initializer_list<std::int32_t> values);
    // A record whose numbers follow with push().
    void begin(MetafileOp op);
    void push(std::int32_t value);
    std::int32_t text(std::string utf8);
    // Copies an info header and its bits into the bitmap pool, side by side; gives offset and size.
    std::pair<std::int32_t, std::int32_t> dib(std::span<const std::uint8_t> info, std::span<const std::uint8_t> bits);

private:
    Metafile& m_file;
};

std::string latin1ToUtf8(std::span<const std::uint8_t> text);
// Little-endian UTF-16; unpaired surrogates become U+FFFD.
std::string utf16ToUtf8(std::span<const std::uint8_t> text);

// The picture size, refused when absent or absurd.
std::optional<gfx::Error> checkSize(double width, double height, MetafileSize& size);

gfx::Result<Metafile> parseWmf(std::span<const std::uint8_t> data);
gfx::Result<Metafile> parseEmf(std::span<const std::uint8_t> data);
bool looksLikeWmf(std::span<const std::uint8_t> data);
bool looksLikeEmf(std::span<const std::uint8_t> data);

} // namespace daubix::io::detail
