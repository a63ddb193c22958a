#include "gfx/PixelMemory.h"

#include <cstring>
#include <new>
#include <sys/mman.h>
#include <utility>

namespace daubix::gfx {

namespace {

constexpr std::size_t kLargePage = std::size_t{2} << 20;
// Below this the rounding to whole large pages would waste more than an eighth of the block.
constexpr std::size_t kLargeBlock = std::size_t{16} << 20;

std::size_t mappedSize(std::size_t size)
{
    return (size + kLargePage - 1) / kLargePage * kLargePage;
}

// Large blocks are mapped directly: fresh mappings read as zero, so they need no clearing pass, and
// each is aligned to a large page by trimming what lies before and after it.
std::uint8_t* allocate(std::size_t size)
{
    if (size == 0)
        return nullptr;
    if (size < kLargeBlock)
        return static_cast<std::uint8_t*>(::operator new(size));
    const std::size_t length = mappedSize(size);
    void* mapped = mmap(nullptr, length + kLargePage, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
    if (mapped == MAP_FAILED)
        throw std::bad_alloc();
    auto* base = static_cast<std::uint8_t*>(mapped);
    const std::size_t lead = (kLargePage - reinterpret_cast<std::uintptr_t>(base) % kLargePage) % kLargePage;
    if (lead > 0)
        munmap(base, lead);
    munmap(base + lead + length, kLargePage - lead);
#ifdef MADV_HUGEPAGE
    // Only advice: where the kernel keeps large pages off, the block works as ordinary pages.
    madvise(base + lead, length, MADV_HUGEPAGE);
#endif
    return base + lead;
}

void release(std::uint8_t* block, std::size_t size)
{
    if (!block)
        return;
    if (size < kLargeBlock)
        ::operator delete(block);
    else
        munmap(block, mappedSize(size));
}

} // namespace

PixelBuffer::PixelBuffer(std::size_t size)
    : m_data(allocate(size))
    , m_size(size)
{
    if (m_data && size < kLargeBlock)
        std::memset(m_data, 0, size);
}

PixelBuffer::PixelBuffer(const PixelBuffer& other)
    : m_data(allocate(other.m_size))
    , m_size(other.m_size)
{
    if (m_data)
        std::memcpy(m_data, other.m_data, m_size);
}

PixelBuffer::PixelBuffer(PixelBuffer&& other) noexcept
    : m_data(std::exchange(other.m_data, nullptr))
    , m_size(std::exchange(other.m_size, 0))
{
}

PixelBuffer& PixelBuffer::operator=(const PixelBuffer& other)
{
    if (this == &other)
        return *this;
    if (m_size != other.m_size)
        *this = PixelBuffer(other);
    else if (m_data)
        std::memcpy(m_data, other.m_data, m_size);
    return *this;
}

PixelBuffer& PixelBuffer::operator=(PixelBuffer&& other) noexcept
{
    if (this != &other) {
        release(m_data, m_size);
        m_data = std::exchange(other.m_data, nullptr);
        m_size = std::exchange(other.m_size, 0);
    }
    return *this;
}

PixelBuffer::~PixelBuffer()
{
    release(m_data, m_size);
}

} // namespace daubix::gfx
