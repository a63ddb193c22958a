#include "io/IconCodec.h"

#include "app/Command.h"
#include "app/Document.h"
#include "io/IconCommands.h"
#include "support/FakeHost.h"
#include "support/TestImages.h"

#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <unistd.h>

using namespace daubix;

namespace {

std::uint32_t le(const std::vector<std::uint8_t>& b, std::size_t at, int bytes)
{
    std::uint32_t v = 0;
    for (int i = bytes - 1; i >= 0; --i)
        v = (v << 8) | b[at + static_cast<std::size_t>(i)];
    return v;
}

bool transparent(const io::IconPicture& icon, int x, int y)
{
    return icon.mask.pixel(x, y) == gfx::clWhite;
}

} // namespace

// The file's layout: 2238 bytes with 256 colours, 766 with 16; the directory's colour field is the bit
// depth, and the bitmap header counts the colour image and the mask.
TEST(IconCodec, WritesTheLayoutOfBothDepths)
{
    const io::IconPicture icon = io::makeIcon(test::noise(32, 32, 1));
    for (const auto& [bits, size, table] : {std::tuple{8, 2238u, 1024u}, std::tuple{4, 766u, 64u}}) {
        auto file = io::encodeIcon(icon, bits);
        ASSERT_TRUE(file.ok());
        const std::vector<std::uint8_t>& b = file.value();
        ASSERT_EQ(b.size(), size);
        EXPECT_EQ(le(b, 0, 2), 0u);
        EXPECT_EQ(le(b, 2, 2), 1u);
        EXPECT_EQ(le(b, 4, 2), 1u);
        EXPECT_EQ(b[6], 32);
        EXPECT_EQ(b[7], 32);
        EXPECT_EQ(le(b, 8, 2), static_cast<std::uint32_t>(bits));
        EXPECT_EQ(le(b, 10, 4), 0u);
        EXPECT_EQ(le(b, 14, 4), size - 22);
        EXPECT_EQ(le(b, 18, 4), 22u);
        EXPECT_EQ(le(b, 22, 4), 40u);
        EXPECT_EQ(le(b, 26, 4), 32u);
        EXPECT_EQ(le(b, 30, 4), 64u);
        EXPECT_EQ(le(b, 36, 2), static_cast<std::uint32_t>(bits));
        EXPECT_EQ(le(b, 42, 4), 32u * 32u * static_cast<std::uint32_t>(bits) / 8);
        EXPECT_EQ(62 + table + 32u * 32u * static_cast<std::uint32_t>(bits) / 8 + 128, size);
    }
    EXPECT_FALSE(io::encodeIcon({}, 8).ok());
}

TEST(IconCodec, TheBottomLeftColourIsTransparentAndBlackStaysOpaque)
{
    // A white corner: the white padding below a wide picture is transparent too.
    gfx::Bitmap wide(32, 16);
    wide.fill(gfx::clRed);
    wide.setPixel(3, 3, gfx::clBlack);
    wide.setPixel(4, 4, gfx::rgb(250, 248, 248));
    wide.setPixel(5, 5, gfx::clWhite);
    io::IconPicture icon = io::makeIcon(wide);
    EXPECT_TRUE(transparent(icon, 0, 31));
    EXPECT_TRUE(transparent(icon, 5, 5));
    EXPECT_FALSE(transparent(icon, 0, 0));
    EXPECT_FALSE(transparent(icon, 3, 3));
    EXPECT_EQ(icon.colour.pixel(3, 3), gfx::clBlack);
    EXPECT_FALSE(transparent(icon, 4, 4)); // the escape colour comes out black and opaque
    EXPECT_EQ(icon.colour.pixel(4, 4), gfx::clBlack);
    EXPECT_EQ(icon.colour.pixel(0, 31), gfx::clBlack); // transparent pixels are black in the colours
    // A black corner: every black pixel is transparent.
    gfx::Bitmap dark(32, 32);
    dark.fill(gfx::clBlack);
    dark.setPixel(10, 10, gfx::clBlue);
    icon = io::makeIcon(dark);
    EXPECT_TRUE(transparent(icon, 0, 0));
    EXPECT_FALSE(transparent(icon, 10, 10));
}

TEST(IconCommands, SaveFitsTheImageAndAddsTheExtension)
{
    const auto dir = std::filesystem::temp_directory_path() / ("daubix-ico-" + std::to_string(::getpid()));
    std::filesystem::create_directories(dir);
    app::Document doc;
    test::FakeHost host;
    doc.image = test::noise(100, 50, 3);
    host.files = {(dir / "small").string(), (dir / "big.ico").string()};
    app::CommandContext ctx{doc, host};
    for (const app::CommandRow& row : io::iconCommandRows())
        app::runCommand(ctx, row);
    EXPECT_EQ(std::filesystem::file_size(dir / "small.ico"), 766u);
    EXPECT_EQ(std::filesystem::file_size(dir / "big.ico"), 2238u);
    EXPECT_EQ(doc.range, (gfx::Rect{0, 0, 99, 49}));
    ASSERT_TRUE(host.programIcon);
    EXPECT_EQ(host.programIcon->first.width(), 32);
    // Cancelled: nothing written.
    app::runCommand(ctx, io::iconCommandRows()[1]);
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir), {}), 2);
    std::filesystem::remove_all(dir);
}
