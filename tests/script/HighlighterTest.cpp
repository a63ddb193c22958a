#include "script/Highlighter.h"

#include "script/TzoTurtle_p.h"

#include <cctype>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <set>
#include <unistd.h>

using namespace daubix;
using script::HighlighterSettings;
using script::TokenAttribute;
using script::TokenKind;

namespace {

HighlighterSettings read(std::string_view text, HighlighterSettings start = {})
{
    return script::readHighlighterSettings(text, std::move(start));
}

TEST(HighlighterSettings, StartAsTheEditorDoesBeforeAnyFileIsRead)
{
    const HighlighterSettings s;
    for (int c = 0; c < 256; ++c)
        EXPECT_EQ(s.wordChars[static_cast<std::size_t>(c)], c >= 33) << c;
    EXPECT_TRUE(s.attribute(TokenKind::Key).bold);
    EXPECT_FALSE(s.attribute(TokenKind::Key).italic);
    EXPECT_TRUE(s.attribute(TokenKind::Comment).italic);
    EXPECT_FALSE(s.attribute(TokenKind::Comment).bold);
    EXPECT_TRUE(s.commentStyles.none());
    EXPECT_FALSE(s.keyCase || s.constCase || s.tagSwitch || s.dollarVariable || s.activeDot);
    EXPECT_EQ(s.stringDelimiter, '\'');
    EXPECT_TRUE(s.keywords.empty() && s.constants.empty());
}

// Each kind reads only its own section, and keys it leaves out keep their values.
TEST(HighlighterSettings, EachKindReadsStyleAndColoursFromItsSection)
{
    for (std::size_t k = 0; k < script::kTokenKindNames.size(); ++k) {
        const std::string name(script::kTokenKindNames[k]);
        const HighlighterSettings s
            = read("[" + name + "]\nStyle=bold, underline\nBackground=clYellow\nForeground=$0000FF\n");
        HighlighterSettings expected;
        expected.attributes[k] = {true, false, true, gfx::clYellow, gfx::clRed};
        EXPECT_EQ(s, expected) << name;
        HighlighterSettings start;
        start.attributes[k] = {false, true, false, gfx::clBlue, gfx::clLime};
        HighlighterSettings kept = start;
        kept.attributes[k].foreground = gfx::clWhite;
        EXPECT_EQ(read("[" + name + "]\nForeground=clWhite\n", start), kept) << name;
    }
}

TEST(HighlighterSettings, ColoursAreColourNamesOrIntegersAndAnythingElseKeepsTheOld)
{
    struct Case {
        const char* value;
        gfx::Color color;
    };
    const gfx::Color old = 0x123456;
    for (const Case& c : {Case{"clRed", gfx::clRed}, Case{"CLNAVY", gfx::clNavy}, Case{"clBtnFace", 0x8000000F},
             Case{"clNone", gfx::clNone}, Case{"$FF8000", 0xFF8000}, Case{"0x00ff00", 0x00FF00}, Case{"255", 255},
             Case{"reddish", old}, Case{"", old}, Case{"$123456789", old}, Case{"12abc", old}}) {
        HighlighterSettings start;
        start.attribute(TokenKind::String).background = old;
        const HighlighterSettings s = read(std::string("[String]\nBackground=") + c.value + "\n", start);
        EXPECT_EQ(s.attribute(TokenKind::String).background, c.color) << c.value;
    }
}

TEST(HighlighterSettings, StyleIsAListOfWordsOrNormalAndAMisspeltListKeepsTheOld)
{
    struct Case {
        const char* value;
        bool bold, italic, underline;
    };
    for (const Case& c : {Case{"normal", false, false, false}, Case{"Bold,ITALIC", true, true, false},
             Case{" underline , bold ", true, false, true}, Case{"italic,", false, true, false},
             Case{"bold,bolt", false, true, true}, Case{"", false, true, true}}) {
        HighlighterSettings start;
        start.attribute(TokenKind::Number) = {false, true, true, gfx::clNone, gfx::clNone};
        const TokenAttribute a
            = read(std::string("[Number]\nStyle=") + c.value + "\n", start).attribute(TokenKind::Number);
        EXPECT_EQ(a.bold, c.bold) << c.value;
        EXPECT_EQ(a.italic, c.italic) << c.value;
        EXPECT_EQ(a.underline, c.underline) << c.value;
    }
}

// Integers may be decimal, "0x" or "$" hexadecimal; zero switches off, anything unreadable keeps the value.
TEST(HighlighterSettings, CommentStylesSwitchesAndDelimiterReadIntegers)
{
    HighlighterSettings start;
    start.commentStyles.set(static_cast<std::size_t>(script::CommentStyle::C));
    start.commentStyles.set(static_cast<std::size_t>(script::CommentStyle::Vb));
    start.constCase = true;
    start.activeDot = true;
    const HighlighterSettings s = read("[CommentStyle]\nansi=1\npas=0x1\nc=$0\nasm=2\nbas=0\nentity=-1\nvb=x\n"
                                       "[Switches]\nKeyCase=0x10\nConstCase=0\nTagSwitch=$1\nDollarVariable=7\n"
                                       "[String Delimiter]\nDouble Quotes=1\n",
        start);
    using script::CommentStyle;
    EXPECT_TRUE(s.hasComments(CommentStyle::Ansi));
    EXPECT_TRUE(s.hasComments(CommentStyle::Pas));
    EXPECT_FALSE(s.hasComments(CommentStyle::C));
    EXPECT_TRUE(s.hasComments(CommentStyle::Asm));
    EXPECT_FALSE(s.hasComments(CommentStyle::Bas));
    EXPECT_TRUE(s.hasComments(CommentStyle::Entity));
    EXPECT_TRUE(s.hasComments(CommentStyle::Vb)); // "x" is no number
    EXPECT_TRUE(s.keyCase);
    EXPECT_FALSE(s.constCase);
    EXPECT_TRUE(s.tagSwitch);
    EXPECT_TRUE(s.dollarVariable);
    EXPECT_TRUE(s.activeDot); // absent
    EXPECT_EQ(s.stringDelimiter, '"');
    EXPECT_EQ(read("[String Delimiter]\nDouble Quotes=0\n", s).stringDelimiter, '\'');
    EXPECT_EQ(read("[String Delimiter]\nDouble Quotes=yes\n", s).stringDelimiter, '"');
    EXPECT_EQ(read("", s), s);
}

TEST(HighlighterSettings, ListSectionsTakeEachLineUpToItsEqualsAndOnlyANonEmptySectionReplaces)
{
    HighlighterSettings start;
    start.keywords = {"old"};
    start.constants = {"clOld"};
    const HighlighterSettings s = read("[Keywords]\ngo\nright = turn\n  pos  \n=posx\n; a note\n\n]\n"
                                       "[Constants]\nclRed=1\n[Keywords]\n[\n",
        start);
    EXPECT_EQ(s.keywords, (std::vector<std::string>{"go", "right", "pos", "]", "["}));
    EXPECT_EQ(s.constants, std::vector<std::string>{"clRed"});
    const HighlighterSettings kept = read("[Keywords]\n\n[Constants]\n=only\n \n", start);
    EXPECT_EQ(kept.keywords, start.keywords);
    EXPECT_EQ(kept.constants, start.constants);
}

class SettingsFile : public ::testing::Test {
protected:
    ~SettingsFile() override { std::filesystem::remove_all(m_dir); }
    std::string write(const std::string& text)
    {
        std::filesystem::create_directories(m_dir);
        std::ofstream(m_dir / "DaubixScript.ini", std::ios::binary) << text;
        return (m_dir / "DaubixScript.ini").string();
    }
    const std::filesystem::path m_dir
        = std::filesystem::temp_directory_path() / ("daubix-highlighter-" + std::to_string(::getpid()));
};

TEST_F(SettingsFile, AMissingOrOversizedFileLeavesTheStartSettings)
{
    HighlighterSettings start;
    start.keywords = {"go"};
    EXPECT_EQ(script::loadHighlighterSettings((m_dir / "none.ini").string(), start), start);
    const std::string path = write("\xEF\xBB\xBF[Switches]\r\nKeyCase=1\r\n");
    EXPECT_TRUE(script::loadHighlighterSettings(path, start).keyCase);
    std::filesystem::resize_file(path, (std::uintmax_t{16} << 20) + 1);
    EXPECT_EQ(script::loadHighlighterSettings(path, start), start);
}

// The shipped file lists the interpreter's command words and colour names, and nothing else.
TEST(ShippedSettings, ListEveryCommandWordAndColourNameOfTheLanguage)
{
    const HighlighterSettings s = script::loadHighlighterSettings(DAUBIX_TEST_DATA "/../data/DaubixScript.ini");
    ASSERT_FALSE(s.keywords.empty());
    EXPECT_TRUE(s.hasComments(script::CommentStyle::Pas));
    EXPECT_EQ(s.stringDelimiter, '"');
    std::set<script::Word> listed;
    for (const std::string& word : s.keywords) {
        EXPECT_NE(script::wordOf(word), script::Word::None) << word;
        listed.insert(script::wordOf(word));
    }
    // "{" opens a comment, and the queries from "=posx" on cannot be written as entries.
    for (auto w = static_cast<int>(script::Word::BlockOpen); w < static_cast<int>(script::Word::QPosX); ++w)
        EXPECT_TRUE(listed.contains(static_cast<script::Word>(w))) << w;
    EXPECT_EQ(s.constants.size(), 17u + 25u);
    for (const std::string& name : s.constants)
        EXPECT_TRUE(script::colorIdentifier(name)) << name;
}

// Settings for the classifier cases, combined as flags.
enum Setup : unsigned {
    Base = 0, // keywords go, right, größe, über, 日本; constants clRed, clBtnFace
    KeyCase = 1u << 0,
    ConstCase = 1u << 1,
    DoubleQuotes = 1u << 2,
    Ansi = 1u << 3,
    Pas = 1u << 4,
    CStyle = 1u << 5,
    Asm = 1u << 6,
    Bas = 1u << 7,
    Vb = 1u << 8,
    EntityComments = 1u << 9,
    Tags = 1u << 10,
    Dollar = 1u << 11,
    Dots = 1u << 12,
    Letters = 1u << 13, // word characters: letters, digits and "_" only
};

script::Highlighter highlighter(unsigned setup)
{
    HighlighterSettings s;
    s.keywords = {"go", "right", "größe", "über", "日本"};
    s.constants = {"clRed", "clBtnFace"};
    s.keyCase = setup & KeyCase;
    s.constCase = setup & ConstCase;
    s.stringDelimiter = setup & DoubleQuotes ? '"' : '\'';
    using script::CommentStyle;
    const std::pair<Setup, CommentStyle> styles[]
        = {{Ansi, CommentStyle::Ansi}, {Pas, CommentStyle::Pas}, {CStyle, CommentStyle::C}, {Asm, CommentStyle::Asm},
            {Bas, CommentStyle::Bas}, {Vb, CommentStyle::Vb}, {EntityComments, CommentStyle::Entity}};
    for (const auto& [flag, style] : styles)
        s.commentStyles[static_cast<std::size_t>(style)] = setup & flag;
    s.tagSwitch = setup & Tags;
    s.dollarVariable = setup & Dollar;
    s.activeDot = setup & Dots;
    if (setup & Letters) {
        s.wordChars.reset();
        for (int c = 0; c < 256; ++c)
            s.wordChars[static_cast<std::size_t>(c)] = std::isalnum(c) || c == '_';
    }
    return script::Highlighter(std::move(s));
}

// One letter per UTF-16 unit: c comment, k constant, i identifier, K key, n number, _ space, s string,
// y symbol, e entity, v variable, d dot. Lines are joined with "\n" in the text and in the letters.
struct Case {
    unsigned setup;
    std::u16string_view text;
    const char* kinds;
    bool openAtEnd = false; // a comment is still open after the last line
};

void PrintTo(const Case& c, std::ostream* os)
{
    *os << "setup " << c.setup << ", kinds \"" << c.kinds << "\"";
}

class ClassifierCases : public ::testing::TestWithParam<Case> { };

// The runs of each line touch, cover the whole line, and carry an open comment to the next line as
// Qt's block states do, starting from the -1 of a first block.
TEST_P(ClassifierCases, GiveEachUnitItsKindAndCarryOpenComments)
{
    constexpr char kLetters[] = "ckiKn_syevd";
    const Case& c = GetParam();
    const script::Highlighter h = highlighter(c.setup);
    std::string kinds;
    int state = -1;
    std::vector<script::TokenRun> runs;
    std::u16string_view rest = c.text;
    for (bool first = true; first || !rest.empty(); first = false) {
        const std::size_t end = rest.find(u'\n');
        const std::u16string_view line = rest.substr(0, end);
        rest = end == std::u16string_view::npos ? std::u16string_view{} : rest.substr(end + 1);
        state = h.classifyLine(line, state, runs);
        int at = 0;
        for (const script::TokenRun& run : runs) {
            ASSERT_EQ(run.start, at);
            ASSERT_GT(run.length, 0);
            kinds.append(static_cast<std::size_t>(run.length), kLetters[static_cast<int>(run.kind)]);
            at += run.length;
        }
        ASSERT_EQ(at, static_cast<int>(line.size()));
        if (end != std::u16string_view::npos)
            kinds += '\n';
    }
    EXPECT_EQ(kinds, c.kinds);
    EXPECT_EQ(state != 0, c.openAtEnd);
}

INSTANTIATE_TEST_SUITE_P(Words, ClassifierCases,
    ::testing::Values(Case{Base, u"go GO Go gone", "KK_KK_KK_iiii"}, Case{KeyCase, u"go GO right", "KK_ii_KKKKK"},
        Case{Base, u"clred CLRED clRed", "kkkkk_kkkkk_kkkkk"}, Case{ConstCase, u"clred clRed", "iiiii_kkkkk"},
        Case{KeyCase | ConstCase, u"clBtnFace go", "kkkkkkkkk_KK"},
        Case{Base, u"10 -5 +7 $1F 0x1f 0x 1a $ 12ab x1F - 0", "nn_nn_nn_nnn_nnnn_ii_ii_i_iiii_iii_i_n"},
        Case{Base, u"\tgo  ,", "_KK__i"}, Case{Letters, u"a+b  (x)", "iyi__yiy"}));

// Units above 255 are word characters: accented words, other scripts and surrogate pairs stay whole,
// and Latin-1 letters fold when matching ignores case.
INSTANTIATE_TEST_SUITE_P(NonAscii, ClassifierCases,
    ::testing::Values(Case{Base, u"GRÖßE größe GRÖSSE", "KKKKK_KKKKK_iiiiii"},
        Case{KeyCase, u"GRÖßE größe ÜBER über", "iiiii_KKKKK_iiii_KKKK"}, Case{Base, u"ÜBER Über", "KKKK_KKKK"},
        Case{Letters, u"日本 é☃ a😀b", "KK_yi_iiii"}, Case{Base, u"go 日本語 ü", "KK_iii_i"}));

INSTANTIATE_TEST_SUITE_P(Strings, ClassifierCases,
    ::testing::Values(Case{Base, u"'a b' \"c\" 'open", "sssss_iii_sssss"},
        Case{DoubleQuotes, u"go \"hello world\" 'x'", "KK_sssssssssssss_iii"},
        Case{DoubleQuotes, u"\"a\"\"b\" \"open\nnext", "ssssss_sssss\niiii"}, Case{Base, u"ab'c' ''", "iiiii_ss"}));

INSTANTIATE_TEST_SUITE_P(Comments, ClassifierCases,
    ::testing::Values(Case{Base, u"(* x *) { y } // z", "ii_i_ii_i_i_i_ii_i"},
        Case{Ansi, u"go (* note *) go (*)", "KK_cccccccccc_KK_ccc", true},
        Case{Ansi, u"go (* a\nb\n *) go", "KK_cccc\nc\nccc_KK"},
        Case{Pas, u"{ x } go {still\n\n} go", "ccccc_KK_cccccc\n\nc_KK"}, Case{Pas, u"a{b} {}", "iiii_cc"},
        Case{CStyle, u"go /* x */ 1 // rest", "KK_ccccccc_n_ccccccc"},
        Case{CStyle, u"/* a\n*/go //\n/", "cccc\nccKK_cc\ni"},
        Case{CStyle | Letters, u"x//y+/*z\n*/-", "iccccccc\nyyy"}, Case{Asm, u"go ; rest ' x", "KK_cccccccccc"},
        Case{Asm | Letters, u"a;b", "icc"}, Case{Bas, u"go ' rest\n'x'", "KK_cccccc\nccc"},
        Case{Vb, u"go 'x' go", "KK_cccccc"},
        Case{EntityComments, u"<!-- a --> go <!--\n-- -->x", "cccccccccc_KK_cccc\ncccccci"},
        Case{EntityComments, u"<!-> <!--", "iiii_cccc", true}));

INSTANTIATE_TEST_SUITE_P(Switches, ClassifierCases,
    ::testing::Values(Case{Base, u"<b> $xyz .gt", "iii_iiii_iii"},
        Case{Tags, u"<b> x <a href='y'>go <open", "eee_i_eeeeeeeeeeeeKK_iiiii"},
        Case{Tags | Letters, u"<b>go</b> 1 < 2", "eeeKKeeee_n_y_n"},
        Case{Tags | EntityComments, u"<!-- c --> <i>", "cccccccccc_eee"},
        Case{Dollar, u"$xyz $1F $ go$", "vvvv_vvv_i_iii"}, Case{Base, u"$xyz $1F", "iiii_nnn"},
        Case{Dots, u".gt a.b . go.", "dii_idi_d_KKd"}, Case{Dots | Dollar, u"$a.b", "vvdi"}));

} // namespace
