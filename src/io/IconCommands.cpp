#include "io/IconCommands.h"

#include "app/Command.h"
#include "app/Document.h"
#include "app/Host.h"
#include "app/Range.h"
#include "effects/Resize.h"
#include "io/FileWriter.h"
#include "io/IconCodec.h"
#include "io/Picture.h"

#include <optional>
#include <string>

namespace daubix::io {

namespace {

using app::CommandContext;
using app::CommandRow;

// The icon of the image: the range covers the whole image, an exact copy of which is fitted into the
// icon's square.
std::optional<IconPicture> imageIcon(CommandContext& c)
{
    if (c.doc.image.isEmpty()) {
        c.host.showMessage("The image is empty.");
        return std::nullopt;
    }
    app::copyWholeImage(c.doc);
    std::optional<gfx::Bitmap> fitted = effects::smartResize(c.doc.rangeBuffer, effects::SmartMode::Square, kIconSide);
    if (!fitted)
        return std::nullopt;
    return makeIcon(*fitted);
}

void preview(CommandContext& c, const CommandRow&)
{
    if (const std::optional<IconPicture> icon = imageIcon(c))
        c.host.setProgramIcon(icon->colour, icon->mask);
}

// A name chosen without an extension gets ".ico", as the dialog's default extension gives it.
std::string withIconExtension(std::string name)
{
    if (upperExtension(name).empty())
        name += ".ico";
    return name;
}

void save(CommandContext& c, const CommandRow& row)
{
    const std::optional<std::string> name = c.host.askFileName(app::Host::FileDialog::Save, "Icon Files (*.ico)");
    if (!name)
        return;
    const std::optional<IconPicture> icon = imageIcon(c);
    if (!icon)
        return;
    auto bytes = encodeIcon(*icon, row.number);
    if (!bytes) {
        c.host.showMessage(bytes.error());
        return;
    }
    if (gfx::Status saved = writeFileAtomically(withIconExtension(*name), bytes.value()); !saved)
        c.host.showMessage(saved.error());
}

constexpr CommandRow kRows[] = {
    {.path = "Image > Icon > Preview", .run = preview},
    {.path = "Image > Icon > Save with 16 Colors...", .run = save, .number = 4},
    {.path = "Image > Icon > Save with 256 Colors...", .run = save, .number = 8},
};

} // namespace

std::span<const CommandRow> iconCommandRows()
{
    return kRows;
}

} // namespace daubix::io
