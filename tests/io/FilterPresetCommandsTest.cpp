#include "io/FilterPresetCommands.h"

#include "app/Document.h"
#include "effects/FilterPresets.h"
#include "effects/UserFilterCommands.h"
#include "io/PeerTools.h"
#include "support/FakeHost.h"

#include <filesystem>
#include <gtest/gtest.h>
#include <unistd.h>

using namespace daubix;

namespace {

std::string text(const std::string& path)
{
    return test::readText(path);
}

using test::writeText;

constexpr const char* kIdentity = "identity=0,0,0,0,0,0,0,0,0,0,0,0,1,0,0,0,0,0,0,0,0,0,0,0,0";

struct Presets {
    test::ScratchFolder dir;
    std::string file = dir.path("DaubixFL.txt");
    app::Document doc;
    test::FakeHost host;

    explicit Presets(std::string_view content = {})
    {
        if (!content.empty())
            writeText(file, content);
        EXPECT_TRUE(io::loadFilterPresets(doc, file).ok());
    }
    void setCells(std::initializer_list<const char*> cells)
    {
        std::size_t i = 0;
        for (const char* c : cells)
            doc.userFilter.cells[i++] = c;
    }
};

TEST(FilterPresets, TheFileIsReadWithoutCarriageReturnsOrBlankLinesAndSortedIgnoringCase)
{
    Presets p("zeta=1\r\n\r\nAlpha=2\r\n   \nbeta=3\nalpha=4\nBeta=5");
    EXPECT_EQ(p.doc.userFilter.presets, (std::vector<std::string>{"Alpha=2", "alpha=4", "beta=3", "Beta=5", "zeta=1"}));
    EXPECT_EQ(effects::presetNames(p.doc.userFilter.presets),
        (std::vector<std::string>{"Alpha", "alpha", "beta", "Beta", "zeta"}));
    EXPECT_EQ(p.doc.userFilter.presetIndex, -1);
    EXPECT_EQ(effects::findPreset(p.doc.userFilter.presets, "BETA"), 2);
    EXPECT_EQ(effects::findPreset(p.doc.userFilter.presets, "gamma"), std::nullopt);
}

TEST(FilterPresets, AMissingFileIsAnEmptyListAndALargeOneIsRefused)
{
    Presets missing;
    EXPECT_TRUE(missing.doc.userFilter.presets.empty());
    EXPECT_FALSE(std::filesystem::exists(missing.file));

    test::ScratchFolder dir;
    const std::string big = dir.path("DaubixFL.txt");
    writeText(big, std::string(io::kMaxPresetFileBytes + 1, 'a'));
    app::Document doc;
    doc.userFilter.presets = {kIdentity};
    EXPECT_FALSE(io::loadFilterPresets(doc, big).ok());
    EXPECT_TRUE(doc.userFilter.presets.empty());
    // What could not be read is never written over: an added preset stays in memory.
    test::FakeHost host;
    host.answers = {"kept"};
    io::addFilterPreset(doc, host);
    EXPECT_EQ(doc.userFilter.presets.size(), 1u);
    EXPECT_EQ(std::filesystem::file_size(big), io::kMaxPresetFileBytes + 1);
}

TEST(FilterPresets, AddAsksForANameStoresTheGridAndWritesTheFile)
{
    Presets p(std::string(kIdentity) + "\n");
    p.setCells({"1", "2", "3", "4", "5", "6", "7", "8", "9", "10", "11", "12", " 13", "14", "15", "16", "17", "18",
        "19", "20", "21", "22", "23", "24", "-25"});
    p.host.answers = {"Diagonal"};
    io::addFilterPreset(p.doc, p.host);
    EXPECT_EQ(p.host.captions, std::vector<std::string>{"Daubix User Filter"});
    EXPECT_EQ(p.host.prompts, std::vector<std::string>{"Enter Filter Name:"});
    EXPECT_EQ(p.host.initials, std::vector<std::string>{""});
    const std::string added = "Diagonal=1,2,3,4,5,6,7,8,9,10,11,12,13,14,15,16,17,18,19,20,21,22,23,24,-25";
    EXPECT_EQ(p.doc.userFilter.presets, (std::vector<std::string>{added, kIdentity}));
    EXPECT_EQ(text(p.file), added + "\n" + kIdentity + "\n");

    // The round trip: a fresh window reads what was written, and choosing it gives the same grid.
    app::Document again;
    ASSERT_TRUE(io::loadFilterPresets(again, p.file).ok());
    EXPECT_EQ(again.userFilter.presets, p.doc.userFilter.presets);
    again.image = gfx::Bitmap(3, 3);
    ASSERT_TRUE(effects::choosePreset(again, p.host, 0));
    EXPECT_EQ(effects::readMatrixCells(again.userFilter.cells).value(),
        effects::readMatrixCells(p.doc.userFilter.cells).value());
}

TEST(FilterPresets, AddStopsOnABadGridAnEmptyAnswerOrABadName)
{
    struct Case {
        const char* cell;
        std::optional<std::string> answer;
        std::vector<std::string> failures;
        std::size_t asked;
    };
    const Case cases[] = {
        {"x", "Name", {"invalid integer in UserMatrix"}, 0}, // the grid is checked before the box
        {"1", "", {}, 1},
        {"1", std::nullopt, {}, 1}, // cancelled: the empty default
        {"1", "a=b", {"a filter name cannot contain \"=\" or control characters"}, 1},
        {"1", "tab\there", {"a filter name cannot contain \"=\" or control characters"}, 1},
    };
    for (const Case& c : cases) {
        Presets p(std::string(kIdentity) + "\n");
        p.doc.userFilter.cells[6] = c.cell;
        p.host.answers = {c.answer};
        io::addFilterPreset(p.doc, p.host);
        SCOPED_TRACE(c.answer.value_or("cancel"));
        EXPECT_EQ(p.host.failures, c.failures);
        EXPECT_EQ(p.host.prompts.size(), c.asked);
        EXPECT_EQ(p.doc.userFilter.presets, std::vector<std::string>{kIdentity});
        EXPECT_EQ(text(p.file), std::string(kIdentity) + "\n");
    }
}

TEST(FilterPresets, AddKeepsTheChosenPresetChosen)
{
    Presets p("m=1\nz=2\n");
    p.doc.userFilter.presetIndex = 0; // "m"
    p.host.answers = {"a"};
    io::addFilterPreset(p.doc, p.host);
    EXPECT_EQ(effects::presetNames(p.doc.userFilter.presets), (std::vector<std::string>{"a", "m", "z"}));
    EXPECT_EQ(p.doc.userFilter.presetIndex, 1);
}

TEST(FilterPresets, DeleteAndUpdateNeedAChosenPreset)
{
    Presets p("a=1\nb=2\nc=3\n");
    io::deleteFilterPreset(p.doc, p.host);
    io::updateFilterPreset(p.doc, p.host);
    EXPECT_EQ(p.doc.userFilter.presets.size(), 3u);
    EXPECT_TRUE(p.host.prompts.empty());

    p.doc.userFilter.presetIndex = 1;
    io::deleteFilterPreset(p.doc, p.host);
    EXPECT_EQ(p.doc.userFilter.presets, (std::vector<std::string>{"a=1", "c=3"}));
    EXPECT_EQ(p.doc.userFilter.presetIndex, -1);
    EXPECT_EQ(text(p.file), "a=1\nc=3\n");
}

TEST(FilterPresets, UpdateReplacesTheChosenLineUnderTheAnsweredName)
{
    Presets p("a=1\nb=2\nc=3\n");
    p.doc.userFilter.presetIndex = 0;
    p.setCells({"0", "0", "0", "0", "0", "0", "0", "0", "0", "0", "0", "0", "9"});
    p.host.answers = {"d"};
    io::updateFilterPreset(p.doc, p.host);
    EXPECT_EQ(p.host.initials, std::vector<std::string>{"a"});
    const std::string d = "d=0,0,0,0,0,0,0,0,0,0,0,0,9,1,1,1,1,1,1,1,1,1,1,1,1";
    EXPECT_EQ(p.doc.userFilter.presets, (std::vector<std::string>{"b=2", "c=3", d}));
    EXPECT_EQ(p.doc.userFilter.presetIndex, 2);
    EXPECT_EQ(text(p.file), "b=2\nc=3\n" + d + "\n");

    p.host.answers = {"e=f"};
    io::updateFilterPreset(p.doc, p.host);
    EXPECT_EQ(p.host.failures, std::vector<std::string>{"a filter name cannot contain \"=\" or control characters"});
    EXPECT_EQ(p.doc.userFilter.presets[2], d);
}

// A write that fails says why and keeps the list in memory; the file keeps what it held.
TEST(FilterPresets, AFailedWriteKeepsTheList)
{
    struct Case {
        const char* name;
        bool removeFolder;
    };
    for (const Case c : {Case{"read-only folder", false}, Case{"folder gone", true}}) {
        SCOPED_TRACE(c.name);
        test::ScratchFolder dir;
        const std::filesystem::path folder = std::filesystem::path(dir.path("presets"));
        std::filesystem::create_directory(folder);
        const std::string file = (folder / "DaubixFL.txt").string();
        writeText(file, "a=1\n");
        app::Document doc;
        test::FakeHost host;
        ASSERT_TRUE(io::loadFilterPresets(doc, file).ok());
        if (c.removeFolder) {
            std::filesystem::remove_all(folder);
        } else {
            std::filesystem::permissions(
                folder, std::filesystem::perms::owner_read | std::filesystem::perms::owner_exec);
            if (::access(folder.c_str(), W_OK) == 0) { // the super-user writes anyway
                std::filesystem::permissions(folder, std::filesystem::perms::owner_all);
                continue;
            }
        }
        host.answers = {"b"};
        io::addFilterPreset(doc, host);
        EXPECT_EQ(doc.userFilter.presets.size(), 2u);
        ASSERT_EQ(host.failures.size(), 1u);
        EXPECT_NE(host.failures[0].find(file), std::string::npos) << host.failures[0];
        if (!c.removeFolder) {
            EXPECT_EQ(text(file), "a=1\n");
            std::filesystem::permissions(folder, std::filesystem::perms::owner_all);
        }
    }
}

TEST(FilterPresets, PresetTextsSplitAtTheFirstEqualsSign)
{
    EXPECT_EQ(effects::presetName("a=b=c"), "a");
    EXPECT_EQ(effects::presetName("plain"), "plain");
    EXPECT_EQ(effects::presetValues("a=1,,x=2"), (std::vector<std::string_view>{"1", "", "x=2"}));
    EXPECT_TRUE(effects::presetValues("a=").empty());
    EXPECT_TRUE(effects::presetValues("a").empty());
    EXPECT_TRUE(effects::checkPresetName("with, comma and space").ok());
    EXPECT_FALSE(effects::checkPresetName("del\x7f").ok());
}

} // namespace
