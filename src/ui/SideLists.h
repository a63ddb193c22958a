#pragma once

#include <QListWidget>

#include <functional>

class QMenu;

namespace daubix::gfx {
class Bitmap;
}

namespace daubix::ui {

// The pattern list: items "0" .. "31", each drawn as its 8 x 8 pattern stretched into the item.
class PatList : public QListWidget {
    Q_OBJECT
public:
    PatList(const gfx::Bitmap& strip, QWidget* parent = nullptr);
    std::function<void(int)> onChoose;
    // The popup a right click opens ("Update", "Edit"); its items act on the pattern last chosen.
    QMenu* popup = nullptr;
    void stripChanged() { viewport()->update(); }

protected:
    void contextMenuEvent(QContextMenuEvent* event) override;

private:
    const gfx::Bitmap& m_strip;
};

// The colour list: items name=RRGGBB drawn as colour swatches; a release picks the colour.
class ColorListWidget : public QListWidget {
    Q_OBJECT
public:
    explicit ColorListWidget(QWidget* parent = nullptr);
    std::function<void(int index, bool shift)> onRelease;
    std::function<void(const QString& name)> onHover;

protected:
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
};

} // namespace daubix::ui
