#include "io/PreviewFrames.h"

#include "app/Command.h"
#include "app/Document.h"
#include "app/Host.h"
#include "app/Preview.h"
#include "app/Prompt.h"
#include "io/GifCodec.h"

#include <filesystem>
#include <optional>

namespace daubix::io {

namespace {

const std::string& gifFilter()
{
    static const std::string filter = app::dialogFilter("GIF Images|*.gif");
    return filter;
}

void useRow(app::CommandContext& c, const app::CommandRow&)
{
    app::usePreview(c.doc, c.host);
}

void saveRow(app::CommandContext& c, const app::CommandRow&)
{
    savePreviewAs(c.doc, c.host);
}

void counterRow(app::CommandContext& c, const app::CommandRow&)
{
    saveNextFrame(c.doc, c.host);
}

constexpr app::CommandRow kRows[] = {
    {.path = "TQuickPreviewF > Use", .run = useRow, .changesImage = true},
    {.path = "TQuickPreviewF > Save...", .run = saveRow},
    {.path = "TQuickPreviewF > CounterButton", .run = counterRow},
};

} // namespace

std::string frameBaseName(const std::string& chosen)
{
    // The dialog's default extension "gif" would only be taken off again, so a name without one is
    // already its base.
    return std::filesystem::path(chosen).replace_extension().string();
}

std::string framePath(const std::string& base, int counter)
{
    return base + std::to_string(counter) + ".gif";
}

gfx::Status savePreviewFrame(app::Document& doc)
{
    app::Document::PreviewState& preview = doc.preview;
    if (preview.picture.isEmpty())
        return gfx::Error{"There is no preview to save."};
    const GifWriteOptions options{
        .control = preview.transparent ? GifControl::BottomLeftTransparent : GifControl::None};
    if (gfx::Status written
        = writeGifFile(framePath(preview.baseName, preview.counter), preview.picture, doc.gif, options);
        !written)
        return written;
    ++preview.counter;
    return {};
}

void savePreviewAs(app::Document& doc, app::Host& host)
{
    const std::optional<std::string> name = host.askFileName(app::Host::FileDialog::Save, gifFilter(), 1);
    if (!name || name->empty())
        return;
    doc.preview.baseName = frameBaseName(*name);
    doc.preview.counter = 1;
    if (const gfx::Status saved = savePreviewFrame(doc); !saved)
        host.showFailure(saved.error());
}

void saveNextFrame(app::Document& doc, app::Host& host)
{
    if (doc.preview.baseName.empty()) {
        savePreviewAs(doc, host);
        return;
    }
    if (const gfx::Status saved = savePreviewFrame(doc); !saved)
        host.showFailure(saved.error());
}

std::span<const app::CommandRow> previewWindowRows()
{
    return kRows;
}

} // namespace daubix::io
