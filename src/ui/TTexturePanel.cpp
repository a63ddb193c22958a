#include "ui/TTexturePanel.h"

#include "app/Document.h"
#include "generators/Texture.h"
#include "ui/QtHost.h"

#include <QPaintEvent>
#include <QPainter>

namespace daubix::ui {

namespace {

QColor toQColor(gfx::Color c)
{
    return QColor(gfx::red(c), gfx::green(c), gfx::blue(c));
}

// A bevel of the width around the box, top and left in one colour, bottom and right in the other; the
// box shrinks to what lies inside it.
void drawBevel(QPainter& p, QRect& box, const QColor& topLeft, const QColor& bottomRight, int width)
{
    for (int i = 0; i < width && box.width() > 0 && box.height() > 0; ++i) {
        p.fillRect(box.left(), box.top(), box.width(), 1, topLeft);
        p.fillRect(box.left(), box.top(), 1, box.height(), topLeft);
        p.fillRect(box.left(), box.bottom(), box.width(), 1, bottomRight);
        p.fillRect(box.right(), box.top(), 1, box.height(), bottomRight);
        box.adjust(1, 1, -1, -1);
    }
}

} // namespace

TTexturePanel::TTexturePanel(const app::TextureState& state, QWidget* parent)
    : QWidget(parent)
    , m_state(state)
{
    setAttribute(Qt::WA_OpaquePaintEvent); // every pixel is painted: nothing to clear first
}

void TTexturePanel::setBevelOuter(Bevel bevel)
{
    m_bevelOuter = bevel;
    update();
}

void TTexturePanel::setBevelInner(Bevel bevel)
{
    m_bevelInner = bevel;
    update();
}

void TTexturePanel::setBevelWidth(int width)
{
    m_bevelWidth = std::max(width, 1);
    update();
}

void TTexturePanel::setBorderWidth(int width)
{
    m_borderWidth = std::max(width, 0);
    update();
}

void TTexturePanel::setCaption(const QString& caption)
{
    m_caption = caption;
    update();
}

void TTexturePanel::setAlignment(Qt::Alignment horizontal)
{
    m_alignment = horizontal & Qt::AlignHorizontal_Mask;
    update();
}

void TTexturePanel::tileChanged()
{
    if (m_state.revision == m_revision)
        return;
    m_revision = m_state.revision;
    m_tile = m_state.tile.isEmpty() ? QPixmap() : QPixmap::fromImage(toQImage(m_state.tile));
    update();
}

QRect TTexturePanel::inside() const
{
    const int bevels
        = (m_bevelOuter != Bevel::None ? m_bevelWidth : 0) + (m_bevelInner != Bevel::None ? m_bevelWidth : 0);
    const int frame = bevels + m_borderWidth;
    return rect().adjusted(frame, frame, -frame, -frame);
}

void TTexturePanel::paintEvent(QPaintEvent* event)
{
    QPainter p(this);
    const gfx::Color colour = gfx::resolveColor(m_state.color);
    const QColor lit = toQColor(generators::light(colour)), shaded = toQColor(generators::dark(colour));
    QRect box = rect();
    const auto bevel = [&](Bevel b) {
        if (b != Bevel::None)
            drawBevel(p, box, b == Bevel::Raised ? lit : shaded, b == Bevel::Raised ? shaded : lit, m_bevelWidth);
    };
    bevel(m_bevelOuter);
    if (m_borderWidth > 0) {
        const QRect outer = box;
        box.adjust(m_borderWidth, m_borderWidth, -m_borderWidth, -m_borderWidth);
        const QRegion border = QRegion(outer).subtracted(QRegion(box));
        for (const QRect& r : border & event->region())
            p.fillRect(r, toQColor(colour));
    }
    bevel(m_bevelInner);
    // Only the exposed part: a panel of the image's size costs what it shows.
    const QRect exposed = box & event->rect();
    if (!exposed.isEmpty()) {
        if (m_tile.isNull()) {
            p.fillRect(exposed, toQColor(colour));
        } else {
            // The pattern starts at the panel's own corner, as it does when "Use" paints it at (0, 0).
            p.drawTiledPixmap(exposed, m_tile, {exposed.left() % m_tile.width(), exposed.top() % m_tile.height()});
        }
    }
    if (m_caption.isEmpty())
        return;
    using Align = app::TextureState::VerticalAlign;
    const Qt::Alignment vertical = m_state.verticalAlign == Align::Top ? Qt::AlignTop
        : m_state.verticalAlign == Align::Bottom                       ? Qt::AlignBottom
                                                                       : Qt::AlignVCenter;
    p.setPen(palette().color(QPalette::WindowText));
    p.drawText(box, static_cast<int>(m_alignment | vertical) | Qt::TextSingleLine, m_caption);
}

} // namespace daubix::ui
