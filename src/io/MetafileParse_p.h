#pragma once

// Internals shared by the WMF and EMF readers: bounded little-endian reads, the record writer and the
// refusal messages.

#include "io/ByteView.h"
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

using Bytes = ByteView;

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
