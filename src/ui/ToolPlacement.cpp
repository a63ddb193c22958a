#include "ui/ToolPlacement.h"

#include <QScreen>

#include <algorithm>

namespace daubix::ui {

void placeBesideOnce(QWidget* tool, const QWidget* main, Beside side)
{
    const char* const placed = "daubixPlaced";
    if (!tool || !main || tool->property(placed).toBool())
        return;
    tool->setProperty(placed, true);
    const QRect anchor = main->frameGeometry();
    QPoint at = side == Beside::Right ? QPoint(anchor.right() + 1, anchor.top()) : QPoint(anchor.left(), anchor.bottom() + 1);
    if (const QScreen* screen = main->screen()) {
        const QRect room = screen->availableGeometry();
        const QSize size = tool->frameSize().isEmpty() ? tool->sizeHint() : tool->frameSize();
        at.setX(std::clamp(at.x(), room.left(), std::max(room.left(), room.right() + 1 - size.width())));
        at.setY(std::clamp(at.y(), room.top(), std::max(room.top(), room.bottom() + 1 - size.height())));
    }
    tool->move(at);
}

} // namespace daubix::ui
