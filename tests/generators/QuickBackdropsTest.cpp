#include "generators/QuickBackdrops.h"

#include "app/Document.h"
#include "generators/Backdrop.h"
#include "io/PeerTools.h"
#include "support/FakeHost.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <unistd.h>

using namespace daubix;

namespace {

std::string text(const std::string& path)
{
    return test::readText(path);
}

using test::writeText;

// The window over a document with a small image and a preset file in a folder of its own.
struct Window {
    test::ScratchFolder dir;
    std::string file = dir.path("DaubixQB.txt");
    app::Document doc;
    test::FakeHost host;

    explicit Window(std::string_view content = {})
    {
        if (!content.empty())
            writeText(file, content);
        doc.image = gfx::Bitmap(9, 7);
        EXPECT_TRUE(generators::loadBackdropPresets(doc, file).ok());
    }
    app::BackdropSettings& settings() { return doc.backdrop.settings; }
    int choose(std::string_view name)
    {
        const auto& lines = doc.backdrop.presets;
        for (std::size_t i = 0; i < lines.size(); ++i)
            if (lines[i].starts_with(std::string(name) + "="))
                return static_cast<int>(i);
        ADD_FAILURE() << "no preset " << name;
        return -1;
    }
};

TEST(BackdropPresets, TheFileIsKeptWholeLineSortedWithMalformedLinesAsTheyStand)
{
    Window w("sky=1,2,3,4,5,6,200\r\nOdd line\n\nSky=0,0,0,0,0,0,255\nsky=0,0,0,0,0,0,255\nbad=x\n");
    EXPECT_TRUE(w.host.messages.empty());
    EXPECT_EQ(w.doc.backdrop.presets, (std::vector<std::string>{"bad=x", "Odd line", "Sky=0,0,0,0,0,0,255",
                                          "sky=0,0,0,0,0,0,255", "sky=1,2,3,4,5,6,200"}));
    // Written back whole after a change, one line each, in that order.
    w.host.answers = {"aa"};
    generators::addBackdropPreset(w.doc, w.host);
    EXPECT_EQ(text(w.file), "aa=0,0,0,0,0,0,255\nbad=x\nOdd line\nSky=0,0,0,0,0,0,255\nsky=0,0,0,0,0,0,255\n"
                            "sky=1,2,3,4,5,6,200\n");
}

// What a chosen preset leaves in the settings, and whether it previews.
TEST(BackdropPresets, ChoosingOneLoadsItsValuesUpToTheFirstBadOne)
{
    struct Case {
        const char* line;
        app::BackdropSettings expected;
        bool previews;
        bool error;
    };
    const app::BackdropSettings start{{9, 9, 9}, {9, 9, 9}, 99};
    const Case cases[] = {
        {"p=1,2,3,4,5,6,200", {{1, 2, 3}, {4, 5, 6}, 200}, true, false},
        {"p=1,2,3,4,5,6,200,77", {{1, 2, 3}, {4, 5, 6}, 200}, true, false}, // beyond the seventh: ignored
        {"p= 40 ,0,0,255,0,0,16", {{40, 0, 0}, {255, 0, 0}, 16}, true, false},
        {"no equals sign", start, false, false},
        {"p=", start, false, true},
        {"p=1,2,3,4,5,6", {{1, 2, 3}, {4, 5, 6}, 99}, false, true}, // the modulus missing
        {"p=1,x,3,4,5,6,200", {{1, 9, 9}, {9, 9, 9}, 99}, false, true},
        {"p=41,2,3,4,5,6,200", start, false, true},
        {"p=1,2,-1,4,5,6,200", {{1, 2, 9}, {9, 9, 9}, 99}, false, true},
        {"p=1,2,3,256,5,6,200", {{1, 2, 3}, {9, 9, 9}, 99}, false, true},
        {"p=1,2,3,4,5,-6,200", {{1, 2, 3}, {4, 5, 9}, 99}, false, true},
        {"p=1,2,3,4,5,6,0", {{1, 2, 3}, {4, 5, 6}, 99}, false, true},
        {"p=1,2,3,4,5,6,15", {{1, 2, 3}, {4, 5, 6}, 99}, false, true},
        {"p=1,2,3,4,5,6,256", {{1, 2, 3}, {4, 5, 6}, 99}, false, true},
        {"p=1,2,3,4,5,6,99999999999", {{1, 2, 3}, {4, 5, 6}, 99}, false, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.line);
        Window w;
        w.doc.backdrop.presets = {c.line};
        w.settings() = start;
        const std::optional<gfx::Bitmap> picture = generators::chooseBackdropPreset(w.doc, w.host, 0);
        EXPECT_EQ(w.settings(), c.expected);
        EXPECT_EQ(picture.has_value(), c.previews);
        EXPECT_EQ(w.host.messages, c.error ? std::vector<std::string>{"Error in Presets"} : std::vector<std::string>{});
        EXPECT_EQ(w.doc.backdrop.presetIndex, 0);
        // A script asking for it gets all seven or nothing.
        app::Document scripted;
        scripted.backdrop.settings = start;
        scripted.image = gfx::Bitmap(4, 3, gfx::PixelFormat::Bits8);
        const bool drawn = generators::requestBackdrop(scripted, w.doc.backdrop.presets, "P");
        EXPECT_EQ(drawn, c.previews);
        EXPECT_EQ(scripted.backdrop.settings, c.previews ? c.expected : start);
        EXPECT_EQ(scripted.image.format(), c.previews ? gfx::PixelFormat::Bits24 : gfx::PixelFormat::Bits8);
    }
}

TEST(BackdropWindow, ControlsChangeTheSettingsAndPreview)
{
    Window w;
    const int undoBefore = w.doc.undo.index();
    // No radio checked: a click in the list only selects and previews the start settings (grey).
    auto picture = generators::clickBackdropFormula(w.doc, w.host, 18);
    ASSERT_TRUE(picture);
    EXPECT_EQ(w.settings(), app::BackdropSettings{});
    EXPECT_EQ(w.doc.backdrop.listSelection, 18);
    EXPECT_EQ(picture->pixel(8, 6), gfx::rgb(48, 48, 48));
    EXPECT_EQ(picture->width(), 9);
    EXPECT_EQ(picture->height(), 7);

    generators::clickBackdropRadio(w.doc, 1);
    EXPECT_EQ(w.doc.backdrop.listSelection, 0); // the list follows the channel's formula, without a preview
    picture = generators::clickBackdropFormula(w.doc, w.host, 18); // green takes Outer: x
    EXPECT_EQ(w.settings().formulas, (std::array<int, 3>{0, 18, 0}));
    EXPECT_EQ(picture->pixel(8, 6), gfx::rgb(48, 8, 48));

    picture = generators::moveBackdropBar(w.doc, w.host, generators::BackdropBar::Blue, 300);
    EXPECT_EQ(w.settings().offsets, (std::array<int, 3>{0, 0, 255}));
    EXPECT_EQ(picture->pixel(8, 6), gfx::rgb(48, 8, 47));
    picture = generators::moveBackdropBar(w.doc, w.host, generators::BackdropBar::Factor, 3);
    EXPECT_EQ(w.settings().modulus, 16);
    EXPECT_EQ(picture->pixel(8, 6), gfx::rgb(0, 8, 255)); // 48 mod 16
    EXPECT_TRUE(w.host.messages.empty());
    EXPECT_EQ(w.doc.undo.index(), undoBefore); // the window never touches the image
}

TEST(BackdropPresets, AddDeleteAndUpdate)
{
    Window w("m=1,1,1,1,1,1,100\n");
    // Adding "sky" with the start settings.
    w.host.answers = {"sky"};
    generators::addBackdropPreset(w.doc, w.host);
    EXPECT_EQ(w.host.captions.back(), "Daubix Quick Backdrops");
    EXPECT_EQ(w.host.prompts.back(), "Enter Name:");
    EXPECT_EQ(w.host.initials.back(), "");
    EXPECT_EQ(text(w.file), "m=1,1,1,1,1,1,100\nsky=0,0,0,0,0,0,255\n");

    // An empty answer, a cancelled box and a name with "=" or a line break change nothing.
    for (const std::optional<std::string>& answer :
        {std::optional<std::string>(""), std::optional<std::string>(), std::optional<std::string>("a=b"),
            std::optional<std::string>("a\nb"), std::optional<std::string>("a\rb")}) {
        w.host.answers = {answer};
        generators::addBackdropPreset(w.doc, w.host);
    }
    EXPECT_EQ(w.doc.backdrop.presets.size(), 2u);
    EXPECT_EQ(w.host.messages.size(), 3u);
    EXPECT_EQ(text(w.file), "m=1,1,1,1,1,1,100\nsky=0,0,0,0,0,0,255\n");
    w.host.messages.clear();

    // Update and Delete need a chosen preset.
    generators::updateBackdropPreset(w.doc, w.host);
    EXPECT_EQ(w.host.messages, std::vector<std::string>{"No item selected!"});
    generators::deleteBackdropPreset(w.doc, w.host);
    EXPECT_EQ(w.doc.backdrop.presets.size(), 2u);

    ASSERT_TRUE(generators::chooseBackdropPreset(w.doc, w.host, w.choose("sky")));
    w.settings().modulus = 64;
    w.host.answers = {"a sky"};
    generators::updateBackdropPreset(w.doc, w.host);
    EXPECT_EQ(w.host.initials.back(), "sky");
    EXPECT_EQ(text(w.file), "a sky=0,0,0,0,0,0,64\nm=1,1,1,1,1,1,100\n");
    EXPECT_EQ(w.doc.backdrop.presetIndex, 0); // the updated line stays chosen in its new place

    generators::deleteBackdropPreset(w.doc, w.host);
    EXPECT_EQ(w.doc.backdrop.presetIndex, -1);
    EXPECT_EQ(text(w.file), "m=1,1,1,1,1,1,100\n");
}

// A file that cannot be read is said once and never written over; a failed write keeps the list.
TEST(BackdropPresets, FilesThatCannotBeReadOrWrittenAreLeftAlone)
{
    {
        test::ScratchFolder dir;
        const std::string big = dir.path("DaubixQB.txt");
        writeText(big, std::string((1u << 20) + 1, 'a'));
        app::Document doc;
        test::FakeHost host;
        EXPECT_FALSE(generators::loadBackdropPresets(doc, big).ok());
        EXPECT_TRUE(doc.backdrop.presets.empty());
        host.answers = {"kept"};
        generators::addBackdropPreset(doc, host);
        EXPECT_EQ(doc.backdrop.presets, std::vector<std::string>{"kept=0,0,0,0,0,0,255"});
        EXPECT_TRUE(host.failures.empty());
        EXPECT_EQ(std::filesystem::file_size(big), (1u << 20) + 1);
    }
    for (const bool removeFolder : {false, true}) {
        SCOPED_TRACE(removeFolder ? "folder gone" : "read-only folder");
        test::ScratchFolder dir;
        const std::filesystem::path folder = dir.path("presets");
        std::filesystem::create_directory(folder);
        const std::string file = (folder / "DaubixQB.txt").string();
        writeText(file, "a=0,0,0,0,0,0,255\r\n");
        app::Document doc;
        test::FakeHost host;
        EXPECT_TRUE(generators::loadBackdropPresets(doc, file).ok());
        if (removeFolder) {
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
        generators::addBackdropPreset(doc, host);
        EXPECT_EQ(doc.backdrop.presets.size(), 2u);
        ASSERT_EQ(host.failures.size(), 1u);
        EXPECT_TRUE(host.failures[0].starts_with("Cannot write DaubixQB.txt: ")) << host.failures[0];
        if (!removeFolder) {
            std::filesystem::permissions(folder, std::filesystem::perms::owner_all);
            EXPECT_EQ(text(file), "a=0,0,0,0,0,0,255\r\n");
        }
    }
}

TEST(BackdropRequest, TheFirstPresetOfTheNameIgnoringCaseIsDrawnIntoTheImage)
{
    const std::vector<std::string> presets
        = {"bad=1,2", "Sky=18,18,18,0,0,0,255", "sky=17,17,17,0,0,0,255", "two=1,1,1,1,1,1,16"};
    struct Case {
        const char* name;
        bool drawn;
        int red; // of pixel (5, 3)
    };
    for (const Case c : {Case{"Sky", true, 5}, Case{"SKY", true, 5}, Case{"sky", true, 5}, Case{"sky ", false, 0},
             Case{"nothing", false, 0}, Case{"bad", false, 0}, Case{"", false, 0}}) {
        SCOPED_TRACE(c.name);
        app::Document doc;
        doc.image = gfx::Bitmap(8, 6);
        const gfx::Bitmap before = doc.image;
        EXPECT_EQ(generators::requestBackdrop(doc, presets, c.name), c.drawn);
        if (c.drawn) {
            EXPECT_EQ(doc.image.pixel(5, 3), gfx::rgb(c.red, c.red, c.red));
            EXPECT_EQ(doc.backdrop.settings.formulas, (std::array<int, 3>{18, 18, 18}));
            doc.canvas.setPixel(0, 0, gfx::clBlue);
            EXPECT_EQ(doc.image.pixel(0, 0), gfx::clBlue);
        } else {
            EXPECT_EQ(doc.image, before);
            EXPECT_EQ(doc.backdrop.settings, app::BackdropSettings{});
        }
    }
}

} // namespace
