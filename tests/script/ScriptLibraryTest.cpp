#include "script/ScriptLibrary.h"

#include "app/ScriptEditor.h"
#include "io/PeerTools.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <unistd.h>

using namespace daubix;
using script::ScriptLibrary;

namespace {

TEST(ScriptLibrary, EntriesSplitAtTheFirstEqualsAndTurnTildesIntoBreaks)
{
    EXPECT_EQ(ScriptLibrary::tag("spiral=go 5~~right 3"), "spiral");
    EXPECT_EQ(ScriptLibrary::script("spiral=go 5~~right 3"), "go 5\r\nright 3");
    EXPECT_EQ(ScriptLibrary::script("a=b=c ~~~x"), "b=c \r\n~x");
    EXPECT_EQ(ScriptLibrary::tag("no equals"), "no equals");
    EXPECT_EQ(ScriptLibrary::script("no equals"), "");
    // Every kind of break in a selection is stored as "~~"; "~~" typed in it comes back as a break.
    EXPECT_EQ(ScriptLibrary::entryFor("t", "a\r\nb\rc\nd\xE2\x80\xA8"
                                           "e\xE2\x80\xA9"
                                           "f~~g"),
        "t=a~~b~~c~~d~~e~~f~~g");
    for (const char* bad : {"a=b", "a\nb", "a\rb", "a\xE2\x80\xA8"})
        EXPECT_FALSE(ScriptLibrary::acceptableTag(bad)) << bad;
    EXPECT_TRUE(ScriptLibrary::acceptableTag("spiral 2"));
}

TEST(ScriptLibrary, TheFileIsReadSortedAndWrittenWithCrLf)
{
    test::ScratchFolder dir;
    const std::string file = dir.path("DaubixLib.tip");
    test::writeText(file, "zeta=z\r\nAlpha=1\n\nalpha=0\rno equals\r\n\xE9t\xE9=x");
    ScriptLibrary lib;
    ASSERT_TRUE(lib.load(file).ok());
    const std::vector<std::string> entries(lib.entries().begin(), lib.entries().end());
    // Bytes beyond ASCII sort after it.
    EXPECT_EQ(entries, (std::vector<std::string>{"alpha=0", "Alpha=1", "no equals", "zeta=z", "\xE9t\xE9=x"}));
    EXPECT_EQ(lib.selected(), -1);
    // A new entry goes after those equal to it ignoring case; the selection stays on its entry.
    lib.select(3);
    EXPECT_EQ(lib.insert("ALPHA=1"), 2);
    EXPECT_EQ(lib.selected(), 4);
    lib.replaceSelected("beta=b");
    EXPECT_EQ(lib.entries()[static_cast<std::size_t>(lib.selected())], "beta=b");
    ASSERT_TRUE(lib.save().ok());
    EXPECT_EQ(test::readText(file), "alpha=0\r\nAlpha=1\r\nALPHA=1\r\nbeta=b\r\nno equals\r\n\xE9t\xE9=x\r\n");
    EXPECT_EQ(lib.find("alpha"), 0);
    EXPECT_EQ(lib.find("ALPHA "), std::nullopt);
}

TEST(ScriptLibrary, AFileThatCannotBeReadIsNeverWritten)
{
    test::ScratchFolder dir;
    const std::string file = dir.path("DaubixLib.tip");
    std::filesystem::create_directory(file);
    ScriptLibrary lib;
    EXPECT_FALSE(lib.load(file).ok());
    lib.insert("a=b");
    EXPECT_TRUE(lib.save().ok()); // in memory only
    EXPECT_TRUE(std::filesystem::is_directory(file));

    // A failed write names the reason and leaves the file as it was.
    const std::filesystem::path folder = dir.path("gone");
    std::filesystem::create_directory(folder);
    ScriptLibrary kept;
    ASSERT_TRUE(kept.load((folder / "DaubixLib.tip").string()).ok());
    std::filesystem::remove_all(folder);
    kept.insert("a=b");
    const gfx::Status saved = kept.save();
    ASSERT_FALSE(saved.ok());
    EXPECT_TRUE(saved.error().starts_with("Cannot save the script library: ")) << saved.error();
}

// The interpreter counts bytes of the CR LF text; the window counts UTF-16 units with one per break.
TEST(EditorPositions, BytesMapToCharacters)
{
    const std::string text = "ab\r\n\xC3\xA9x\xE2\x82\xACy\xF0\x9F\x98\x80z";
    struct Case {
        std::size_t byte;
        std::size_t character;
    };
    for (const Case c : {Case{0, 0}, Case{2, 2}, Case{3, 2} /* between CR and LF */, Case{4, 3}, Case{5, 3},
             Case{6, 4}, Case{7, 5}, Case{9, 5}, Case{10, 6}, Case{11, 7}, Case{13, 7}, Case{15, 9}, Case{16, 10},
             Case{17, 10}, Case{1000, 10}})
        EXPECT_EQ(app::editorCharacterOffset(text, c.byte), c.character) << "byte " << c.byte;
}

TEST(MemoryScriptEditor, EditsAsTheWindowDoes)
{
    app::MemoryScriptEditor e;
    e.setText("go 1\nright 2");
    EXPECT_EQ(e.text(), "go 1\r\nright 2");
    EXPECT_EQ(e.caret(), 0u);
    e.select(3, 6);
    EXPECT_EQ(e.selectedText(), "1\r\n");
    e.replaceSelection("5\n");
    EXPECT_EQ(e.text(), "go 5\r\nright 2");
    EXPECT_EQ(e.caret(), 6u);
    e.select(100, 2);
    EXPECT_EQ(e.selectedText(), " 5\r\nright 2");
    // A position between CR and LF is the line's end, one inside a character its start, as in the window.
    e.setText("ab\r\n\xC3\xA9");
    e.select(3, 3);
    EXPECT_EQ(e.caret(), 2u);
    e.select(5, 5);
    EXPECT_EQ(e.caret(), 4u);
}

TEST(ScriptFiles, AreReadAsUtf8ElseWindows1252)
{
    EXPECT_EQ(app::utf8FromScriptBytes("caf\xC3\xA9"), "caf\xC3\xA9");
    EXPECT_EQ(app::utf8FromScriptBytes("\xEF\xBB\xBFpos 1 1"), "pos 1 1");
    EXPECT_EQ(app::utf8FromScriptBytes("caf\xE9 \x80 \x9F"), "caf\xC3\xA9 \xE2\x82\xAC \xC5\xB8");
    EXPECT_EQ(app::utf8FromScriptBytes("\xED\xA0\x80"), "\xC3\xAD\xC2\xA0\xE2\x82\xAC"); // a surrogate is not UTF-8
}

} // namespace
