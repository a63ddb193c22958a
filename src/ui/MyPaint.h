#pragma once

#include "gfx/Geometry.h"

#include <QWidget>

#include <functional>

namespace daubix::gfx {
class Bitmap;
}

namespace daubix::ui {

// Shows the working image one image pixel per screen pixel. A 24-bit image is painted straight from
// its own buffer, and only the exposed part, so a repaint costs what it shows.
class MyPaint : public QWidget {
    Q_OBJECT
public:
    MyPaint(const gfx::Bitmap& image, QWidget* parent = nullptr);

    // The image changed inside the area (image pixels); follows a change of size too.
    void imageChanged(const gfx::Rect& area);
    QSize sizeHint() const override;

    // Mouse presses, moves and releases, in image pixels (the view is unscaled).
    enum class MouseStep { Press, Move, Release };
    std::function<void(MouseStep, QMouseEvent*)> onMouse;

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    const gfx::Bitmap& m_image;
};

} // namespace daubix::ui
