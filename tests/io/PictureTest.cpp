#include "io/Picture.h"

#include "io/IconCodec.h"
#include "io/JpegCodec.h"
#include "io/MetafileBuilder.h"
#include "io/PeerTools.h"
#include "support/TestImages.h"

#include <filesystem>
#include <gtest/gtest.h>

using namespace daubix;

namespace {

app::FormatOptions noOptions()
{
    return {.gifTransparent = false, .iconStretch = false, .pngTransparent = false};
}

gfx::Bitmap redBase(int width, int height)
{
    gfx::Bitmap b(width, height);
    b.fill(gfx::clRed);
    return b;
}

// Colours of the GIF writer's 6 x 6 x 6 cube, so that every format keeps them exactly but JPEG.
gfx::Bitmap cubeColours(int width, int height)
{
    gfx::Bitmap b(width, height);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            b.setPixel(x, y, gfx::rgb(51 * (x % 6), 51 * (y % 6), 51 * ((x + y) % 6)));
    return b;
}

} // namespace

TEST(Picture, ExtensionsAreUpperCasedFromTheLastComponent)
{
    EXPECT_EQ(io::upperExtension("a/b.Png"), ".PNG");
    EXPECT_EQ(io::upperExtension("a.jpeg"), ".JPEG");
    EXPECT_EQ(io::upperExtension("dir.png/file"), "");
    EXPECT_EQ(io::upperExtension("plain"), "");
    EXPECT_EQ(io::upperExtension("trailing."), ".");
}

// Each writer's file read back by the Open table: exact for the lossless formats, close for JPEG.
TEST(Picture, EveryFormatReadsBackWhatWasWritten)
{
    test::ScratchFolder dir;
    const gfx::Bitmap image = cubeColours(37, 23);
    for (const char* name : {"a.bmp", "a.Png", "a.gif", "a.JPG", "a.jpeg"}) {
        SCOPED_TRACE(name);
        auto written = io::writePicture(dir.path(name), image, noOptions(), {}, 90);
        ASSERT_TRUE(written.ok()) << written.error();
        EXPECT_TRUE(written.value());
        auto read = io::readPicture(dir.path(name), redBase(4, 4), noOptions());
        ASSERT_TRUE(read.ok()) << read.error();
        ASSERT_TRUE(read.value());
        const gfx::Bitmap got = read.value()->converted(gfx::PixelFormat::Bits24);
        ASSERT_EQ(got.width(), 37);
        ASSERT_EQ(got.height(), 23);
        // JPEG: exactly what the codec makes at the quality asked for (25 would differ).
        const gfx::Bitmap expected = io::upperExtension(name).starts_with(".JP")
            ? io::decodeJpeg(io::encodeJpeg(image, 90, false).value()).value()
            : image;
        EXPECT_TRUE(got == expected);
    }
    // TIFF is written only; the icon is fitted to 32 x 32.
    EXPECT_TRUE(io::writePicture(dir.path("a.tif"), image, noOptions(), {}, 25).value());
    EXPECT_EQ(test::readBytes(dir.path("a.tif")).at(0), 'I');
    // The icon: the 256-colour file of the picture fitted into 32 x 32, the white below it transparent
    // as the bottom-left colour.
    EXPECT_TRUE(io::writePicture(dir.path("a.ico"), image, noOptions(), {}, 25).value());
    const auto ico = test::readBytes(dir.path("a.ico"));
    EXPECT_EQ(ico.size(), 2238u);
    auto icon = io::decodeIcon(ico);
    ASSERT_TRUE(icon.ok());
    EXPECT_EQ(icon.value().colour.width(), 32);
    EXPECT_EQ(icon.value().alpha[31 * 32], 0);
    EXPECT_EQ(icon.value().alpha[0], 255);
}

// Unlisted extensions: nothing read, nothing written, no message.
TEST(Picture, UnlistedExtensionsDoNothing)
{
    test::ScratchFolder dir;
    for (const char* name : {"a.xyz", "a", "a.tif.", "a.tiff", "dir.png/a"}) {
        SCOPED_TRACE(name);
        auto written = io::writePicture(dir.path(name), cubeColours(3, 3), noOptions(), {}, 25);
        ASSERT_TRUE(written.ok());
        EXPECT_FALSE(written.value());
        EXPECT_FALSE(std::filesystem::exists(dir.path(name)));
        auto read = io::readPicture(dir.path(name), redBase(2, 2), noOptions());
        ASSERT_TRUE(read.ok());
        EXPECT_FALSE(read.value());
    }
    EXPECT_TRUE(std::filesystem::is_empty(dir.path("")));
}

TEST(Picture, FailuresSayWhyAndLeaveNoFile)
{
    test::ScratchFolder dir;
    for (const char* name : {"e.bmp", "e.png", "e.gif", "e.jpg", "e.ico", "e.tif"}) {
        SCOPED_TRACE(name);
        auto written = io::writePicture(dir.path(name), gfx::Bitmap(), noOptions(), {}, 25);
        ASSERT_FALSE(written.ok());
        EXPECT_EQ(written.error(), "The image is empty.");
    }
    EXPECT_TRUE(std::filesystem::is_empty(dir.path("")));
    // A PNG that cannot be created names itself, as a missing one does; every reader refuses a file that is not its format.
    auto unwritable = io::writePicture(dir.path("no/such.png"), cubeColours(2, 2), noOptions(), {}, 25);
    ASSERT_FALSE(unwritable.ok());
    EXPECT_EQ(unwritable.error(), "Error Opening File " + dir.path("no/such.png") + "!");
    auto missing = io::readPicture(dir.path("none.png"), redBase(2, 2), noOptions());
    ASSERT_FALSE(missing.ok());
    EXPECT_EQ(missing.error(), "Error Opening File " + dir.path("none.png") + "!");
    test::writeBytes(dir.path("junk"), std::vector<std::uint8_t>(100, 0x41));
    for (const char* name : {"j.bmp", "j.png", "j.gif", "j.jpg", "j.ico", "j.wmf", "j.emf"}) {
        SCOPED_TRACE(name);
        std::filesystem::copy_file(dir.path("junk"), dir.path(name));
        EXPECT_FALSE(io::readPicture(dir.path(name), redBase(2, 2), noOptions()).ok());
    }
}

// Transparency comes from the bottom-left pixel's colour when the option is on.
TEST(Picture, TransparentOptionsKeyTheBottomLeftColour)
{
    test::ScratchFolder dir;
    gfx::Bitmap image = cubeColours(8, 8);
    image.setPixel(0, 7, gfx::clWhite);
    image.setPixel(5, 2, gfx::clWhite);
    app::FormatOptions on = noOptions();
    on.pngTransparent = on.gifTransparent = true;
    for (const auto& options : {noOptions(), on}) {
        ASSERT_TRUE(io::writePicture(dir.path("t.png"), image, options, {}, 25).ok());
        EXPECT_EQ(test::readBytes(dir.path("t.png")).at(25), options.pngTransparent ? 6 : 2); // colour type
        ASSERT_TRUE(io::writePicture(dir.path("t.gif"), image, options, {}, 25).ok());
        const auto gif = test::readBytes(dir.path("t.gif"));
        EXPECT_EQ(std::string(gif.begin(), gif.begin() + 6), options.gifTransparent ? "GIF89a" : "GIF87a");
    }
}

// Icons and metafiles are drawn over the image: its pixels stay top-left and where the icon is clear.
TEST(Picture, IconsAndMetafilesAreDrawnOverTheBase)
{
    test::ScratchFolder dir;
    gfx::Bitmap picture(32, 32);
    picture.fill(gfx::clBlue);
    picture.setPixel(0, 31, gfx::clLime); // transparent in the icon
    test::writeBytes(dir.path("i.ico"), io::encodeIcon(io::makeIcon(picture), 4).value());
    auto icon = io::readPicture(dir.path("i.ico"), redBase(40, 10), noOptions());
    ASSERT_TRUE(icon.ok() && icon.value());
    const gfx::Bitmap& got = *icon.value();
    ASSERT_EQ(got.width(), 32);
    ASSERT_EQ(got.height(), 32);
    EXPECT_EQ(got.pixel(5, 5), gfx::clBlue);
    EXPECT_EQ(got.pixel(0, 31), gfx::clWhite); // below the base: the new area is white
    app::FormatOptions stretch = noOptions();
    stretch.iconStretch = true;
    auto stretched = io::readPicture(dir.path("i.ico"), redBase(40, 10), stretch);
    ASSERT_TRUE(stretched.ok() && stretched.value());
    EXPECT_EQ(stretched.value()->width(), 256);
    EXPECT_EQ(stretched.value()->height(), 256);

    picture.fill(gfx::clLime); // all transparent: the base shows through, kept top-left
    picture.setPixel(20, 2, gfx::clBlue);
    test::writeBytes(dir.path("c.ico"), io::encodeIcon(io::makeIcon(picture), 8).value());
    auto clear = io::readPicture(dir.path("c.ico"), redBase(40, 10), noOptions());
    ASSERT_TRUE(clear.ok() && clear.value());
    EXPECT_EQ(clear.value()->pixel(3, 3), gfx::clRed);
    EXPECT_EQ(clear.value()->pixel(20, 2), gfx::clBlue);
    EXPECT_EQ(clear.value()->pixel(3, 20), gfx::clWhite);

    test::writeBytes(dir.path("m.wmf"), test::Wmf().windowExt(20, 20).moveTo(15, 0).lineTo(15, 20).bytes());
    auto meta = io::readPicture(dir.path("m.wmf"), redBase(10, 10), noOptions());
    ASSERT_TRUE(meta.ok() && meta.value());
    EXPECT_EQ(meta.value()->width(), 20);
    EXPECT_EQ(meta.value()->pixel(2, 2), gfx::clRed);
    EXPECT_EQ(meta.value()->pixel(18, 2), gfx::clWhite);
    EXPECT_EQ(meta.value()->pixel(15, 5), gfx::clBlack);
}
