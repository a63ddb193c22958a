#include "effects/ImageTransforms.h"

#include "app/Command.h"
#include "app/Document.h"
#include "app/Range.h"
#include "effects/Geometry.h"
#include "support/FakeHost.h"
#include "support/TestImages.h"

#include <gtest/gtest.h>

using namespace daubix;

namespace {

class ImageTransforms : public ::testing::Test {
protected:
    app::Document doc;
    test::FakeHost host;

    const app::CommandRow& row(std::string_view path)
    {
        for (const app::CommandRow& r : effects::imageTransformRows())
            if (r.path == path)
                return r;
        ADD_FAILURE() << "no row " << path;
        return effects::imageTransformRows().front();
    }
    void run(std::string_view path)
    {
        app::CommandContext ctx{doc, host};
        app::runCommand(ctx, row(path));
    }
};

} // namespace

TEST_F(ImageTransforms, FactorTakesNumbersFromATenthToOne)
{
    const std::pair<const char*, double> answers[] = {
        {"0.5", 0.5}, {"nan", 0.5}, {"1.5", 0.5}, {"inf", 0.5}, {"0,25", 0.25}, {"1", 1}, {"0.1", 0.1}, {"abc", 0.1}};
    for (const auto& [answer, factor] : answers) {
        host.answers = {answer};
        run("Image > Projection > &Factor...");
        EXPECT_DOUBLE_EQ(doc.projectionFactor, factor) << answer;
    }
    EXPECT_EQ(host.captions.front(), "Daubix Projection");
    EXPECT_EQ(host.prompts.front(), "Enter Projection Factor (0.1 .. 1)");
    EXPECT_EQ(host.initials.front(), "0.75");
    EXPECT_TRUE(host.messages.empty());
}

TEST_F(ImageTransforms, TheProjectionFlagsToggleWithTheirMarks)
{
    const app::CommandRow& retain = row("Image > Projection > &Retain Borders");
    const app::CommandRow& sinus = row("Image > Projection > &Sinus");
    EXPECT_FALSE(retain.checked(doc, retain));
    EXPECT_TRUE(sinus.checked(doc, sinus));
    run("Image > Projection > &Retain Borders");
    run("Image > Projection > &Sinus");
    EXPECT_TRUE(doc.retainBorders);
    EXPECT_FALSE(doc.sinus);
}

TEST_F(ImageTransforms, WedgeWantsASquareImage)
{
    doc.image = test::noise(30, 20, 3);
    const gfx::Bitmap before = doc.image;
    run("Image > Mirror > &Wedge");
    EXPECT_EQ(host.messages, std::vector<std::string>{"image must be square"});
    EXPECT_EQ(doc.image, before);
    EXPECT_EQ(doc.undo.index(), 1);
}

TEST_F(ImageTransforms, FlipsLeaveEightBitsAndMovesComeRoundAgain)
{
    doc.image = test::noise(13, 7, 4);
    run("Image > Flip > Right");
    EXPECT_EQ(doc.image.format(), gfx::PixelFormat::Bits8);

    doc.image = test::noise(13, 7, 5);
    const gfx::Bitmap start = doc.image;
    for (int i = 0; i < 13; ++i)
        run("Image > Move > Right");
    EXPECT_EQ(doc.image, start);
    run("Image > Move > Left");
    EXPECT_EQ(doc.image.pixel(12, 3), start.pixel(0, 3));

    // Up and down keep the image's own format.
    doc.image = test::noise(9, 6, 6).converted(gfx::PixelFormat::Bits4);
    const gfx::Bitmap four = doc.image;
    run("Image > Move > Up");
    EXPECT_EQ(doc.image.format(), gfx::PixelFormat::Bits4);
    EXPECT_EQ(doc.image.pixel(4, 5), four.pixel(4, 0));
}

// The range's whirl is drawn back at the range with the canvas copy mode, and the image is 24 bits after.
TEST_F(ImageTransforms, RangeWhirlsDrawBackAtTheRange)
{
    doc.image = test::noise(40, 40, 8).converted(gfx::PixelFormat::Bits8);
    const gfx::Bitmap before = doc.image.converted(gfx::PixelFormat::Bits24);
    doc.range = {10, 12, 22, 19};
    app::Document copy; // the buffer the command whirls, made the same way on the side
    copy.image = before;
    copy.range = doc.range;
    app::copyRangeOnWhite(copy, gfx::kSrcCopy);
    const gfx::Bitmap& buffer = copy.rangeBuffer;
    const gfx::Bitmap whirled
        = effects::whirl(buffer, {buffer.width() / 2, buffer.height() / 2}, effects::WhirlKind::In, doc.tables);
    doc.canvas.copyMode = gfx::kNotSrcCopy;
    run("Range > &Whirl > Whirl In");
    EXPECT_EQ(doc.image.format(), gfx::PixelFormat::Bits24);
    for (int y = 0; y < 40; ++y)
        for (int x = 0; x < 40; ++x) {
            const bool inside = x >= 10 && x < 10 + buffer.width() && y >= 12 && y < 12 + buffer.height();
            const gfx::Color expected = inside ? ~whirled.pixel(x - 10, y - 12) & 0xFFFFFF : before.pixel(x, y);
            ASSERT_EQ(doc.image.pixel(x, y), expected) << x << "," << y;
        }
}

TEST_F(ImageTransforms, ClipsWhitenTheCornersWithTheCopyMode)
{
    doc.image = gfx::Bitmap(30, 20);
    doc.image.fill(gfx::clRed);
    run("Image > Clip > Ellipse");
    EXPECT_EQ(doc.image.pixel(0, 0), gfx::clWhite);
    EXPECT_EQ(doc.image.pixel(15, 10), gfx::clRed);
    doc.image.fill(gfx::clRed);
    doc.canvas.copyMode = gfx::kSrcAnd;
    run("Image > Clip > Diamond");
    EXPECT_EQ(doc.image.pixel(0, 0), gfx::clRed); // white AND red
    EXPECT_EQ(doc.image.pixel(15, 10), gfx::clRed);
}
