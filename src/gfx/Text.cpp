#include "gfx/Text.h"

#include "gfx/Raster_p.h"

#include <fontconfig/fontconfig.h>
#include <ft2build.h>
#include FT_FREETYPE_H
#include FT_OUTLINE_H
#include FT_TRUETYPE_TABLES_H

#include <cmath>
#include <map>
#include <memory>
#include <mutex>
#include <tuple>

namespace daubix::gfx {

namespace {

// Far beyond any useful text; keeps an absurd size from asking FreeType for gigabyte glyphs.
constexpr long kMaxEmPixels = 4096;

// One FreeType library and the faces opened so far, for the whole run: fonts are looked up by name
// once and opened once.
class FontLibrary {
public:
    static FontLibrary& instance()
    {
        static FontLibrary library;
        return library;
    }

    std::mutex mutex;

    std::pair<std::string, int> resolve(const Font& font)
    {
        const auto key = std::make_tuple(font.name, font.bold, font.italic);
        if (const auto it = m_resolved.find(key); it != m_resolved.end())
            return it->second;
        std::pair<std::string, int> result{"", 0};
        if (FcPattern* pattern = FcPatternCreate()) {
            FcPatternAddString(pattern, FC_FAMILY, reinterpret_cast<const FcChar8*>(font.name.c_str()));
            FcPatternAddInteger(pattern, FC_WEIGHT, font.bold ? FC_WEIGHT_BOLD : FC_WEIGHT_REGULAR);
            FcPatternAddInteger(pattern, FC_SLANT, font.italic ? FC_SLANT_ITALIC : FC_SLANT_ROMAN);
            FcPatternAddBool(pattern, FC_SCALABLE, FcTrue);
            FcConfigSubstitute(nullptr, pattern, FcMatchPattern);
            FcDefaultSubstitute(pattern);
            FcResult status = FcResultNoMatch;
            if (FcPattern* match = FcFontMatch(nullptr, pattern, &status)) {
                FcChar8* file = nullptr;
                int index = 0;
                if (FcPatternGetString(match, FC_FILE, 0, &file) == FcResultMatch)
                    result.first = reinterpret_cast<const char*>(file);
                FcPatternGetInteger(match, FC_INDEX, 0, &index);
                result.second = index;
                FcPatternDestroy(match);
            }
            FcPatternDestroy(pattern);
        }
        m_resolved[key] = result;
        return result;
    }

    // The face for the font at its pixel size, or null when no font file could be opened.
    FT_Face face(const Font& font)
    {
        if (!m_library)
            return nullptr;
        const auto [file, index] = resolve(font);
        if (file.empty())
            return nullptr;
        FT_Face& face = m_faces[{file, index}];
        if (!face && FT_New_Face(m_library, file.c_str(), index, &face) != 0) {
            face = nullptr;
            return nullptr;
        }
        long em = std::lround(std::abs(static_cast<double>(font.size)) * 96.0 / 72.0);
        if (font.emHeight > 0)
            em = font.emHeight;
        if (font.cellHeight > 0) {
            // Chosen by cell: the em that makes ascent plus descent as tall as asked.
            const auto* os2 = static_cast<const TT_OS2*>(FT_Get_Sfnt_Table(face, FT_SFNT_OS2));
            const double cell = os2 && os2->usWinAscent + os2->usWinDescent > 0
                ? os2->usWinAscent + os2->usWinDescent
                : static_cast<double>(face->ascender - face->descender);
            em = cell > 0 ? std::lround(font.cellHeight * static_cast<double>(face->units_per_EM) / cell)
                          : font.cellHeight;
        }
        const auto pixels = static_cast<FT_UInt>(std::clamp(em, 1L, kMaxEmPixels));
        if (FT_Set_Pixel_Sizes(face, 0, pixels) != 0)
            return nullptr;
        return face;
    }

private:
    FontLibrary()
    {
        FcInit();
        if (FT_Init_FreeType(&m_library) != 0)
            m_library = nullptr;
    }
    ~FontLibrary()
    {
        for (auto& [key, face] : m_faces)
            if (face)
                FT_Done_Face(face);
        if (m_library)
            FT_Done_FreeType(m_library);
        FcFini();
    }

    FT_Library m_library = nullptr;
    std::map<std::tuple<std::string, bool, bool>, std::pair<std::string, int>> m_resolved;
    std::map<std::pair<std::string, int>, FT_Face> m_faces;
};

// Decodes UTF-8; malformed bytes stand for themselves (Latin-1), so no text is ever refused.
std::vector<char32_t> codePoints(std::string_view text)
{
    std::vector<char32_t> out;
    for (std::size_t i = 0; i < text.size();) {
        const auto c = static_cast<unsigned char>(text[i]);
        int extra = c >= 0xF0 ? 3 : c >= 0xE0 ? 2 : c >= 0xC0 ? 1 : 0;
        char32_t cp = extra == 3 ? c & 0x07 : extra == 2 ? c & 0x0F : extra == 1 ? c & 0x1F : c;
        bool ok = c < 0x80 || extra > 0;
        for (int k = 1; ok && k <= extra; ++k) {
            if (i + k >= text.size() || (static_cast<unsigned char>(text[i + k]) & 0xC0) != 0x80)
                ok = false;
            else
                cp = (cp << 6) | (static_cast<unsigned char>(text[i + k]) & 0x3F);
        }
        if (!ok) {
            out.push_back(c);
            ++i;
            continue;
        }
        out.push_back(cp);
        i += static_cast<std::size_t>(extra) + 1;
    }
    return out;
}

// Vertical metrics of the face at its size, in pixels: the cell from ascent above the baseline to
// descent below it, as the classic interface measures TrueType fonts (the Windows ascent and descent).
struct Metrics {
    int ascent = 0;
    int descent = 0;
    double underlinePosition = 0; // below the baseline
    double underlineThickness = 1;
    double strikeoutPosition = 0; // above the baseline
    double strikeoutThickness = 1;
};

Metrics metricsOf(FT_Face face)
{
    Metrics m;
    const double scale = face->size->metrics.y_ppem / static_cast<double>(face->units_per_EM);
    const auto* os2 = static_cast<const TT_OS2*>(FT_Get_Sfnt_Table(face, FT_SFNT_OS2));
    if (os2 && os2->usWinAscent + os2->usWinDescent > 0) {
        m.ascent = static_cast<int>(std::lround(os2->usWinAscent * scale));
        m.descent = static_cast<int>(std::lround(os2->usWinDescent * scale));
        m.strikeoutPosition = os2->yStrikeoutPosition * scale;
        m.strikeoutThickness = std::max(1.0, std::round(os2->yStrikeoutSize * scale));
    } else {
        m.ascent = static_cast<int>(std::ceil(face->size->metrics.ascender / 64.0));
        m.descent = static_cast<int>(std::ceil(-face->size->metrics.descender / 64.0));
        m.strikeoutPosition = m.ascent / 3.0;
    }
    m.underlinePosition = -face->underline_position * scale;
    m.underlineThickness = std::max(1.0, std::round(face->underline_thickness * scale));
    return m;
}

constexpr FT_Int32 kLoadFlags = FT_LOAD_DEFAULT | FT_LOAD_TARGET_MONO;

// Loads a glyph, making it bold or slanted when the face itself is not.
bool loadGlyph(FT_Face face, const Font& font, FT_UInt index, FT_Int32 flags)
{
    if (FT_Load_Glyph(face, index, flags) != 0)
        return false;
    FT_GlyphSlot slot = face->glyph;
    if (slot->format != FT_GLYPH_FORMAT_OUTLINE)
        return true;
    if (font.bold && !(face->style_flags & FT_STYLE_FLAG_BOLD))
        FT_Outline_Embolden(&slot->outline, face->size->metrics.y_ppem * 2); // 1/32 em, in 26.6
    if (font.italic && !(face->style_flags & FT_STYLE_FLAG_ITALIC)) {
        FT_Matrix shear{0x10000, 0x0366A, 0, 0x10000}; // about 12 degrees
        FT_Outline_Transform(&slot->outline, &shear);
    }
    return true;
}

// The pen advance of each character: the design advance at this size rounded to whole pixels, as the
// classic interface spaces TrueType text.
std::vector<int> advances(FT_Face face, const Font& font, const std::vector<char32_t>& text)
{
    std::vector<int> out;
    for (char32_t c : text) {
        const FT_UInt index = FT_Get_Char_Index(face, c);
        int advance = 0;
        if (loadGlyph(face, font, index, kLoadFlags))
            advance = static_cast<int>((face->glyph->linearHoriAdvance + 0x8000) >> 16);
        if (font.bold && !(face->style_flags & FT_STYLE_FLAG_BOLD))
            advance += 1;
        out.push_back(advance);
    }
    return out;
}

// Where the text starts and which way it runs, for a cell whose top-left is (x, y).
struct Placement {
    double cos = 1;
    double sin = 0;
    double originX = 0; // the baseline origin
    double originY = 0;

    // A point given along the baseline (u) and downward across it (v), in image pixels.
    PointF at(double u, double v) const { return {originX + u * cos + v * sin, originY - u * sin + v * cos}; }
};

Placement place(const Font& font, int x, int y, int ascent)
{
    Placement p;
    const double radians = font.angle / 10.0 * M_PI / 180.0;
    p.cos = std::cos(radians);
    p.sin = std::sin(radians);
    p.originX = x;
    p.originY = y;
    const PointF o = p.at(0, ascent);
    p.originX = o.x;
    p.originY = o.y;
    return p;
}

// Paints the pixels a..b-1 of row y, only where the clip region (if any) allows.
void paintRun(detail::PixelWriter& writer, const ClipRegion* clip, int y, int a, int b)
{
    if (!clip)
        writer.span(y, a, b);
    else
        clip->forEachPart(y, a, b, [&](int x0, int x1) { writer.span(y, x0, x1); });
}

void fillQuad(
    Bitmap& target, const Placement& p, double u0, double v0, double u1, double v1, Color color, const ClipRegion* clip)
{
    const PointF quad[] = {p.at(u0, v0), p.at(u1, v0), p.at(u1, v1), p.at(u0, v1)};
    std::vector<detail::Span> spans = detail::polygonSpans(quad, target.height());
    detail::clipSpans(spans, target.width(), target.height());
    detail::PixelWriter writer(target, PenMode::Copy, color);
    for (const detail::Span& s : spans)
        paintRun(writer, clip, s.y, s.x0, s.x1);
}

} // namespace

std::string resolvedFontFile(const Font& font)
{
    FontLibrary& library = FontLibrary::instance();
    const std::lock_guard lock(library.mutex);
    return library.resolve(font).first;
}

TextExtent textExtent(const Font& font, std::string_view text)
{
    FontLibrary& library = FontLibrary::instance();
    const std::lock_guard lock(library.mutex);
    FT_Face face = library.face(font);
    if (!face)
        return {};
    const Metrics m = metricsOf(face);
    int width = 0;
    for (int a : advances(face, font, codePoints(text)))
        width += a;
    return {width, m.ascent + m.descent, m.ascent};
}

void drawText(Bitmap& target, const Font& font, int x, int y, std::string_view text, std::optional<Color> background,
    const ClipRegion* clip)
{
    FontLibrary& library = FontLibrary::instance();
    const std::lock_guard lock(library.mutex);
    FT_Face face = library.face(font);
    if (!face)
        return;
    const std::vector<char32_t> chars = codePoints(text);
    const std::vector<int> steps = advances(face, font, chars);
    const Metrics m = metricsOf(face);
    int width = 0;
    for (int a : steps)
        width += a;
    const Placement p = place(font, x, y, m.ascent);
    if (background)
        fillQuad(target, p, 0, -m.ascent, width, m.descent, *background, clip);

    const double radians = font.angle / 10.0 * M_PI / 180.0;
    FT_Matrix rotation{static_cast<FT_Fixed>(std::lround(std::cos(radians) * 0x10000)),
        static_cast<FT_Fixed>(std::lround(-std::sin(radians) * 0x10000)),
        static_cast<FT_Fixed>(std::lround(std::sin(radians) * 0x10000)),
        static_cast<FT_Fixed>(std::lround(std::cos(radians) * 0x10000))};
    detail::PixelWriter ink(target, PenMode::Copy, font.color);
    double u = 0;
    for (std::size_t i = 0; i < chars.size(); ++i) {
        const FT_UInt index = FT_Get_Char_Index(face, chars[i]);
        if (loadGlyph(face, font, index, kLoadFlags)) {
            FT_GlyphSlot slot = face->glyph;
            if (slot->format == FT_GLYPH_FORMAT_OUTLINE) {
                if (font.angle % 3600 != 0)
                    FT_Outline_Transform(&slot->outline, &rotation);
            }
            if (FT_Render_Glyph(slot, FT_RENDER_MODE_MONO) == 0) {
                const PointF origin = p.at(u, 0);
                const std::int64_t left = std::llround(origin.x) + slot->bitmap_left;
                const std::int64_t top = std::llround(origin.y) - slot->bitmap_top;
                const FT_Bitmap& bits = slot->bitmap;
                const bool visible
                    = left + bits.width > 0 && left < target.width() && top + bits.rows > 0 && top < target.height();
                // Runs of set bits go out as spans, so that a clip region cuts runs, not pixels.
                for (unsigned row = 0; visible && row < bits.rows; ++row) {
                    const unsigned char* line = bits.buffer + static_cast<std::ptrdiff_t>(row) * bits.pitch;
                    const std::int64_t y = top + row;
                    if (y < 0 || y >= target.height())
                        continue;
                    for (unsigned col = 0; col < bits.width;) {
                        if (!(line[col >> 3] & (0x80 >> (col & 7)))) {
                            ++col;
                            continue;
                        }
                        unsigned end = col + 1;
                        while (end < bits.width && (line[end >> 3] & (0x80 >> (end & 7))))
                            ++end;
                        const std::int64_t a = std::max<std::int64_t>(left + col, 0);
                        const std::int64_t b = std::min<std::int64_t>(left + end, target.width());
                        if (a < b)
                            paintRun(ink, clip, static_cast<int>(y), static_cast<int>(a), static_cast<int>(b));
                        col = end;
                    }
                }
            }
        }
        u += steps[i];
    }
    if (font.underline)
        fillQuad(target, p, 0, std::round(m.underlinePosition), width,
            std::round(m.underlinePosition) + m.underlineThickness, font.color, clip);
    if (font.strikeOut)
        fillQuad(target, p, 0, -std::round(m.strikeoutPosition), width,
            -std::round(m.strikeoutPosition) + m.strikeoutThickness, font.color, clip);
}

Contours textContours(const Font& font, int x, int y, std::string_view text)
{
    FontLibrary& library = FontLibrary::instance();
    const std::lock_guard lock(library.mutex);
    Contours contours;
    FT_Face face = library.face(font);
    if (!face)
        return contours;
    const std::vector<char32_t> chars = codePoints(text);
    const std::vector<int> steps = advances(face, font, chars);
    const Placement p = place(font, x, y, metricsOf(face).ascent);
    struct Walk {
        Contours* contours;
        const Placement* placement;
        double u;
        PointF last;
        PointF toImage(const FT_Vector* v) const { return placement->at(u + v->x / 64.0, -v->y / 64.0); }
    };
    FT_Outline_Funcs funcs{};
    funcs.move_to = [](const FT_Vector* to, void* user) {
        auto* w = static_cast<Walk*>(user);
        w->last = w->toImage(to);
        w->contours->push_back({w->last});
        return 0;
    };
    funcs.line_to = [](const FT_Vector* to, void* user) {
        auto* w = static_cast<Walk*>(user);
        w->last = w->toImage(to);
        w->contours->back().push_back(w->last);
        return 0;
    };
    funcs.conic_to = [](const FT_Vector* control, const FT_Vector* to, void* user) {
        auto* w = static_cast<Walk*>(user);
        const PointF a = w->last, c = w->toImage(control), b = w->toImage(to);
        for (int k = 1; k <= 8; ++k) {
            const double t = k / 8.0, s = 1 - t;
            w->contours->back().push_back(
                {s * s * a.x + 2 * s * t * c.x + t * t * b.x, s * s * a.y + 2 * s * t * c.y + t * t * b.y});
        }
        w->last = b;
        return 0;
    };
    funcs.cubic_to = [](const FT_Vector* c1, const FT_Vector* c2, const FT_Vector* to, void* user) {
        auto* w = static_cast<Walk*>(user);
        const PointF a = w->last, p1 = w->toImage(c1), p2 = w->toImage(c2), b = w->toImage(to);
        for (int k = 1; k <= 12; ++k) {
            const double t = k / 12.0, s = 1 - t;
            w->contours->back().push_back(
                {s * s * s * a.x + 3 * s * s * t * p1.x + 3 * s * t * t * p2.x + t * t * t * b.x,
                    s * s * s * a.y + 3 * s * s * t * p1.y + 3 * s * t * t * p2.y + t * t * t * b.y});
        }
        w->last = b;
        return 0;
    };
    Walk walk{&contours, &p, 0, {}};
    for (std::size_t i = 0; i < chars.size(); ++i) {
        if (loadGlyph(face, font, FT_Get_Char_Index(face, chars[i]), FT_LOAD_NO_BITMAP | FT_LOAD_NO_HINTING)
            && face->glyph->format == FT_GLYPH_FORMAT_OUTLINE)
            FT_Outline_Decompose(&face->glyph->outline, &funcs, &walk);
        walk.u += steps[i];
    }
    return contours;
}

} // namespace daubix::gfx
