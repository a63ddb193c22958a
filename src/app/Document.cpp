#include "app/Document.h"

#include "app/Patterns.h"

namespace daubix::app {

Document::Document()
    : image(256, 256)
    , patternStrip(builtInPatternStrip())
{
    canvas.brush.setStyle(gfx::BrushStyle::Clear);
    canvas.pen.color = gfx::clBlack;
}

} // namespace daubix::app
