#include "app/Preview.h"

#include "app/Document.h"
#include "support/FakeHost.h"
#include "support/TestImages.h"

#include <gtest/gtest.h>

using namespace daubix;

namespace {

struct CopyModeCase {
    const char* name;
    gfx::Rop3 mode;
    std::uint8_t (*byte)(std::uint8_t source, std::uint8_t destination);
};

// What each copy mode makes of a source byte over a destination byte.
const CopyModeCase kCopyModes[] = {
    {"Copy", gfx::kSrcCopy, [](std::uint8_t s, std::uint8_t) { return s; }},
    {"SourceInvert", gfx::kSrcInvert, [](std::uint8_t s, std::uint8_t d) { return std::uint8_t(s ^ d); }},
    {"SourceAnd", gfx::kSrcAnd, [](std::uint8_t s, std::uint8_t d) { return std::uint8_t(s & d); }},
    {"SourcePaint", gfx::kSrcPaint, [](std::uint8_t s, std::uint8_t d) { return std::uint8_t(s | d); }},
    {"NotSourceCopy", gfx::kNotSrcCopy, [](std::uint8_t s, std::uint8_t) { return std::uint8_t(~s); }},
    {"MergePaint", gfx::kMergePaint, [](std::uint8_t s, std::uint8_t d) { return std::uint8_t(~s | d); }},
    {"SourceErase", gfx::kSrcErase, [](std::uint8_t s, std::uint8_t d) { return std::uint8_t(s & ~d); }},
};

// The image with the picture combined into its top-left corner byte by byte, the rest as it was.
gfx::Bitmap combined(const gfx::Bitmap& image, const gfx::Bitmap& picture, const CopyModeCase& c)
{
    gfx::Bitmap out = image;
    const int w = std::min(image.width(), picture.width());
    const int h = std::min(image.height(), picture.height());
    for (int y = 0; y < h; ++y)
        for (int i = 0; i < w * 3; ++i)
            out.scanLine(y)[i] = c.byte(picture.scanLine(y)[i], image.scanLine(y)[i]);
    return out;
}

class UseUnderCopyMode : public ::testing::TestWithParam<CopyModeCase> { };

// A smaller picture covers the top-left corner only; a larger one is cut at the image's edges.
TEST_P(UseUnderCopyMode, DrawsThePictureAtTheOriginThroughTheCanvasCopyMode)
{
    for (const auto& [pw, ph] : {std::pair{7, 5}, std::pair{13, 17}}) {
        app::Document doc;
        doc.image = test::noise(11, 13, 3);
        doc.canvas.copyMode = GetParam().mode;
        doc.rangeCopyMode = gfx::kSrcCopy; // the range's own mode plays no part
        const gfx::Bitmap before = doc.image;
        const gfx::Bitmap picture = test::noise(pw, ph, 8);
        test::FakeHost host;
        app::showPicture(doc, picture);
        app::usePreview(doc, host);
        EXPECT_EQ(doc.image, combined(before, picture, GetParam())) << pw << "x" << ph;
        ASSERT_EQ(host.repaints.size(), 1u);
        EXPECT_EQ(host.repaints[0], (gfx::Rect{0, 0, std::min(pw, 11), std::min(ph, 13)}));
    }
}

INSTANTIATE_TEST_SUITE_P(All, UseUnderCopyMode, ::testing::ValuesIn(kCopyModes),
    [](const auto& info) { return std::string(info.param.name); });

TEST(UsePreview, ClosesThePreviewAndResetsItsFramesButNotTheTransparentBox)
{
    app::Document doc;
    doc.image = test::noise(6, 4, 1);
    doc.preview.baseName = "/frames/sky";
    doc.preview.counter = 4;
    doc.preview.transparent = true;
    app::showPicture(doc, test::noise(6, 4, 2));
    // A new picture carries on with the frames.
    EXPECT_EQ(doc.preview.baseName, "/frames/sky");
    EXPECT_EQ(doc.preview.counter, 4);
    EXPECT_TRUE(doc.preview.shown);
    test::FakeHost host;
    app::usePreview(doc, host);
    EXPECT_EQ(doc.image, test::noise(6, 4, 2));
    EXPECT_FALSE(doc.preview.shown);
    EXPECT_EQ(doc.preview.baseName, "");
    EXPECT_EQ(doc.preview.counter, 0);
    EXPECT_TRUE(doc.preview.picture.isEmpty());
    EXPECT_TRUE(doc.preview.transparent);
    EXPECT_TRUE(host.messages.empty());
}

TEST(UsePreview, DoesNothingWithoutAPicture)
{
    app::Document doc;
    doc.image = test::noise(6, 4, 1);
    doc.preview.baseName = "/frames/sky";
    doc.preview.counter = 2;
    test::FakeHost host;
    app::usePreview(doc, host);
    EXPECT_EQ(doc.image, test::noise(6, 4, 1));
    EXPECT_TRUE(host.repaints.empty());
    EXPECT_EQ(doc.preview.counter, 2);
}

TEST(ClosePreview, ClearsTheBaseNameAndTheCounterAndLetsThePictureGo)
{
    app::Document doc;
    app::showPicture(doc, test::noise(3, 3, 1));
    doc.preview.baseName = "a";
    doc.preview.counter = 9;
    app::closePreview(doc);
    EXPECT_FALSE(doc.preview.shown);
    EXPECT_EQ(doc.preview.baseName, "");
    EXPECT_EQ(doc.preview.counter, 0);
    EXPECT_TRUE(doc.preview.picture.isEmpty());
}

} // namespace
