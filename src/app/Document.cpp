#include "app/Document.h"

namespace daubix::app {

Document::Document()
    : image(256, 256)
{
    canvas.brush.setStyle(gfx::BrushStyle::Clear);
    canvas.pen.color = gfx::clBlack;
}

} // namespace daubix::app
