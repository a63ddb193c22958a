#pragma once

#include <cstddef>
#include <cstdint>

namespace daubix::gfx {

// A zero-filled block of pixel bytes with value semantics (copying copies the bytes). A block the size
// of a full image is aligned to and advised as 2 MiB pages: this program makes a fresh image-sized bitmap
// for nearly every command, and touching it one 4 KiB page at a time costs several times what the
// command's own work on the pixels does. Copies are plain memory copies, and assigning a block of the
// same size reuses the memory.
class PixelBuffer {
public:
    PixelBuffer() = default;
    explicit PixelBuffer(std::size_t size);
    PixelBuffer(const PixelBuffer& other);
    PixelBuffer(PixelBuffer&& other) noexcept;
    PixelBuffer& operator=(const PixelBuffer& other);
    PixelBuffer& operator=(PixelBuffer&& other) noexcept;
    ~PixelBuffer();

    std::uint8_t* data() { return m_data; }
    const std::uint8_t* data() const { return m_data; }
    std::size_t size() const { return m_size; }

private:
    std::uint8_t* m_data = nullptr;
    std::size_t m_size = 0;
};

} // namespace daubix::gfx
