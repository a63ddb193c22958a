#include "script/Highlighter.h"

#include "app/IniFile.h"
#include "app/TextCase.h"
#include "io/FileWriter.h"
#include "script/Literals.h"

#include <optional>

namespace daubix::script {

namespace {

constexpr std::uint64_t kMaxSettingsBytes = std::uint64_t{16} << 20;

std::string_view trim(std::string_view s)
{
    while (!s.empty() && (s.front() == ' ' || s.front() == '\t'))
        s.remove_prefix(1);
    while (!s.empty() && (s.back() == ' ' || s.back() == '\t'))
        s.remove_suffix(1);
    return s;
}

std::optional<std::int32_t> integerValue(const app::IniFile& ini, std::string_view section, std::string_view key)
{
    const std::optional<std::string> text = ini.value(section, key);
    return text ? integerLiteral(*text) : std::nullopt;
}

void readSwitch(const app::IniFile& ini, std::string_view section, std::string_view key, bool& on)
{
    if (const auto v = integerValue(ini, section, key))
        on = *v != 0;
}

void readColor(const app::IniFile& ini, std::string_view section, std::string_view key, gfx::Color& color)
{
    const std::optional<std::string> text = ini.value(section, key);
    if (!text)
        return;
    if (auto v = colorIdentifier(*text); v || (v = integerLiteral(*text)))
        color = static_cast<gfx::Color>(*v);
}

// "bold, italic", or "normal" for none. A word the list does not know makes the whole value unreadable,
// so a misspelt style keeps the old one rather than silently dropping the others.
void readStyle(const app::IniFile& ini, std::string_view section, TokenAttribute& attribute)
{
    const std::optional<std::string> text = ini.value(section, "Style");
    if (!text)
        return;
    TokenAttribute styled = attribute;
    styled.bold = styled.italic = styled.underline = false;
    bool any = false;
    std::string_view rest = *text;
    while (!rest.empty()) {
        const std::size_t comma = rest.find(',');
        const std::string_view item = trim(rest.substr(0, comma));
        rest = comma == std::string_view::npos ? std::string_view{} : rest.substr(comma + 1);
        if (item.empty())
            continue;
        if (app::sameIgnoringCase(item, "bold"))
            styled.bold = true;
        else if (app::sameIgnoringCase(item, "italic"))
            styled.italic = true;
        else if (app::sameIgnoringCase(item, "underline"))
            styled.underline = true;
        else if (!app::sameIgnoringCase(item, "normal"))
            return;
        any = true;
    }
    if (any)
        attribute = styled;
}

// Each line is one entry, the text before its "=" if it has one; only a section with entries replaces the list.
void readList(const app::IniFile& ini, std::string_view section, std::vector<std::string>& list)
{
    std::vector<std::string> entries;
    for (const std::string& line : ini.sectionLines(section)) {
        const std::string_view entry = trim(std::string_view(line).substr(0, line.find('=')));
        if (!entry.empty())
            entries.emplace_back(entry);
    }
    if (!entries.empty())
        list = std::move(entries);
}

// UTF-8, with any byte that does not start a well-formed sequence taken as Latin-1, so lists saved in
// an older single-byte encoding still match.
std::u16string utf16(std::string_view text)
{
    std::u16string out;
    out.reserve(text.size());
    for (std::size_t i = 0; i < text.size();) {
        const auto lead = static_cast<unsigned char>(text[i]);
        const int length = lead < 0x80 ? 1
            : (lead & 0xE0) == 0xC0    ? 2
            : (lead & 0xF0) == 0xE0    ? 3
            : (lead & 0xF8) == 0xF0    ? 4
                                       : 0;
        char32_t code = length == 1 ? lead : length == 2 ? lead & 0x1Fu : length == 3 ? lead & 0x0Fu : lead & 0x07u;
        bool ok = length > 0 && i + static_cast<std::size_t>(length) <= text.size();
        for (int k = 1; ok && k < length; ++k) {
            const auto trail = static_cast<unsigned char>(text[i + static_cast<std::size_t>(k)]);
            ok = (trail & 0xC0) == 0x80;
            code = (code << 6) | (trail & 0x3Fu);
        }
        constexpr char32_t kShortest[] = {0, 0, 0x80, 0x800, 0x10000};
        ok = ok && code >= kShortest[length] && code <= 0x10FFFF && (code < 0xD800 || code > 0xDFFF);
        if (!ok) {
            out += static_cast<char16_t>(lead);
            ++i;
            continue;
        }
        if (code >= 0x10000) {
            code -= 0x10000;
            out += static_cast<char16_t>(0xD800 + (code >> 10));
            out += static_cast<char16_t>(0xDC00 + (code & 0x3FF));
        } else {
            out += static_cast<char16_t>(code);
        }
        i += static_cast<std::size_t>(length);
    }
    return out;
}

char16_t folded(char16_t c)
{
    const bool upper = (c >= u'A' && c <= u'Z') || (c >= 0xC0 && c <= 0xDE && c != 0xD7);
    return upper ? static_cast<char16_t>(c + 32) : c;
}

bool isNumber(std::u16string_view word)
{
    const auto allDigits = [](std::u16string_view s, bool hex) {
        if (s.empty())
            return false;
        for (const char16_t c : s)
            if (!((c >= u'0' && c <= u'9') || (hex && ((c >= u'a' && c <= u'f') || (c >= u'A' && c <= u'F')))))
                return false;
        return true;
    };
    if (word.size() > 1 && word[0] == u'$')
        return allDigits(word.substr(1), true);
    if (word.size() > 2 && word[0] == u'0' && (word[1] == u'x' || word[1] == u'X'))
        return allDigits(word.substr(2), true);
    if (word.size() > 1 && (word[0] == u'+' || word[0] == u'-'))
        word.remove_prefix(1);
    return allDigits(word, false);
}

// The line state: which comment is still open. Line comments never carry over.
constexpr int kNothingOpen = 0;
constexpr int kAnsiOpen = 1;
constexpr int kPasOpen = 2;
constexpr int kCOpen = 3;
constexpr int kEntityOpen = 4;
constexpr int kStateCount = 5;
constexpr int kToLineEnd = kStateCount; // what an opener of a line comment leaves: nothing beyond the line
constexpr std::array<std::u16string_view, kStateCount> kClosers = {u"", u"*)", u"}", u"*/", u"-->"};

struct Opener {
    int length = 0; // 0: no comment starts here
    int state = kNothingOpen;
};

Opener commentAt(const HighlighterSettings& s, std::u16string_view line, std::size_t i)
{
    const auto next = [&](std::size_t k) { return i + k < line.size() ? line[i + k] : u'\0'; };
    switch (line[i]) {
    case u'(':
        if (s.hasComments(CommentStyle::Ansi) && next(1) == u'*')
            return {2, kAnsiOpen};
        break;
    case u'{':
        if (s.hasComments(CommentStyle::Pas))
            return {1, kPasOpen};
        break;
    case u'/':
        if (s.hasComments(CommentStyle::C) && next(1) == u'*')
            return {2, kCOpen};
        if (s.hasComments(CommentStyle::C) && next(1) == u'/')
            return {2, kToLineEnd};
        break;
    case u';':
        if (s.hasComments(CommentStyle::Asm))
            return {1, kToLineEnd};
        break;
    case u'\'':
        if (s.hasComments(CommentStyle::Bas) || s.hasComments(CommentStyle::Vb))
            return {1, kToLineEnd};
        break;
    case u'<':
        if (s.hasComments(CommentStyle::Entity) && line.substr(i).starts_with(u"<!--"))
            return {4, kEntityOpen};
        break;
    default:
        break;
    }
    return {};
}

// Where the open comment ends: just past its closer, searched from a position on; npos while it stays open.
std::size_t commentEnd(std::u16string_view line, std::size_t from, int open)
{
    const std::u16string_view closer = kClosers[static_cast<std::size_t>(open)];
    const std::size_t at = line.find(closer, from);
    return at == std::u16string_view::npos ? at : at + closer.size();
}

} // namespace

HighlighterSettings::HighlighterSettings()
{
    for (int c = 33; c <= 255; ++c)
        wordChars.set(static_cast<std::size_t>(c));
    attribute(TokenKind::Comment) = {false, true, false, gfx::clNone, gfx::clGray};
    attribute(TokenKind::Constant).foreground = gfx::clTeal;
    attribute(TokenKind::Key) = {true, false, false, gfx::clNone, gfx::clNavy};
    attribute(TokenKind::Number).foreground = gfx::clMaroon;
    attribute(TokenKind::String).foreground = gfx::clPurple;
    attribute(TokenKind::Entity).foreground = gfx::clGreen;
    attribute(TokenKind::Variable).foreground = gfx::clOlive;
    attribute(TokenKind::Dot).foreground = gfx::clRed;
}

HighlighterSettings readHighlighterSettings(std::string_view text, HighlighterSettings start)
{
    if (text.starts_with("\xEF\xBB\xBF"))
        text.remove_prefix(3);
    const app::IniFile ini = app::IniFile::parse(text);
    HighlighterSettings s = std::move(start);
    for (std::size_t k = 0; k < kTokenKindNames.size(); ++k) {
        readStyle(ini, kTokenKindNames[k], s.attributes[k]);
        readColor(ini, kTokenKindNames[k], "Background", s.attributes[k].background);
        readColor(ini, kTokenKindNames[k], "Foreground", s.attributes[k].foreground);
    }
    constexpr std::array<std::string_view, kCommentStyleCount> kStyleKeys
        = {"ansi", "pas", "c", "asm", "bas", "entity", "vb"};
    for (std::size_t k = 0; k < kStyleKeys.size(); ++k)
        if (const auto v = integerValue(ini, "CommentStyle", kStyleKeys[k]))
            s.commentStyles[k] = *v != 0;
    readSwitch(ini, "Switches", "KeyCase", s.keyCase);
    readSwitch(ini, "Switches", "ConstCase", s.constCase);
    readSwitch(ini, "Switches", "TagSwitch", s.tagSwitch);
    readSwitch(ini, "Switches", "DollarVariable", s.dollarVariable);
    readSwitch(ini, "Switches", "ActiveDot", s.activeDot);
    if (const auto v = integerValue(ini, "String Delimiter", "Double Quotes"))
        s.stringDelimiter = *v != 0 ? '"' : '\'';
    readList(ini, "Constants", s.constants);
    readList(ini, "Keywords", s.keywords);
    return s;
}

HighlighterSettings loadHighlighterSettings(const std::string& path, HighlighterSettings start)
{
    const auto bytes = io::readFile(path, kMaxSettingsBytes);
    if (!bytes.ok())
        return start;
    const std::string_view text(reinterpret_cast<const char*>(bytes.value().data()), bytes.value().size());
    return readHighlighterSettings(text, std::move(start));
}

std::size_t Highlighter::WordHash::operator()(std::u16string_view word) const
{
    std::size_t h = 14695981039346656037ull; // FNV-1a
    for (const char16_t c : word) {
        h ^= fold ? folded(c) : c;
        h *= 1099511628211ull;
    }
    return h;
}

bool Highlighter::WordEqual::operator()(std::u16string_view a, std::u16string_view b) const
{
    if (!fold)
        return a == b;
    return a.size() == b.size()
        && std::equal(a.begin(), a.end(), b.begin(), [](char16_t x, char16_t y) { return folded(x) == folded(y); });
}

Highlighter::WordList::WordList(bool fold)
    : words(0, WordHash{fold}, WordEqual{fold})
{
}

void Highlighter::WordList::add(std::u16string word)
{
    if (word.empty())
        return;
    if (word[0] <= 255)
        for (char16_t c = 0; c <= 255; ++c)
            starts[c] = starts[c] || words.key_eq()(std::u16string_view(&c, 1), std::u16string_view(word).substr(0, 1));
    words.insert(std::move(word));
}

bool Highlighter::WordList::contains(std::u16string_view word) const
{
    return !word.empty() && (word[0] > 255 || starts[word[0]]) && words.contains(word);
}

Highlighter::Highlighter(HighlighterSettings settings)
    : m_settings(std::move(settings))
    , m_keywords(!m_settings.keyCase)
    , m_constants(!m_settings.constCase)
{
    for (const std::string& word : m_settings.keywords)
        m_keywords.add(utf16(word));
    for (const std::string& word : m_settings.constants)
        m_constants.add(utf16(word));
}

// The lists win over the number rule, so a file may list a word that looks like a number.
TokenKind Highlighter::wordKind(std::u16string_view word) const
{
    if (m_keywords.contains(word))
        return TokenKind::Key;
    if (m_constants.contains(word))
        return TokenKind::Constant;
    return isNumber(word) ? TokenKind::Number : TokenKind::Identifier;
}

std::size_t Highlighter::wordEnd(std::u16string_view line, std::size_t i) const
{
    while (i < line.size() && isWordChar(line[i]) && !(m_settings.activeDot && line[i] == u'.'))
        ++i;
    return i;
}

// Comments, strings, tags, variables and dots are recognised where a token starts, in that order (a "'"
// that opens a Bas or Vb comment opens no string); once a word has begun it runs over every word
// character, so with the start settings "a{b" is one word, as the script language reads it.
std::size_t Highlighter::tokenEnd(std::u16string_view line, std::size_t i, TokenKind& kind, int& open) const
{
    const std::size_t n = line.size();
    const char16_t c = line[i];
    if (const Opener opener = commentAt(m_settings, line, i); opener.length) {
        kind = TokenKind::Comment;
        if (opener.state == kToLineEnd)
            return n;
        const std::size_t end = commentEnd(line, i + static_cast<std::size_t>(opener.length), opener.state);
        if (end == std::u16string_view::npos) {
            open = opener.state;
            return n;
        }
        return end;
    }
    if (c == static_cast<unsigned char>(m_settings.stringDelimiter)) {
        kind = TokenKind::String;
        const std::size_t close = line.find(c, i + 1);
        return close == std::u16string_view::npos ? n : close + 1; // an unterminated string ends with the line
    }
    if (m_settings.tagSwitch && c == u'<') {
        if (const std::size_t close = line.find(u'>', i + 1); close != std::u16string_view::npos) {
            kind = TokenKind::Entity;
            return close + 1;
        }
    }
    if (m_settings.dollarVariable && c == u'$' && wordEnd(line, i + 1) > i + 1) {
        kind = TokenKind::Variable;
        return wordEnd(line, i + 1);
    }
    if (m_settings.activeDot && c == u'.') {
        kind = TokenKind::Dot;
        return i + 1;
    }
    if (isWordChar(c)) {
        const std::size_t end = wordEnd(line, i);
        kind = wordKind(line.substr(i, end - i));
        return end;
    }
    kind = TokenKind::Symbol;
    return i + 1;
}

// Every unit up to 32 is a space.
int Highlighter::classifyLine(std::u16string_view line, int state, std::vector<TokenRun>& runs) const
{
    runs.clear();
    const auto add = [&runs](std::size_t from, std::size_t to, TokenKind kind) {
        if (to > from)
            runs.push_back({static_cast<int>(from), static_cast<int>(to - from), kind});
    };
    const std::size_t n = line.size();
    std::size_t i = 0;
    if (state > kNothingOpen && state < kStateCount) {
        i = commentEnd(line, 0, state);
        if (i == std::u16string_view::npos) {
            add(0, n, TokenKind::Comment);
            return state;
        }
        add(0, i, TokenKind::Comment);
    }
    int open = kNothingOpen;
    while (i < n) {
        const std::size_t start = i;
        TokenKind kind = TokenKind::Space;
        if (line[i] <= 32) {
            while (i < n && line[i] <= 32)
                ++i;
        } else {
            i = tokenEnd(line, i, kind, open);
        }
        add(start, i, kind);
    }
    return open;
}

} // namespace daubix::script
