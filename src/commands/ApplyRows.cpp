#include "commands/ApplyRows.h"

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

const ApplyRow kRows[] = {
    {"JpegPreview", "quality,grey", 2, 2, jpegPreviewRow},
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
