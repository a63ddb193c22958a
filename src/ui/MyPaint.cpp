#include "ui/MyPaint.h"

#include "gfx/Bitmap.h"

#include <QImage>
#include <QMouseEvent>
#include <QPaintEvent>
#include <QPainter>

namespace daubix::ui {

MyPaint::MyPaint(const gfx::Bitmap& image, QWidget* parent)
    : QWidget(parent)
    , m_image(image)
{
    setObjectName("mypaint");
    setAttribute(Qt::WA_OpaquePaintEvent);
    setFixedSize(m_image.width(), m_image.height());
    setMouseTracking(true); // moves without a button still update the status and the polygon bands
}

void MyPaint::mousePressEvent(QMouseEvent* event)
{
    if (onMouse)
        onMouse(MouseStep::Press, event);
}

void MyPaint::mouseMoveEvent(QMouseEvent* event)
{
    if (onMouse)
        onMouse(MouseStep::Move, event);
}

void MyPaint::mouseReleaseEvent(QMouseEvent* event)
{
    if (onMouse)
        onMouse(MouseStep::Release, event);
}

QSize MyPaint::sizeHint() const
{
    return {m_image.width(), m_image.height()};
}

void MyPaint::imageChanged(const gfx::Rect& area)
{
    if (size() != QSize(m_image.width(), m_image.height())) {
        setFixedSize(m_image.width(), m_image.height());
        update();
        return;
    }
    update(QRect(area.left, area.top, static_cast<int>(area.width()), static_cast<int>(area.height())));
}

void MyPaint::paintEvent(QPaintEvent* event)
{
    QPainter painter(this);
    const QRect exposed = event->rect().intersected(QRect(0, 0, m_image.width(), m_image.height()));
    if (exposed.isEmpty())
        return;
    if (m_image.format() == gfx::PixelFormat::Bits24) {
        // The QImage only borrows the bitmap's rows; it lives for this paint only.
        const QImage view(m_image.bits(), m_image.width(), m_image.height(), static_cast<qsizetype>(m_image.stride()),
            QImage::Format_BGR888);
        painter.drawImage(exposed, view, exposed);
        return;
    }
    // Other formats are converted for display only, and only the exposed rows.
    QImage part(exposed.size(), QImage::Format_RGB32);
    for (int y = 0; y < exposed.height(); ++y) {
        auto* row = reinterpret_cast<QRgb*>(part.scanLine(y));
        for (int x = 0; x < exposed.width(); ++x) {
            const gfx::Color c = m_image.pixel(exposed.x() + x, exposed.y() + y);
            row[x] = qRgb(gfx::red(c), gfx::green(c), gfx::blue(c));
        }
    }
    painter.drawImage(exposed.topLeft(), part);
}

} // namespace daubix::ui
