#include "effects/EffectMenu.h"

#include "app/Command.h"
#include "app/Document.h"
#include "effects/TketPaintFX.h"

namespace daubix::effects {

namespace {

constexpr app::CommandRow kRows[] = {
    // The quarter turn clockwise; the result is 24 bits.
    {.path = "btnturn",
        .run =
            [](app::CommandContext& c, const app::CommandRow&) {
                gfx::Bitmap turned;
                TketPaintFX(c.doc.random).RotateQuarter(c.doc.image, turned);
                c.doc.image = std::move(turned);
            },
        .changesImage = true},
};

} // namespace

std::span<const app::CommandRow> effectCommandRows()
{
    return kRows;
}

} // namespace daubix::effects
