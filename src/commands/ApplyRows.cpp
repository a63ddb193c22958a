#include "commands/ApplyRows.h"

#include "app/Print.h"
#include "app/Prompt.h"
#include "app/TextCase.h"
#include "io/JpegCodec.h"

namespace daubix::commands {

namespace {

using Args = std::span<const std::string>;

// The picture the JPEG preview shows, and its compressed size.
gfx::Status jpegPreviewRow(gfx::Bitmap& image, Args args, std::string& report)
{
    const std::optional<int> quality = app::parseInteger(args[0]);
    const std::optional<int> grey = app::parseInteger(args[1]);
    if (!quality || *quality < 1 || *quality > 100)
        return gfx::Error{"the quality must be a whole number from 1 to 100"};
    if (!grey || (*grey != 0 && *grey != 1))
        return gfx::Error{"grey must be 0 or 1"};
    auto preview = io::jpegPreview(image, *quality, *grey == 1);
    if (!preview)
        return gfx::Error{preview.error()};
    report = "Size=" + std::to_string(preview.value().bytes);
    image = std::move(preview.value().picture);
    return {};
}

// The print preview picture for a printable area of pageW x pageH printer pixels.
gfx::Status printPreviewRow(gfx::Bitmap& image, Args args, std::string&)
{
    const std::optional<int> pageWidth = app::parseInteger(args[0]);
    const std::optional<int> pageHeight = app::parseInteger(args[1]);
    const std::optional<int> scale = app::parseInteger(args[2]);
    constexpr int d = app::kPreviewDivisor;
    if (!pageWidth || !pageHeight || *pageWidth < d || *pageHeight < d
        || !gfx::Bitmap::isSaneSize(*pageWidth / d, *pageHeight / d))
        return gfx::Error{"the page must be at least 5 printer pixels a side, and its fifth at most "
            + std::to_string(gfx::Bitmap::kMaxPixels) + " pixels"};
    if (!scale || *scale < 1)
        return gfx::Error{"the scale must be a whole number from 1 up"};
    image = app::printPreview(image, *pageWidth, *pageHeight, *scale);
    return {};
}

const ApplyRow kRows[] = {
    {"JpegPreview", "quality,grey", 2, 2, jpegPreviewRow},
    {"PrintPreview", "pagew,pageh,scale", 3, 3, printPreviewRow},
};

} // namespace

std::span<const ApplyRow> applyRows()
{
    return kRows;
}

gfx::Status applyCall(effects::TketPaintFX& fx, gfx::Bitmap& image, std::string_view text, std::string& report)
{
    const effects::Call call = effects::parseCall(text);
    for (const ApplyRow& row : kRows) {
        if (!app::sameIgnoringCase(row.name, call.name))
            continue;
        if (gfx::Status s = effects::checkArgumentCount(
                {row.name, call.arguments}, row.parameters, row.minArguments, row.maxArguments);
            !s)
            return s;
        return row.apply(image, call.arguments, report);
    }
    return effects::applyEffect(fx, image, text);
}

} // namespace daubix::commands
