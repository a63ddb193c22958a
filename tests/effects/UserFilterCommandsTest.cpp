#include "effects/UserFilterCommands.h"

#include "app/Document.h"
#include "effects/FilterPresets.h"
#include "support/FakeHost.h"
#include "support/TestImages.h"

#include <gtest/gtest.h>

using namespace daubix;

namespace {

struct Window {
    app::Document doc;
    test::FakeHost host;

    explicit Window(gfx::Bitmap image = test::noise(9, 7, 3))
    {
        doc.image = std::move(image);
        doc.random.seed(11);
    }
    // The picture the filter gives the image as it is, computed apart.
    gfx::Bitmap expected(const effects::UserFilterSettings& s, std::uint32_t seed = 11) const
    {
        gfx::Bitmap b = doc.image.converted(gfx::PixelFormat::Bits24);
        app::Random random(seed);
        EXPECT_TRUE(effects::applyUserFilter(b, s, random).ok());
        return b;
    }
};

effects::UserFilterSettings onesMatrix()
{
    effects::UserFilterSettings s;
    s.selection = effects::kUserMatrixFilter;
    s.matrix.fill(1);
    return s;
}

TEST(UserFilterCommands, TheWindowStartsOnReduceWithAGridOfOnes)
{
    const app::Document doc;
    const app::UserFilterState& s = doc.userFilter;
    EXPECT_EQ(s.channels, (std::array<int, 3>{7, 7, 7}));
    EXPECT_EQ(s.checkedChannel, 0);
    EXPECT_EQ(s.selection, 7);
    EXPECT_EQ(s.v, 16);
    for (const std::string& cell : s.cells)
        EXPECT_EQ(cell, "1");
    EXPECT_TRUE(s.presets.empty());
    EXPECT_EQ(s.presetIndex, -1);
    for (int c = 0; c < 3; ++c)
        EXPECT_EQ(effects::channelCaption(doc, c), "Reduce");
}

TEST(UserFilterCommands, AListClickSetsTheCheckedChannelAndPreviewsWithoutTouchingTheImage)
{
    Window w;
    const gfx::Bitmap image = w.doc.image;
    const int undoIndex = w.doc.undo.index();
    effects::clickChannelRadio(w.doc, 1);
    const auto picture = effects::clickFilterList(w.doc, w.host, 16); // Add
    ASSERT_TRUE(picture);
    EXPECT_EQ(w.doc.userFilter.channels, (std::array<int, 3>{7, 16, 7}));
    EXPECT_EQ(w.doc.userFilter.selection, 16);
    EXPECT_EQ(effects::channelCaption(w.doc, 1), "Add");
    effects::UserFilterSettings s;
    s.channels = {7, 16, 7};
    s.selection = 16;
    EXPECT_EQ(*picture, w.expected(s));
    // Nothing changes in the image before "Use"; the range holds the filtered copy.
    EXPECT_EQ(w.doc.image, image);
    EXPECT_EQ(w.doc.undo.index(), undoIndex);
    EXPECT_FALSE(w.doc.modified);
    EXPECT_EQ(w.doc.range, (gfx::Rect{0, 0, 8, 6}));
    EXPECT_EQ(w.doc.rangeBuffer, *picture);
    EXPECT_TRUE(w.host.messages.empty());
}

TEST(UserFilterCommands, ARadioClickOnlyMovesTheSelection)
{
    Window w;
    effects::clickFilterList(w.doc, w.host, 3);
    w.doc.rangeBuffer = gfx::Bitmap();
    effects::clickChannelRadio(w.doc, 2);
    EXPECT_EQ(w.doc.userFilter.checkedChannel, 2);
    EXPECT_EQ(w.doc.userFilter.selection, 7);
    effects::clickChannelRadio(w.doc, 0);
    EXPECT_EQ(w.doc.userFilter.selection, 3);
    EXPECT_TRUE(w.doc.rangeBuffer.isEmpty()); // no preview ran
    effects::clickChannelRadio(w.doc, 3);
    EXPECT_EQ(w.doc.userFilter.checkedChannel, 0);
}

TEST(UserFilterCommands, TheBarAndShowPreview)
{
    Window w;
    const auto bar = effects::moveFilterBar(w.doc, w.host, 64);
    ASSERT_TRUE(bar);
    effects::UserFilterSettings reduce;
    reduce.v = 64;
    EXPECT_EQ(*bar, w.expected(reduce));

    for (const int bad : {15, 256}) {
        EXPECT_FALSE(effects::moveFilterBar(w.doc, w.host, bad));
        EXPECT_EQ(w.doc.userFilter.v, 64);
    }
    EXPECT_EQ(w.host.failures.size(), 2u);

    const auto shown = effects::showUserMatrix(w.doc, w.host);
    ASSERT_TRUE(shown);
    EXPECT_EQ(w.doc.userFilter.selection, effects::kUserMatrixFilter);
    EXPECT_EQ(*shown, w.expected(onesMatrix()));
}

TEST(UserFilterCommands, ACellThatIsNotASixteenBitIntegerStopsThePreview)
{
    struct Case {
        std::string text;
        bool valid;
    };
    const Case cases[]
        = {{"7", true}, {" -32768 ", true}, {"32767", true}, {"+2", true}, {"32768", false}, {"-32769", false},
            {"99999999999999999999", false}, {"1.5", false}, {"", false}, {"x", false}, {"3x", false}, {"1,2", false}};
    for (const Case& c : cases) {
        Window w;
        effects::editMatrixCell(w.doc, 4, 3, c.text);
        EXPECT_EQ(w.doc.userFilter.cells[23], c.text);
        const auto picture = effects::showUserMatrix(w.doc, w.host);
        SCOPED_TRACE(c.text);
        EXPECT_EQ(picture.has_value(), c.valid);
        if (c.valid)
            continue;
        EXPECT_EQ(w.host.failures, std::vector<std::string>{"invalid integer in UserMatrix"});
        EXPECT_TRUE(w.doc.rangeBuffer.isEmpty()); // nothing filtered
    }
}

TEST(UserFilterCommands, ChoosingAPresetFillsTheGridRowByRowAndSelectsTheMatrix)
{
    Window w;
    w.doc.userFilter.presets = {"left=0,0,0,0,0,0,0,0,0,0,0,0,0,1,0,0,0,0,0,0,0,0,0,0,0,99"};
    effects::clickFilterList(w.doc, w.host, 2);
    const auto picture = effects::choosePreset(w.doc, w.host, 0);
    ASSERT_TRUE(picture);
    EXPECT_EQ(w.doc.userFilter.selection, effects::kUserMatrixFilter);
    EXPECT_EQ(w.doc.userFilter.presetIndex, 0);
    EXPECT_EQ(w.doc.userFilter.cells[13], "1"); // row 2, column 3; the 26th value is ignored
    EXPECT_EQ(w.doc.userFilter.cells[12], "0");
    // The cell right of the centre: each pixel takes its right neighbour's colour.
    for (int y = 0; y < 7; ++y)
        for (int x = 0; x < 9; ++x)
            ASSERT_EQ(picture->pixel(x, y), w.doc.image.pixel(std::min(x + 1, 8), y));
}

TEST(UserFilterCommands, AShortPresetFillsWhatItHasAndKeepsTheSelectionAndThePreview)
{
    for (const std::string line : {"short=5,6,7", "bare", "empty="}) {
        Window w;
        w.doc.userFilter.presets = {line};
        effects::clickFilterList(w.doc, w.host, 4);
        const gfx::Bitmap before = w.doc.rangeBuffer;
        EXPECT_FALSE(effects::choosePreset(w.doc, w.host, 0));
        const auto values = effects::presetValues(line);
        SCOPED_TRACE(line);
        ASSERT_EQ(w.host.failures.size(), 1u);
        EXPECT_EQ(w.host.failures[0],
            "preset \"" + std::string(effects::presetName(line)) + "\" has " + std::to_string(values.size())
                + " of 25 values");
        EXPECT_EQ(w.doc.userFilter.selection, 4);
        EXPECT_EQ(w.doc.rangeBuffer, before);
        for (std::size_t i = 0; i < 25; ++i)
            EXPECT_EQ(w.doc.userFilter.cells[i], i < values.size() ? std::string(values[i]) : "1");
    }
    Window w;
    EXPECT_FALSE(effects::choosePreset(w.doc, w.host, 0)); // no such preset
    EXPECT_TRUE(w.host.messages.empty());
}

// The decision for a channel on "UserMatrix" while the list shows a line filter: it stays.
TEST(UserFilterCommands, AChannelOnTheMatrixStaysWhileALineFilterIsSelected)
{
    Window w;
    effects::clickFilterList(w.doc, w.host, effects::kUserMatrixFilter); // red
    effects::clickChannelRadio(w.doc, 2);
    const auto picture = effects::clickFilterList(w.doc, w.host, 0); // blue: And
    ASSERT_TRUE(picture);
    for (int y = 0; y < 7; ++y)
        for (int x = 0; x < 9; ++x)
            ASSERT_EQ(gfx::red(picture->pixel(x, y)), gfx::red(w.doc.image.pixel(x, y)));
}

// Scripts reach the list by name: the red radio is checked, the entry clicked, and the filter run once
// more, so Drip draws its numbers twice.
TEST(UserFilterCommands, AScriptRequestClicksTheNamedEntryForRed)
{
    Window w;
    effects::clickChannelRadio(w.doc, 2);
    const auto picture = effects::requestFilter(w.doc, w.host, "dRIP");
    ASSERT_TRUE(picture);
    EXPECT_EQ(w.doc.userFilter.checkedChannel, 0);
    EXPECT_EQ(w.doc.userFilter.channels, (std::array<int, 3>{15, 7, 7}));
    EXPECT_EQ(w.doc.userFilter.selection, 15);
    effects::UserFilterSettings s;
    s.channels = {15, 7, 7};
    s.selection = 15;
    gfx::Bitmap b = w.doc.image;
    app::Random random(11);
    ASSERT_TRUE(effects::applyUserFilter(b, s, random).ok()); // the click's run, the only one
    EXPECT_EQ(*picture, b);
    EXPECT_EQ(w.doc.random.state(), random.state());
    EXPECT_EQ(w.doc.image, test::noise(9, 7, 3));

    const app::UserFilterState before = w.doc.userFilter;
    EXPECT_FALSE(effects::requestFilter(w.doc, w.host, "Sharpen"));
    EXPECT_FALSE(effects::requestFilter(w.doc, w.host, "Drip "));
    EXPECT_EQ(w.doc.userFilter.channels, before.channels);
    EXPECT_EQ(w.doc.userFilter.selection, before.selection);
}

// The working copy is the image exactly: a range copy of (0, 0, W - 1, H - 1) would stretch it by a
// pixel and show a one-pixel-wide image white.
TEST(UserFilterCommands, ThePreviewOfANarrowOrPalettedImageIsItsExactCopy)
{
    gfx::Bitmap paletted = test::noise(5, 4, 2);
    paletted.convertTo(gfx::PixelFormat::Bits8);
    for (gfx::Bitmap image : {test::noise(1, 6, 1), test::noise(6, 1, 1), paletted}) {
        Window w(image);
        for (int i = 0; i < 25; ++i)
            effects::editMatrixCell(w.doc, i / 5, i % 5, i == 12 ? "1" : "0");
        const auto picture = effects::showUserMatrix(w.doc, w.host);
        ASSERT_TRUE(picture);
        EXPECT_EQ(*picture, image.converted(gfx::PixelFormat::Bits24));
        EXPECT_EQ(w.doc.range, (gfx::Rect{0, 0, image.width() - 1, image.height() - 1}));
    }
}

} // namespace
