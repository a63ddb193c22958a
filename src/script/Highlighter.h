#pragma once

// The script editor's syntax highlighter, configured by data ("DaubixScript.ini"): what each kind of token
// looks like, which words are keywords and constants, and which comments and strings the text has.

#include "gfx/Color.h"

#include <array>
#include <bitset>
#include <cstdint>
#include <string>
#include <string_view>
#include <unordered_set>
#include <vector>

namespace daubix::script {

enum class TokenKind : std::uint8_t {
    Comment,
    Constant,
    Identifier,
    Key,
    Number,
    Space,
    String,
    Symbol,
    Entity,
    Variable,
    Dot
};
inline constexpr int kTokenKindCount = 11;
// In TokenKind's order; these are also the section names of the settings file.
inline constexpr std::array<std::string_view, kTokenKindCount> kTokenKindNames
    = {"Comment", "Constant", "Identifier", "Key", "Number", "Space", "String", "Symbol", "Entity", "Variable", "Dot"};

// Colours are 0x00BBGGRR or interface colours; clNone leaves the editor's own colour.
struct TokenAttribute {
    bool bold = false;
    bool italic = false;
    bool underline = false;
    gfx::Color background = gfx::clNone;
    gfx::Color foreground = gfx::clNone;
    bool operator==(const TokenAttribute&) const = default;
};

// Ansi "(* *)", Pas "{ }", C "/* */" and "//", Asm ";" to the line's end, Bas and Vb "'" to the line's end,
// Entity "<!-- -->".
enum class CommentStyle : std::uint8_t { Ansi, Pas, C, Asm, Bas, Entity, Vb };
inline constexpr int kCommentStyleCount = 7;

// A default-constructed value holds the editor's start: every character from "!" (33) to 255 is a word
// character, no comment styles, matching that ignores case, single-quote strings, empty lists, keywords
// bold and comments italic. The colours, on a white editor: comments grey, constants teal, keywords navy,
// numbers maroon, strings purple, entities green, variables olive, dots red; identifiers, spaces and
// symbols keep the editor's colours, and no kind has a background of its own.
struct HighlighterSettings {
    HighlighterSettings();

    TokenAttribute& attribute(TokenKind kind) { return attributes[static_cast<std::size_t>(kind)]; }
    const TokenAttribute& attribute(TokenKind kind) const { return attributes[static_cast<std::size_t>(kind)]; }
    bool hasComments(CommentStyle style) const { return commentStyles[static_cast<std::size_t>(style)]; }
    bool operator==(const HighlighterSettings&) const = default;

    std::array<TokenAttribute, kTokenKindCount> attributes;
    std::bitset<256> wordChars;
    std::bitset<kCommentStyleCount> commentStyles; // indexed by CommentStyle
    bool keyCase = false; // keywords match case-sensitively
    bool constCase = false; // constants match case-sensitively
    bool tagSwitch = false; // "<...>" within a line is an Entity
    bool dollarVariable = false; // "$" followed by a word is a Variable
    bool activeDot = false; // every "." is a Dot and ends a word
    char stringDelimiter = '\'';
    std::vector<std::string> keywords; // UTF-8
    std::vector<std::string> constants; // UTF-8
};

// Applies a settings file's text to the start settings; every key is optional and an absent or unreadable
// value keeps what start holds.
HighlighterSettings readHighlighterSettings(std::string_view text, HighlighterSettings start = {});
// The same from a file. A missing, unreadable or absurdly large (over 16 MiB) file leaves the start
// settings without a message: the highlighter only colours the editor.
HighlighterSettings loadHighlighterSettings(const std::string& path, HighlighterSettings start = {});

// One token of a line, in UTF-16 units of the line as the editor holds it.
struct TokenRun {
    int start = 0;
    int length = 0;
    TokenKind kind = TokenKind::Identifier;
    bool operator==(const TokenRun&) const = default;
};

// Splits editor lines into token runs. A word is a maximal run of word characters: Key or Constant when
// listed, Number when it is decimal digits (signed if the sign is a word character) or "$" or "0x"
// hexadecimal, else Identifier; every other unit above 32 is a Symbol of its own. Lines are UTF-16, and
// units above 255 count as word characters, so text in any script stays inside words. A comment that
// stays open at the end of a line carries over as the line state: 0 for none, which is also what a
// negative state (a first line) means.
class Highlighter {
public:
    explicit Highlighter(HighlighterSettings settings);

    const HighlighterSettings& settings() const { return m_settings; }
    // Replaces runs with the line's tokens, left to right and touching, spaces included; returns the
    // state at the line's end.
    int classifyLine(std::u16string_view line, int state, std::vector<TokenRun>& runs) const;

private:
    // Hashes and compares words as they are, or folded to lower case (ASCII and Latin-1 letters).
    struct WordHash {
        using is_transparent = void;
        bool fold = false;
        std::size_t operator()(std::u16string_view word) const;
    };
    struct WordEqual {
        using is_transparent = void;
        bool fold = false;
        bool operator()(std::u16string_view a, std::u16string_view b) const;
    };
    // A keyword or constant list; a word whose first unit starts no entry skips the hash.
    struct WordList {
        explicit WordList(bool fold);
        void add(std::u16string word);
        bool contains(std::u16string_view word) const;
        std::unordered_set<std::u16string, WordHash, WordEqual> words;
        std::bitset<256> starts;
    };

    bool isWordChar(char16_t c) const { return c > 255 || m_settings.wordChars[c]; }
    TokenKind wordKind(std::u16string_view word) const;
    std::size_t wordEnd(std::u16string_view line, std::size_t i) const;
    // The end of the token that starts at i (not a space) and its kind; open is set to the comment
    // that the token leaves open at the line's end.
    std::size_t tokenEnd(std::u16string_view line, std::size_t i, TokenKind& kind, int& open) const;

    HighlighterSettings m_settings;
    WordList m_keywords;
    WordList m_constants;
};

} // namespace daubix::script
