#include "io/PreviewFrames.h"

#include "app/Command.h"
#include "app/Document.h"
#include "app/ImageCommands.h"
#include "app/Preview.h"
#include "io/FileWriter.h"
#include "io/GifCodec.h"
#include "support/FakeHost.h"
#include "support/TestImages.h"

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <gtest/gtest.h>
#include <unistd.h>

using namespace daubix;

namespace {

// A fresh folder per test, removed afterwards.
class TempFolder {
public:
    TempFolder()
        : m_path(std::filesystem::temp_directory_path()
            / ("daubix-frames-" + std::to_string(::getpid()) + "-"
                + ::testing::UnitTest::GetInstance()->current_test_info()->name()))
    {
        std::filesystem::remove_all(m_path);
        std::filesystem::create_directories(m_path);
    }
    ~TempFolder() { std::filesystem::remove_all(m_path); }
    std::string file(const std::string& name) const { return (m_path / name).string(); }
    std::vector<std::string> names() const
    {
        std::vector<std::string> out;
        for (const auto& entry : std::filesystem::directory_iterator(m_path))
            out.push_back(entry.path().filename().string());
        std::sort(out.begin(), out.end());
        return out;
    }

private:
    std::filesystem::path m_path;
};

std::vector<std::uint8_t> fileBytes(const std::string& path)
{
    auto bytes = io::readFile(path, 1 << 24);
    return bytes.ok() ? bytes.value() : std::vector<std::uint8_t>{};
}

std::vector<std::uint8_t> gifBytes(const gfx::Bitmap& picture, io::GifControl control)
{
    auto bytes = io::encodeGif(picture, app::GifSettings{}, {.control = control});
    EXPECT_TRUE(bytes.ok());
    return bytes.ok() ? bytes.value() : std::vector<std::uint8_t>{};
}

// The document, its host, and a press on one of the preview window's buttons as the window makes it.
class PreviewWindow : public ::testing::Test {
protected:
    PreviewWindow()
    {
        doc.image = test::noise(9, 7, 5);
        app::pushImage(doc); // as the window does when it first shows
        doc.modified = false;
    }
    void press(std::string_view button)
    {
        const std::string path = "TQuickPreviewF > " + std::string(button);
        for (const app::CommandRow& row : io::previewWindowRows())
            if (row.path == path) {
                app::CommandContext ctx{doc, host};
                app::runCommand(ctx, row);
                return;
            }
        ADD_FAILURE() << "no button " << button;
    }

    TempFolder folder;
    app::Document doc;
    test::FakeHost host;
};

TEST_F(PreviewWindow, SaveThenTheCounterButtonWriteNumberedFrames)
{
    const gfx::Bitmap first = test::noise(9, 7, 11), second = test::noise(9, 7, 12);
    app::showPicture(doc, first);
    host.files = {folder.file("base.gif")};
    press("Save...");
    EXPECT_EQ(host.fileFilters, (std::vector<std::pair<std::string, int>>{{"GIF Images (*.gif)", 1}}));
    EXPECT_EQ(doc.preview.baseName, folder.file("base"));
    EXPECT_EQ(doc.preview.counter, 2);
    app::showPicture(doc, second);
    press("CounterButton");
    EXPECT_EQ(doc.preview.counter, 3);
    EXPECT_EQ(host.fileFilters.size(), 1u); // the counter button asked for nothing
    EXPECT_EQ(folder.names(), (std::vector<std::string>{"base1.gif", "base2.gif"}));
    EXPECT_EQ(fileBytes(folder.file("base1.gif")), gifBytes(first, io::GifControl::None));
    EXPECT_EQ(fileBytes(folder.file("base2.gif")), gifBytes(second, io::GifControl::None));
    EXPECT_TRUE(host.messages.empty());

    // "Save..." starts the numbering again under the new name.
    host.files = {folder.file("sky")};
    press("Save...");
    EXPECT_EQ(doc.preview.counter, 2);
    EXPECT_EQ(fileBytes(folder.file("sky1.gif")), gifBytes(second, io::GifControl::None));
}

TEST_F(PreviewWindow, TheCounterButtonWithoutABaseNameActsAsSave)
{
    app::showPicture(doc, test::noise(9, 7, 11));
    press("CounterButton"); // the dialog is cancelled
    EXPECT_EQ(host.fileFilters.size(), 1u);
    EXPECT_EQ(doc.preview.counter, 0);
    EXPECT_EQ(doc.preview.baseName, "");
    EXPECT_TRUE(folder.names().empty());

    host.files = {folder.file("run.gif")};
    press("CounterButton");
    EXPECT_EQ(host.fileFilters.size(), 2u);
    EXPECT_EQ(folder.names(), std::vector<std::string>{"run1.gif"});
    EXPECT_EQ(doc.preview.counter, 2);
}

TEST_F(PreviewWindow, TheTransparentBoxMakesTheBottomLeftColourTransparent)
{
    gfx::Bitmap picture = test::noise(9, 7, 11);
    picture.setPixel(0, 6, gfx::rgb(51, 102, 153));
    app::showPicture(doc, picture);
    for (const bool transparent : {true, false}) {
        doc.preview.transparent = transparent;
        host.files = {folder.file(transparent ? "clear.gif" : "plain.gif")};
        press("Save...");
    }
    EXPECT_EQ(fileBytes(folder.file("clear1.gif")), gifBytes(picture, io::GifControl::BottomLeftTransparent));
    EXPECT_EQ(fileBytes(folder.file("plain1.gif")), gifBytes(picture, io::GifControl::None));
}

struct BaseNameCase {
    const char* chosen;
    const char* base;
};

class FrameBaseName : public ::testing::TestWithParam<BaseNameCase> { };

// Only the last path component carries an extension.
TEST_P(FrameBaseName, DropsTheExtensionOfTheLastComponentOnly)
{
    EXPECT_EQ(io::frameBaseName(GetParam().chosen), GetParam().base);
}

INSTANTIATE_TEST_SUITE_P(All, FrameBaseName,
    ::testing::Values(BaseNameCase{"/home/a.b/sky", "/home/a.b/sky"},
        BaseNameCase{"/home/a.b/sky.gif", "/home/a.b/sky"}, BaseNameCase{"sky.GIF", "sky"}, BaseNameCase{"sky", "sky"},
        BaseNameCase{"/x/sky.tar.png", "/x/sky.tar"}, BaseNameCase{"./frames/a", "./frames/a"}));

TEST_F(PreviewWindow, AFolderWithADotKeepsItsName)
{
    std::filesystem::create_directory(folder.file("a.b"));
    app::showPicture(doc, test::noise(9, 7, 11));
    host.files = {folder.file("a.b/sky")};
    press("Save...");
    EXPECT_EQ(fileBytes(folder.file("a.b/sky1.gif")), gifBytes(test::noise(9, 7, 11), io::GifControl::None));
    EXPECT_EQ(folder.names(), std::vector<std::string>{"a.b"});
}

// A frame that cannot be put in place says why, leaves no trace, and is tried again under the same number.
TEST_F(PreviewWindow, AFailedFrameShowsTheMessageAndKeepsTheCounter)
{
    app::showPicture(doc, test::noise(9, 7, 11));
    host.files = {folder.file("base.gif")};
    press("Save...");
    std::filesystem::create_directory(folder.file("base2.gif"));
    press("CounterButton");
    EXPECT_EQ(host.failures,
        std::vector<std::string>{"Cannot write \"" + folder.file("base2.gif") + "\": " + std::strerror(EISDIR)});
    EXPECT_EQ(doc.preview.counter, 2);
    EXPECT_EQ(folder.names(), (std::vector<std::string>{"base1.gif", "base2.gif"}));
    EXPECT_TRUE(std::filesystem::is_directory(folder.file("base2.gif")));

    std::filesystem::remove(folder.file("base2.gif"));
    press("CounterButton");
    EXPECT_EQ(doc.preview.counter, 3);
    EXPECT_EQ(fileBytes(folder.file("base2.gif")), gifBytes(test::noise(9, 7, 11), io::GifControl::None));

    // A reduction the writer refuses fails the same way, before any file is touched.
    doc.gif.method = 3;
    press("CounterButton");
    EXPECT_EQ(host.failures.size(), 2u);
    EXPECT_EQ(doc.preview.counter, 3);
    EXPECT_EQ(folder.names(), (std::vector<std::string>{"base1.gif", "base2.gif"}));
}

TEST_F(PreviewWindow, NothingChangesInTheImageBeforeUse)
{
    const gfx::Bitmap image = doc.image;
    const int index = doc.undo.index();
    app::showPicture(doc, test::noise(9, 7, 11));
    host.files = {folder.file("base.gif")};
    press("Save...");
    doc.preview.transparent = true;
    press("CounterButton");
    app::showPicture(doc, test::noise(9, 7, 12));
    EXPECT_EQ(doc.image, image);
    EXPECT_EQ(doc.undo.index(), index);
    EXPECT_FALSE(doc.modified);
}

TEST_F(PreviewWindow, UseIsOneUndoStep)
{
    const gfx::Bitmap image = doc.image;
    const gfx::Bitmap picture = test::noise(9, 7, 11);
    doc.canvas.copyMode = gfx::kSrcInvert;
    const int index = doc.undo.index();
    app::showPicture(doc, picture);
    press("Use");
    gfx::Bitmap expected = image;
    for (int y = 0; y < 7; ++y)
        for (int i = 0; i < 27; ++i)
            expected.scanLine(y)[i] ^= picture.scanLine(y)[i];
    EXPECT_EQ(doc.image, expected);
    EXPECT_EQ(doc.undo.index(), index % app::UndoRing::kSlots + 1);
    EXPECT_EQ(doc.undo.newest(), image);
    EXPECT_TRUE(doc.modified);
    EXPECT_FALSE(doc.preview.shown);
    app::undoImage(doc, host);
    EXPECT_EQ(doc.image, image);
}

// Drawing the image over itself in source copy changes nothing, and leaves no step behind.
TEST_F(PreviewWindow, UseThatChangesNothingPushesNothing)
{
    const int index = doc.undo.index();
    app::showPicture(doc, doc.image);
    host.files = {folder.file("same.gif")};
    press("Save...");
    press("Use");
    EXPECT_EQ(doc.undo.index(), index);
    EXPECT_FALSE(doc.modified);
    EXPECT_FALSE(doc.preview.shown);
    EXPECT_EQ(doc.preview.baseName, "");
    EXPECT_EQ(doc.preview.counter, 0);
}

} // namespace
