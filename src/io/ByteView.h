#pragma once

#include <cstddef>
#include <cstdint>
#include <span>

namespace daubix::io {

// Little-endian numbers at offsets within a span; the caller checks the span's size first with has().
class ByteView {
public:
    explicit ByteView(std::span<const std::uint8_t> data)
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

} // namespace daubix::io
