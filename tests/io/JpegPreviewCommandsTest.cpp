#include "io/JpegPreviewCommands.h"

#include "app/Document.h"
#include "io/FileWriter.h"
#include "support/FakeHost.h"
#include "support/TestImages.h"

#include <filesystem>
#include <gtest/gtest.h>
#include <unistd.h>

using namespace daubix;

namespace {

std::vector<std::uint8_t> encoded(const gfx::Bitmap& image, int quality, bool grey)
{
    auto bytes = io::encodeJpeg(image, quality, grey);
    EXPECT_TRUE(bytes.ok());
    return bytes.ok() ? bytes.value() : std::vector<std::uint8_t>{};
}

std::vector<std::uint8_t> fileBytes(const std::string& path)
{
    auto bytes = io::readFile(path, 1 << 24);
    return bytes.ok() ? bytes.value() : std::vector<std::uint8_t>{};
}

// A fresh folder per test, removed afterwards.
class TempFolder {
public:
    TempFolder()
        : m_path(std::filesystem::temp_directory_path()
            / ("daubix-jpeg-preview-" + std::to_string(::getpid()) + "-"
                + ::testing::UnitTest::GetInstance()->current_test_info()->name()))
    {
        std::filesystem::remove_all(m_path);
        std::filesystem::create_directories(m_path);
    }
    ~TempFolder() { std::filesystem::remove_all(m_path); }
    std::string file(const std::string& name) const { return (m_path / name).string(); }

private:
    std::filesystem::path m_path;
};

struct PreviewCase {
    int width;
    int height;
    int quality;
    bool grey;
};

class PreviewJpeg : public ::testing::TestWithParam<PreviewCase> { };

// "Size=" shows the length of the compressed stream, and the picture is that stream decompressed.
TEST_P(PreviewJpeg, CountsTheEncodedBytesAndShowsTheirDecodedPicture)
{
    const PreviewCase c = GetParam();
    app::Document doc;
    doc.image = test::noise(c.width, c.height, 7);
    doc.jpegPreview = {c.quality, c.grey};
    auto preview = io::previewJpeg(doc);
    ASSERT_TRUE(preview.ok()) << preview.error();
    const std::vector<std::uint8_t> bytes = encoded(doc.image, c.quality, c.grey);
    EXPECT_EQ(preview.value().bytes, bytes.size());
    auto decoded = io::decodeJpeg(bytes);
    ASSERT_TRUE(decoded.ok());
    EXPECT_EQ(preview.value().picture, decoded.value());
    EXPECT_EQ(preview.value().picture.format(), gfx::PixelFormat::Bits24);
}

INSTANTIATE_TEST_SUITE_P(All, PreviewJpeg,
    ::testing::Values(PreviewCase{11, 13, 10, false}, PreviewCase{7, 5, 1, false}, PreviewCase{1, 1, 100, false},
        PreviewCase{11, 13, 10, true}, PreviewCase{64, 48, 75, true}),
    [](const auto& info) {
        const PreviewCase& c = info.param;
        return std::to_string(c.width) + "x" + std::to_string(c.height) + "q" + std::to_string(c.quality)
            + (c.grey ? "grey" : "colour");
    });

TEST(PreviewJpeg, GreyGivesEqualChannelsAndColourDoesNot)
{
    app::Document doc;
    doc.image = test::noise(11, 13, 3);
    for (const bool grey : {true, false}) {
        doc.jpegPreview.grey = grey;
        auto preview = io::previewJpeg(doc);
        ASSERT_TRUE(preview.ok());
        const gfx::Bitmap& p = preview.value().picture;
        int coloured = 0;
        for (int y = 0; y < p.height(); ++y)
            for (int x = 0; x < p.width(); ++x) {
                const gfx::Color c = p.pixel(x, y);
                coloured += gfx::red(c) != gfx::green(c) || gfx::green(c) != gfx::blue(c);
            }
        if (grey)
            EXPECT_EQ(coloured, 0);
        else
            EXPECT_GT(coloured, 0); // the check above would pass on a picture that lost its colour anyway
    }
}

TEST(PreviewJpeg, ReportsWhatJpegCannotHold)
{
    app::Document doc;
    doc.image = gfx::Bitmap(65501, 1);
    auto preview = io::previewJpeg(doc);
    ASSERT_FALSE(preview.ok());
    EXPECT_EQ(preview.error(), "A JPEG picture can be at most 65500 pixels wide and high.");
}

TEST(JpgFileName, ForcesTheExtensionToJpg)
{
    const std::pair<std::string, std::string> cases[] = {
        {"/a/b.png", "/a/b.jpg"},
        {"/a/b.jpeg", "/a/b.jpg"},
        {"/a/b.JPG", "/a/b.jpg"},
        {"/a/b.jpg", "/a/b.jpg"},
        {"/a/b", "/a/b.jpg"},
        {"/a/b.c.d", "/a/b.c.jpg"},
        {"/a.dir/b", "/a.dir/b.jpg"},
        {"b.", "b.jpg"},
    };
    for (const auto& [chosen, forced] : cases)
        EXPECT_EQ(io::jpgFileName(chosen), forced) << chosen;
}

TEST(ReplaceQuestion, AsksOnlyAboutAnotherFileThatExists)
{
    TempFolder folder;
    ASSERT_TRUE(io::writeFileAtomically(folder.file("old.jpg"), std::vector<std::uint8_t>{1, 2, 3}).ok());
    // The dialog confirmed the name itself; a forced name that is the same file needs no second question.
    EXPECT_EQ(io::replaceQuestion(folder.file("old.jpg"), folder.file("old.jpg")), std::nullopt);
    EXPECT_EQ(io::replaceQuestion(folder.file("new.png"), folder.file("new.jpg")), std::nullopt);
    EXPECT_EQ(io::replaceQuestion(folder.file("old.png"), folder.file("old.jpg")), "Replace old.jpg?");
    EXPECT_EQ(io::replaceQuestion(folder.file("old.jpeg"), folder.file("old.jpg")), "Replace old.jpg?");
    // A hard link is the file the dialog asked about, under another name.
    std::filesystem::create_hard_link(folder.file("old.jpg"), folder.file("same.JPG"));
    EXPECT_EQ(io::replaceQuestion(folder.file("same.JPG"), folder.file("old.jpg")), std::nullopt);
}

TEST(SaveJpegPreview, WritesColourAtTheChosenQualityWhateverTheGreyBox)
{
    TempFolder folder;
    app::Document doc;
    doc.image = test::noise(11, 13, 5);
    doc.jpegPreview = {37, true};
    ASSERT_TRUE(io::saveJpegPreview(doc, folder.file("out.jpg")).ok());
    EXPECT_EQ(fileBytes(folder.file("out.jpg")), encoded(doc.image, 37, false));
}

TEST(SaveJpegPreview, LeavesNoFileWhenItFails)
{
    TempFolder folder;
    app::Document doc;
    doc.image = gfx::Bitmap(65501, 1);
    EXPECT_FALSE(io::saveJpegPreview(doc, folder.file("wide.jpg")).ok());
    EXPECT_FALSE(std::filesystem::exists(folder.file("wide.jpg")));
    doc.image = test::noise(3, 3, 1);
    const gfx::Status missing = io::saveJpegPreview(doc, folder.file("no/such/folder.jpg"));
    EXPECT_FALSE(missing.ok());
    EXPECT_FALSE(missing.error().empty());
}

TEST(UseJpegPreview, PushesOneUndoStepThenTakesThePicture)
{
    app::Document doc;
    test::FakeHost host;
    doc.image = test::noise(11, 13, 9);
    const gfx::Bitmap before = doc.image;
    auto preview = io::previewJpeg(doc);
    ASSERT_TRUE(preview.ok());
    const int index = doc.undo.index();
    ASSERT_TRUE(io::useJpegPreview(doc, host, preview.value().picture).ok());
    EXPECT_EQ(doc.image, preview.value().picture);
    EXPECT_TRUE(doc.modified);
    EXPECT_EQ(doc.undo.index(), index % app::UndoRing::kSlots + 1);
    EXPECT_EQ(doc.undo.newest(), before);
    EXPECT_EQ(host.repaints, std::vector<gfx::Rect>{(gfx::Rect{0, 0, 11, 13})});
    doc.undo.undo(doc.image);
    EXPECT_EQ(doc.image, before);
}

TEST(UseJpegPreview, RefusesAnEmptyPictureAndChangesNothing)
{
    app::Document doc;
    test::FakeHost host;
    const int index = doc.undo.index();
    const gfx::Status used = io::useJpegPreview(doc, host, gfx::Bitmap());
    EXPECT_EQ(used.error(), "There is no preview to use.");
    EXPECT_EQ(doc.image, gfx::Bitmap(256, 256));
    EXPECT_EQ(doc.undo.index(), index);
    EXPECT_FALSE(doc.modified);
    EXPECT_TRUE(host.repaints.empty());
}

} // namespace
