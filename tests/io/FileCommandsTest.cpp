#include "io/FileCommands.h"

#include "app/Command.h"
#include "app/Document.h"
#include "app/ImageCommands.h"
#include "app/Prompt.h"
#include "io/BmpCodec.h"
#include "io/JpegCodec.h"
#include "io/MetafileBuilder.h"
#include "io/PeerTools.h"
#include "io/Picture.h"
#include "support/FakeHost.h"
#include "support/TestImages.h"

#include <filesystem>
#include <gtest/gtest.h>

using namespace daubix;

namespace {

const app::CommandRow& row(std::string_view path)
{
    for (const app::CommandRow& r : io::fileCommandRows())
        if (r.path == path)
            return r;
    throw std::logic_error("no row " + std::string(path));
}

// A document that has been worked on: a red picture, a range, colours, modified, its first undo step.
struct Fixture {
    app::Document doc;
    test::FakeHost host;
    test::ScratchFolder dir;

    Fixture()
    {
        doc.image = gfx::Bitmap(40, 30);
        doc.image.fill(gfx::clRed);
        doc.range = {2, 3, 10, 12};
        doc.firstColor = gfx::clBlue;
        doc.secondColor = gfx::clYellow;
        doc.canvas.brush.setStyle(gfx::BrushStyle::Clear);
        doc.modified = true;
        app::pushImage(doc);
    }
    void run(std::string_view path)
    {
        app::CommandContext ctx{doc, host};
        app::runCommand(ctx, row(path));
    }
};

} // namespace

TEST(FileCommands, NewAsksBothSidesBeforeChangingAnything)
{
    struct Case {
        std::vector<std::optional<std::string>> answers; // height, then width
        int width, height; // 0: no change
        bool message;
    };
    const Case cases[] = {
        {{"30", "45"}, 45, 30, false},
        {{"abc", " 7 "}, 7, 100, false}, // not a number: 100
        {{"0", "10"}, 0, 0, true},
        {{"70000", "5"}, 0, 0, true},
        {{"5", "99999999999"}, 0, 0, true},
        {{"20000", "20000"}, 0, 0, true}, // over 2^28 pixels
        {{"-3", "10"}, 0, 0, true},
        {{}, 0, 0, false}, // cancelled at once
        {{"12"}, 0, 0, false}, // cancelled at the width
    };
    for (const Case& c : cases) {
        Fixture f;
        for (const auto& a : c.answers)
            f.host.answers.push_back(a);
        const int index = f.doc.undo.index();
        f.run("File > &New");
        SCOPED_TRACE(c.answers.empty() ? "cancel" : *c.answers[0]);
        EXPECT_EQ(f.host.prompts.size(), std::min<std::size_t>(2, c.answers.size() + 1));
        EXPECT_EQ(f.host.captions.front(), "Daubix");
        EXPECT_EQ(f.host.initials.front(), "100");
        if (c.width == 0) {
            EXPECT_EQ(f.doc.image.width(), 40);
            EXPECT_EQ(f.doc.image.pixel(0, 0), gfx::clRed);
            EXPECT_EQ(f.doc.undo.index(), index);
            EXPECT_TRUE(f.doc.modified);
            EXPECT_EQ(f.host.failures.size(), c.message ? 1u : 0u);
            if (c.message) {
                EXPECT_EQ(f.host.failures[0], "Image size out of range (1..65535 a side, 268435456 pixels at most).");
            }
            continue;
        }
        EXPECT_EQ(f.host.prompts, (std::vector<std::string>{"Image height:", "Image width:"}));
        EXPECT_EQ(f.doc.image, gfx::Bitmap(c.width, c.height)); // white all over
        EXPECT_EQ(f.doc.range, (gfx::Rect{2, 3, 10, 12}));
        EXPECT_FALSE(f.doc.modified);
        EXPECT_EQ(f.doc.undo.index(), index + 1);
        EXPECT_EQ(f.host.statuses.back(), (std::pair<int, std::string>{0, ""}));
        gfx::Bitmap undone;
        f.doc.undo.undo(undone);
        EXPECT_EQ(undone.pixel(0, 0), gfx::clRed); // New itself can be undone
    }
}

// White means white: a pattern brush in force does not show in the new image.
TEST(FileCommands, NewIsWhiteUnderAPatternBrush)
{
    Fixture f;
    gfx::Bitmap pattern(8, 8);
    pattern.fill(gfx::clBlue);
    f.doc.canvas.brush.setPattern(pattern);
    f.host.answers = {"6", "9"};
    f.run("File > &New");
    EXPECT_EQ(f.doc.image, gfx::Bitmap(9, 6));
}

TEST(FileCommands, NewBannerKeepsThePictureTopLeft)
{
    Fixture f;
    f.run("File > New &Banner");
    ASSERT_EQ(f.doc.image.width(), 468);
    ASSERT_EQ(f.doc.image.height(), 60);
    EXPECT_EQ(f.doc.image.pixel(39, 29), gfx::clRed);
    EXPECT_EQ(f.doc.image.pixel(40, 0), gfx::clWhite);
    EXPECT_EQ(f.doc.image.pixel(0, 30), gfx::clWhite);
    EXPECT_EQ(f.doc.range, (gfx::Rect{0, 0, 468, 60}));
    EXPECT_EQ(f.doc.secondColor, gfx::clWhite);
    EXPECT_EQ(f.doc.canvas.brush.color(), gfx::clWhite);
    EXPECT_TRUE(f.doc.modified);
}

// Every format the Open table reads: the picture replaces the image, the range covers it, the canvas
// takes the panel's colours (the clear brush turns solid), and the image counts as saved.
TEST(FileCommands, OpenReadsEveryListedFormat)
{
    Fixture f;
    const gfx::Bitmap picture = test::noise(21, 13, 5);
    for (const char* name : {"p.bmp", "p.PNG", "p.gif", "p.jpg", "p.jpeg", "p.ico"})
        ASSERT_TRUE(io::writePicture(f.dir.path(name), picture, {}, {}, 90).ok());
    test::writeBytes(f.dir.path("m.wmf"), test::Wmf().windowExt(64, 48).lineTo(10, 10).bytes());
    test::writeBytes(f.dir.path("m.emf"), test::Emf().record(54, {5, 5}).pixels(33, 17));
    struct Case {
        const char* name;
        int width, height;
    };
    for (const Case c : {Case{"p.bmp", 21, 13}, Case{"p.PNG", 21, 13}, Case{"p.gif", 21, 13}, Case{"p.jpg", 21, 13},
             Case{"p.jpeg", 21, 13}, Case{"p.ico", 256, 256}, Case{"m.wmf", 64, 48}, Case{"m.emf", 33, 17}}) {
        SCOPED_TRACE(c.name);
        Fixture g;
        g.host.files = {f.dir.path(c.name)};
        g.run("File > &Open...");
        EXPECT_TRUE(g.host.failures.empty()) << g.host.failures.front();
        EXPECT_EQ(g.doc.image.width(), c.width);
        EXPECT_EQ(g.doc.image.height(), c.height);
        EXPECT_EQ(g.host.statuses.back(), (std::pair<int, std::string>{0, c.name}));
        EXPECT_EQ(g.doc.range, (gfx::Rect{0, 0, c.width, c.height}));
        EXPECT_EQ(g.doc.canvas.pen.color, gfx::clBlue);
        EXPECT_EQ(g.doc.canvas.brush.color(), gfx::clYellow);
        EXPECT_EQ(g.doc.canvas.brush.style(), gfx::BrushStyle::Solid);
        EXPECT_FALSE(g.doc.modified);
        EXPECT_EQ(g.host.fileFilters.back().second, 1);
    }
    Fixture bmp;
    bmp.host.files = {f.dir.path("p.bmp")};
    bmp.run("File > &Open...");
    EXPECT_EQ(bmp.doc.image, picture);
}

TEST(FileCommands, AFailedOpenChangesNothingButWhatCameBefore)
{
    Fixture f;
    test::writeBytes(f.dir.path("bad.png"), std::vector<std::uint8_t>(50, 7));
    f.host.files = {f.dir.path("bad.png")};
    const int index = f.doc.undo.index();
    std::vector<gfx::Bitmap> slots;
    for (int i = 0; i < app::UndoRing::kSlots; ++i)
        slots.push_back(f.doc.undo.slot(i));
    f.run("File > &Open...");
    for (int i = 0; i < app::UndoRing::kSlots; ++i)
        EXPECT_EQ(f.doc.undo.slot(i), slots[static_cast<std::size_t>(i)]) << "slot " << i;
    EXPECT_EQ(f.host.failures, std::vector<std::string>{"Error Reading File!"});
    EXPECT_EQ(f.doc.image.width(), 40);
    EXPECT_EQ(f.doc.image.pixel(0, 0), gfx::clRed);
    EXPECT_EQ(f.doc.range, (gfx::Rect{2, 3, 10, 12}));
    EXPECT_EQ(f.doc.undo.index(), index);
    EXPECT_TRUE(f.doc.modified);
    EXPECT_EQ(f.host.statuses.back(), (std::pair<int, std::string>{0, "bad.png"})); // said before reading

    // An unlisted extension reads nothing, says so, and still resets the range and colours.
    Fixture g;
    g.host.files = {g.dir.path("notes.txt")};
    g.run("File > &Open...");
    EXPECT_EQ(g.host.failures, std::vector<std::string>{"Unknown file type: nothing was opened."});
    EXPECT_EQ(g.doc.range, (gfx::Rect{0, 0, 40, 30}));
    EXPECT_EQ(g.doc.canvas.brush.style(), gfx::BrushStyle::Solid);
    EXPECT_TRUE(g.doc.modified);

    Fixture cancelled;
    cancelled.run("File > &Open...");
    EXPECT_TRUE(cancelled.host.statuses.empty());
    EXPECT_EQ(cancelled.doc.range, (gfx::Rect{2, 3, 10, 12}));
}

TEST(FileCommands, SaveAsWritesByExtensionAndOnlyThenCountsAsSaved)
{
    struct Case {
        const char* name;
        bool written;
    };
    for (const Case c : {Case{"a.Png", true}, Case{"a.JPEG", true}, Case{"a.bmp", true}, Case{"a.gif", true},
             Case{"a.tif", true}, Case{"a.ICO", true}, Case{"a.xyz", false}, Case{"a.tiff", false}, Case{"a", false}}) {
        SCOPED_TRACE(c.name);
        Fixture f;
        f.host.files = {f.dir.path(c.name)};
        f.run("File > Save &As...");
        EXPECT_EQ(std::filesystem::exists(f.dir.path(c.name)), c.written);
        EXPECT_EQ(f.doc.modified, !c.written);
        EXPECT_EQ(f.host.statuses.back(), (std::pair<int, std::string>{0, c.name}));
        EXPECT_EQ(f.host.fileFilters.back().second, 1);
        if (!c.written) {
            EXPECT_EQ(f.host.failures, std::vector<std::string>{"Unknown file type: nothing was saved."});
        }
        const bool icon = std::string_view(c.name) == "a.ICO";
        EXPECT_EQ(f.doc.range, (icon ? gfx::Rect{0, 0, 39, 29} : gfx::Rect{2, 3, 10, 12}));
        if (icon) {
            EXPECT_EQ(f.doc.rangeBuffer, f.doc.image);
        }
    }
    Fixture jpeg;
    jpeg.host.files = {jpeg.dir.path("q.jpg")};
    jpeg.run("File > Save &As...");
    EXPECT_EQ(test::readBytes(jpeg.dir.path("q.jpg")), io::encodeJpeg(jpeg.doc.image, 25, false).value());

    Fixture empty;
    empty.doc.image = gfx::Bitmap();
    empty.host.files = {empty.dir.path("e.bmp")};
    empty.run("File > Save &As...");
    EXPECT_EQ(empty.host.failures, std::vector<std::string>{"The image is empty."});
    EXPECT_FALSE(std::filesystem::exists(empty.dir.path("e.bmp")));
}

// Save As follows the transparency options; Save Pattern writes a square 4-bit BMP whatever the name.
TEST(FileCommands, PatternsAndOptions)
{
    Fixture f;
    f.doc.formats.pngTransparent = true;
    f.host.files = {f.dir.path("t.png"), f.dir.path("pattern.png")};
    f.run("File > Save &As...");
    EXPECT_EQ(test::readBytes(f.dir.path("t.png")).at(25), 6);
    f.run("File > Save Pattern...");
    EXPECT_EQ(f.host.fileFilters.back().second, 2);
    auto pattern = io::readBmpFile(f.dir.path("pattern.png"));
    ASSERT_TRUE(pattern.ok()) << pattern.error();
    EXPECT_EQ(pattern.value().format(), gfx::PixelFormat::Bits4);
    EXPECT_EQ(pattern.value().width(), 32);
    EXPECT_EQ(pattern.value().height(), 32);
    EXPECT_EQ(pattern.value().pixel(5, 5), gfx::clRed);

    // Open Pattern stretches a BMP over the image, which keeps its size.
    gfx::Bitmap two(2, 1);
    two.setPixel(0, 0, gfx::clBlue);
    two.setPixel(1, 0, gfx::clLime);
    ASSERT_TRUE(io::writeBmpFile(f.dir.path("two.bmp"), two).ok());
    f.host.files = {f.dir.path("two.bmp")};
    f.run("File > Open Pattern...");
    EXPECT_EQ(f.host.fileFilters.back().second, 5);
    EXPECT_EQ(f.doc.image.width(), 40);
    EXPECT_EQ(f.doc.image.pixel(0, 29), gfx::clBlue);
    EXPECT_EQ(f.doc.image.pixel(39, 0), gfx::clLime);
}

// The dialogs' filters in the form the dialogs take: globs in brackets, entries apart by ";;".
TEST(FileCommands, DialogFiltersKeepTheirNamesAndGlobs)
{
    EXPECT_EQ(app::dialogFilter("Graphic Files (bmp,gif,ico,tif, jpg or png)|*.bmp;*.gif;*.ico;*tif;*.jpg;*.png|BMP Files|*.bmp"),
        "Graphic Files (bmp,gif,ico,tif, jpg or png) (*.bmp *.gif *.ico *tif *.jpg *.png);;BMP Files (*.bmp)");
    Fixture f;
    f.run("File > &Open...");
    EXPECT_TRUE(f.host.fileFilters.back().first.starts_with(
        "All (*.gif;*.jpg;*.png;*.jpeg;*.bmp;*.ico;*.emf;*.wmf) (*.gif *.jpg *.jpeg *.png *.bmp *.ico *.emf *.wmf);;"
        "CompuServe GIF Image (*.gif) (*.gif);;"));
}
