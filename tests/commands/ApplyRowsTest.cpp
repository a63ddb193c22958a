#include "commands/ApplyRows.h"

#include "app/Document.h"
#include "effects/UserFilterCommands.h"
#include "io/PeerTools.h"
#include "support/FakeHost.h"
#include "support/TestImages.h"

#include <cstdlib>
#include <gtest/gtest.h>

using namespace daubix;

namespace {

// The row's picture, or its message.
gfx::Result<gfx::Bitmap> applied(std::string_view call, gfx::Bitmap image, std::uint32_t seed = 5)
{
    app::Random random(seed);
    commands::ApplyContext context{random, {}, {}, {}, {}};
    if (gfx::Status s = commands::applyCall(context, image, call); !s)
        return gfx::Error{s.error()};
    return image;
}

// The preview window's picture after the same choices in the Filters window.
struct Window {
    app::Document doc;
    test::FakeHost host;

    explicit Window(const gfx::Bitmap& image, std::uint32_t seed = 5)
    {
        doc.image = image;
        doc.random.seed(seed);
    }
};

TEST(UserFilterRows, QuickFilterIsTheWindowsPreviewWithTheRedRadioChecked)
{
    struct Case {
        const char* call;
        std::array<int, 3> channels;
        int v;
    };
    const Case cases[] = {
        {"QuickFilter:And,And,And,240", {0, 0, 0}, 240}, {"QuickFilter:drip,TROOP,24", {15, 20, 24}, 16},
        {"QuickFilter:17,columns,0,100", {17, 19, 0}, 100},
        {"QuickFilter:UserMatrix,Add,Xor,255", {25, 16, 2}, 255}, // red's selection: the grid of ones
    };
    const gfx::Bitmap image = test::noise(11, 13, 6);
    for (const Case& c : cases) {
        Window w(image);
        w.doc.userFilter.v = c.v;
        for (int channel = 2; channel >= 0; --channel) {
            effects::clickChannelRadio(w.doc, channel);
            effects::clickFilterList(w.doc, w.host, c.channels[static_cast<std::size_t>(channel)]);
        }
        // The clicks ran the filter three times; the row runs it once, so the window's last run is
        // made with the generator as the row finds it.
        w.doc.random.seed(5);
        const auto preview = effects::previewUserFilter(w.doc);
        const auto row = applied(c.call, image);
        SCOPED_TRACE(c.call);
        ASSERT_TRUE(preview.ok() && row.ok());
        EXPECT_EQ(row.value(), preview.value());
    }
}

TEST(UserFilterRows, UserMatrixTakesTheGridRowByRowTheTransposeOfConvolve)
{
    const gfx::Bitmap image = test::noise(9, 8, 2);
    const std::string grid = "0,0,0,0,0,0,0,0,0,0,0,0,0,0,0,0,0,0,0,0,0,0,1,0,0"; // row 4, column 2
    const auto byGrid = applied("UserMatrix:" + grid, image);
    const auto byKernel = applied("Convolve5x5:" + grid, image); // k[column * 5 + row]: row 2, column 4
    ASSERT_TRUE(byGrid.ok() && byKernel.ok());
    for (int y = 0; y < 8; ++y)
        for (int x = 0; x < 9; ++x) {
            ASSERT_EQ(byGrid.value().pixel(x, y), image.pixel(x, std::min(y + 2, 7)));
            ASSERT_EQ(byKernel.value().pixel(x, y), image.pixel(std::min(x + 2, 8), y));
        }
}

TEST(UserFilterRows, FilterPresetChoosesFromTheProgramFoldersFile)
{
    test::ScratchFolder home;
    ::setenv("DAUBIX_HOME", home.path("").c_str(), 1);
    test::writeBytes(home.path("DaubixFL.txt"), [] {
        const std::string text = "Down,Two=0,0,1,0,0,0,0,0,0,0,0,0,0,0,0,0,0,0,0,0,0,0,0,0,0\r\nhalf=1,2,3\n";
        return std::vector<std::uint8_t>(text.begin(), text.end());
    }());
    const gfx::Bitmap image = test::noise(6, 7, 4);
    const auto down = applied("FilterPreset:down,two", image);
    ASSERT_TRUE(down.ok()) << down.error();
    for (int y = 0; y < 7; ++y)
        for (int x = 0; x < 6; ++x)
            ASSERT_EQ(down.value().pixel(x, y), image.pixel(x, std::max(y - 2, 0)));

    const auto half = applied("FilterPreset:half", image);
    ASSERT_FALSE(half.ok());
    EXPECT_EQ(half.error(), "preset \"half\" has 3 of 25 values");
    EXPECT_FALSE(applied("FilterPreset:whole", image).ok());
    ::unsetenv("DAUBIX_HOME");
}

TEST(UserFilterRows, FailuresLeaveAMessage)
{
    struct Case {
        const char* call;
        const char* message;
    };
    const Case cases[] = {
        {"QuickFilter:And,And,And,15", "the filter value must lie in 16..255"},
        {"QuickFilter:And,And,And,256", "the filter value must lie in 16..255"},
        {"QuickFilter:And,Sharpen,And", "\"Sharpen\" is not a user filter: use a name of the Filters list or 0..25"},
        {"QuickFilter:26,And,And", "\"26\" is not a user filter: use a name of the Filters list or 0..25"},
        {"QuickFilter:And,And", "wrong number of arguments: use QuickFilter:red,green,blue[,v]"},
        {"UserMatrix:1,1,1,1,1,1,1,1,1,1,1,1,x,1,1,1,1,1,1,1,1,1,1,1,1", "invalid integer in UserMatrix"},
        {"UserMatrix:1,1,1,1,1,1,1,1,1,1,1,1,40000,1,1,1,1,1,1,1,1,1,1,1,1", "invalid integer in UserMatrix"},
    };
    for (const Case& c : cases) {
        const auto result = applied(c.call, test::noise(4, 4, 1));
        ASSERT_FALSE(result.ok()) << c.call;
        EXPECT_EQ(result.error(), c.message);
    }
}

} // namespace
