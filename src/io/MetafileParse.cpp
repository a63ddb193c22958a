#include "app/Arithmetic.h"
#include "io/MetafileParse_p.h"

#include <cmath>

namespace daubix::io {

namespace detail {

gfx::Error damaged(const std::string& what)
{
    return {"The metafile is damaged (" + what + ")."};
}

gfx::Error tooShort(const char* name)
{
    return damaged(std::string("a ") + name + " record is too short for its numbers");
}

void RecordWriter::add(MetafileOp op, std::initializer_list<std::int32_t> values)
{
    begin(op);
    for (const std::int32_t v : values)
        push(v);
}

void RecordWriter::begin(MetafileOp op)
{
    m_file.records.push_back({op, static_cast<std::uint32_t>(m_file.values.size()), 0});
}

void RecordWriter::push(std::int32_t value)
{
    m_file.values.push_back(value);
    ++m_file.records.back().count;
}

std::int32_t RecordWriter::text(std::string utf8)
{
    m_file.texts.push_back(std::move(utf8));
    return static_cast<std::int32_t>(m_file.texts.size() - 1);
}

std::pair<std::int32_t, std::int32_t> RecordWriter::dib(
    std::span<const std::uint8_t> info, std::span<const std::uint8_t> bits)
{
    const auto offset = static_cast<std::int32_t>(m_file.dibs.size());
    m_file.dibs.insert(m_file.dibs.end(), info.begin(), info.end());
    m_file.dibs.insert(m_file.dibs.end(), bits.begin(), bits.end());
    return {offset, static_cast<std::int32_t>(info.size() + bits.size())};
}

namespace {

void appendUtf8(std::string& out, char32_t c)
{
    if (c < 0x80) {
        out += static_cast<char>(c);
    } else if (c < 0x800) {
        out += static_cast<char>(0xC0 | (c >> 6));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else if (c < 0x10000) {
        out += static_cast<char>(0xE0 | (c >> 12));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (c >> 18));
        out += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    }
}

} // namespace

std::string latin1ToUtf8(std::span<const std::uint8_t> text)
{
    std::string out;
    for (const std::uint8_t c : text)
        appendUtf8(out, c);
    return out;
}

std::string utf16ToUtf8(std::span<const std::uint8_t> text)
{
    std::string out;
    const Bytes b(text);
    for (std::size_t i = 0; i + 1 < text.size(); i += 2) {
        const char32_t unit = b.u16(i);
        if (unit >= 0xD800 && unit < 0xDC00 && i + 3 < text.size()) {
            const char32_t low = b.u16(i + 2);
            if (low >= 0xDC00 && low < 0xE000) {
                appendUtf8(out, 0x10000 + ((unit - 0xD800) << 10) + (low - 0xDC00));
                i += 2;
                continue;
            }
        }
        appendUtf8(out, unit >= 0xD800 && unit < 0xE000 ? 0xFFFD : unit);
    }
    return out;
}

std::optional<gfx::Error> checkSize(double width, double height, MetafileSize& size)
{
    if (!std::isfinite(width) || !std::isfinite(height))
        return gfx::Error{"The metafile has no size."};
    // Sizes beyond 2^31 are absurd whatever the rounding; clamping first keeps the rounding in range.
    const int w = std::max(1, app::roundHalfEven(std::min(std::abs(width), 4e9)));
    const int h = std::max(1, app::roundHalfEven(std::min(std::abs(height), 4e9)));
    if (!gfx::Bitmap::isSaneSize(w, h))
        return gfx::Error{
            "The metafile's picture is too large (" + std::to_string(w) + " x " + std::to_string(h) + " pixels)."};
    size = {w, h};
    return std::nullopt;
}

} // namespace detail

gfx::Result<Metafile> parseMetafile(std::span<const std::uint8_t> data)
{
    if (data.size() >= (std::size_t{1} << 31))
        return gfx::Error{"The metafile is too large."};
    if (detail::looksLikeEmf(data))
        return detail::parseEmf(data);
    if (detail::looksLikeWmf(data))
        return detail::parseWmf(data);
    return gfx::Error{"Not a metafile."};
}

} // namespace daubix::io
