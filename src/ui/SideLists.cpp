#include "ui/SideLists.h"

#include "app/ColorList.h"
#include "gfx/Bitmap.h"

#include <QContextMenuEvent>
#include <QMenu>
#include <QMouseEvent>
#include <QPainter>
#include <QStyledItemDelegate>

namespace daubix::ui {

namespace {

class PatternDelegate : public QStyledItemDelegate {
public:
    explicit PatternDelegate(const gfx::Bitmap& strip, QObject* parent)
        : QStyledItemDelegate(parent)
        , m_strip(strip)
    {
    }
    void paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const override
    {
        painter->fillRect(
            option.rect, option.state & QStyle::State_Selected ? option.palette.highlight() : option.palette.base());
        QImage pattern(8, 8, QImage::Format_RGB32);
        for (int y = 0; y < 8; ++y)
            for (int x = 0; x < 8; ++x) {
                const gfx::Color c = m_strip.pixel(8 * index.row() + x, y);
                pattern.setPixel(x, y, qRgb(gfx::red(c), gfx::green(c), gfx::blue(c)));
            }
        painter->drawImage(option.rect.adjusted(1, 1, -1, -1), pattern);
    }
    QSize sizeHint(const QStyleOptionViewItem&, const QModelIndex&) const override { return {20, 12}; }

private:
    const gfx::Bitmap& m_strip;
};

class ColorDelegate : public QStyledItemDelegate {
public:
    using QStyledItemDelegate::QStyledItemDelegate;
    void paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const override
    {
        painter->fillRect(
            option.rect, option.state & QStyle::State_Selected ? option.palette.highlight() : option.palette.base());
        const auto color = app::colorListColor(index.data().toString().toStdString());
        if (color)
            painter->fillRect(
                option.rect.adjusted(1, 1, -1, -1), QColor(gfx::red(*color), gfx::green(*color), gfx::blue(*color)));
    }
    QSize sizeHint(const QStyleOptionViewItem&, const QModelIndex&) const override { return {20, 16}; }
};

} // namespace

PatList::PatList(const gfx::Bitmap& strip, QWidget* parent)
    : QListWidget(parent)
    , m_strip(strip)
{
    setObjectName("PatList");
    setToolTip("Patterns\nRight-click to\nUpdate or Edit");
    setItemDelegate(new PatternDelegate(strip, this));
    for (int i = 0; i < 32; ++i)
        addItem(QString::number(i));
    setFixedHeight(32 * 12 + 16);
    // A click, or a selection moved with the keyboard, chooses the pattern.
    connect(this, &QListWidget::currentRowChanged, this, [this](int row) {
        if (onChoose && row >= 0)
            onChoose(row);
    });
    connect(this, &QListWidget::itemClicked, this, [this](QListWidgetItem* item) {
        if (onChoose)
            onChoose(row(item));
    });
}

void PatList::contextMenuEvent(QContextMenuEvent* event)
{
    if (popup)
        popup->exec(event->globalPos());
}

ColorListWidget::ColorListWidget(QWidget* parent)
    : QListWidget(parent)
{
    setObjectName("colorlist");
    setToolTip("click for brush\nshift-click for pen");
    setItemDelegate(new ColorDelegate(this));
    setMouseTracking(true);
    for (const std::string_view item : app::colorListItems())
        addItem(QString::fromUtf8(item.data(), static_cast<qsizetype>(item.size())));
}

void ColorListWidget::mouseReleaseEvent(QMouseEvent* event)
{
    QListWidget::mouseReleaseEvent(event);
    if (currentRow() >= 0 && onRelease)
        onRelease(currentRow(), event->modifiers() & Qt::ShiftModifier);
}

void ColorListWidget::mouseMoveEvent(QMouseEvent* event)
{
    QListWidget::mouseMoveEvent(event);
    if (QListWidgetItem* item = itemAt(event->position().toPoint()); item && onHover)
        onHover(item->text().section('=', 0, 0));
}

} // namespace daubix::ui
