#include "ui/TGammaPanel.h"

#include <QMouseEvent>
#include <QPainter>

namespace daubix::ui {

namespace {
constexpr QRect kChart{10, 7, 45, 96};
constexpr QRect kSquares{8, 111, 50, 50};
constexpr QRect kReadout{8, 165, 50, 80};

QRect firstSquare()
{
    return {kSquares.x() + 4, kSquares.y() + 4, 30, 30};
}
QRect secondSquare()
{
    return {kSquares.x() + 16, kSquares.y() + 16, 30, 30};
}
QRect swapLabel()
{
    return {kSquares.x() + 6, kSquares.y() + 35, 9, 12};
}
QRect swatch()
{
    return {kReadout.x() + 6, kReadout.y() + 44, 30, 36};
}
} // namespace

TGammaPanel::TGammaPanel(QWidget* parent)
    : QWidget(parent)
    , m_chart(kChart.width(), kChart.height(), QImage::Format_RGB32)
{
    setObjectName("gamma");
    setFixedSize(65, 250);
    setMouseTracking(true);
    // Hue runs once round the circle down the rows; lightness rises across, through the full colour in
    // the middle column.
    for (int y = 0; y < m_chart.height(); ++y) {
        const QColor hue = QColor::fromHsvF(static_cast<float>(y) / m_chart.height(), 1.0f, 1.0f);
        for (int x = 0; x < m_chart.width(); ++x) {
            const double t = static_cast<double>(x) / (m_chart.width() - 1);
            QColor c;
            if (t <= 0.5) {
                const double k = t / 0.5;
                c = QColor::fromRgbF(static_cast<float>(hue.redF() * k), static_cast<float>(hue.greenF() * k),
                    static_cast<float>(hue.blueF() * k));
            } else {
                const double k = (t - 0.5) / 0.5;
                c = QColor::fromRgbF(static_cast<float>(hue.redF() + (1 - hue.redF()) * k),
                    static_cast<float>(hue.greenF() + (1 - hue.greenF()) * k),
                    static_cast<float>(hue.blueF() + (1 - hue.blueF()) * k));
            }
            m_chart.setPixelColor(x, y, c);
        }
    }
}

void TGammaPanel::setFirstColor(const QColor& c)
{
    m_first = c;
    changed();
}

void TGammaPanel::setSecondColor(const QColor& c)
{
    m_second = c;
    changed();
}

void TGammaPanel::showColors(const QColor& first, const QColor& second)
{
    m_first = first;
    m_second = second;
    update();
}

void TGammaPanel::changed()
{
    update();
    if (OnChange)
        OnChange();
}

void TGammaPanel::resizeEvent(QResizeEvent*)
{
    if (size() != QSize(65, 250))
        resize(65, 250); // the panel keeps its size
}

void TGammaPanel::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    p.fillRect(rect(), palette().window());
    p.setPen(palette().dark().color());
    p.drawRect(rect().adjusted(0, 0, -1, -1));
    p.drawImage(kChart.topLeft(), m_chart);
    const QRect back = m_firstInFront ? secondSquare() : firstSquare();
    const QRect front = m_firstInFront ? firstSquare() : secondSquare();
    p.setPen(Qt::black);
    p.fillRect(back, m_firstInFront ? m_second : m_first);
    p.drawRect(back.adjusted(0, 0, -1, -1));
    p.fillRect(front, m_firstInFront ? m_first : m_second);
    p.drawRect(front.adjusted(0, 0, -1, -1));
    QFont small("Times New Roman");
    small.setPointSize(7);
    p.setFont(small);
    p.drawText(swapLabel(), Qt::AlignCenter, "X");
    p.fillRect(swatch(), m_readout);
    if (m_readoutName == "None")
        p.drawText(swatch(), Qt::AlignCenter, "None");
    const bool none = m_readoutName == "None";
    const QString values[3] = {none ? "R - - -" : QString("R %1").arg(m_readout.red()),
        none ? "G - - -" : QString("G %1").arg(m_readout.green()),
        none ? "B - - -" : QString("B %1").arg(m_readout.blue())};
    for (int i = 0; i < 3; ++i)
        p.drawText(QPoint(kReadout.x() + 11, kReadout.y() + 3 + 13 * i + 9), values[i]);
}

void TGammaPanel::showReadout(const QColor& c)
{
    m_readout = c;
    m_readoutName = c.name();
    update();
}

void TGammaPanel::resetReadout()
{
    m_readout = QColor(128, 128, 128);
    m_readoutName = "None";
    update();
}

void TGammaPanel::leaveEvent(QEvent*)
{
    resetReadout();
}

void TGammaPanel::mouseMoveEvent(QMouseEvent* event)
{
    const QPoint at = event->position().toPoint();
    const QRect front = m_firstInFront ? firstSquare() : secondSquare();
    const QRect back = m_firstInFront ? secondSquare() : firstSquare();
    if (kChart.contains(at))
        showReadout(m_chart.pixelColor(at - kChart.topLeft()));
    else if (front.contains(at))
        showReadout(m_firstInFront ? m_first : m_second);
    else if (back.contains(at))
        showReadout(m_firstInFront ? m_second : m_first);
    else
        resetReadout();
}

void TGammaPanel::mousePressEvent(QMouseEvent* event)
{
    const QPoint at = event->position().toPoint();
    if (kChart.contains(at)) {
        const QColor c = m_chart.pixelColor(at - kChart.topLeft());
        showReadout(c);
        if (m_firstInFront)
            m_first = c;
        else
            m_second = c;
        changed();
        return;
    }
    if (swapLabel().contains(at)) {
        m_firstInFront = !m_firstInFront;
        update();
        return;
    }
    const QRect front = m_firstInFront ? firstSquare() : secondSquare();
    const QRect back = m_firstInFront ? secondSquare() : firstSquare();
    const bool onFront = front.contains(at), onBack = back.contains(at);
    if (event->button() != Qt::LeftButton || !(onFront || onBack))
        return;
    const bool first = onFront ? m_firstInFront : !m_firstInFront;
    QColor& target = first ? m_first : m_second;
    if (chooseColor) {
        const QColor chosen = chooseColor(target);
        if (chosen.isValid())
            target = chosen;
    }
    changed(); // raised whether or not the dialog was confirmed
}

} // namespace daubix::ui
