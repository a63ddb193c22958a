#pragma once

#include <QImage>
#include <QWidget>

#include <functional>

namespace daubix::ui {

// The colour panel: a hue and lightness chart, the first (pen) and second (brush) colour squares with
// the "X" that swaps which one is in front, and a readout of the colour under the pointer.
class TGammaPanel : public QWidget {
    Q_OBJECT
public:
    explicit TGammaPanel(QWidget* parent = nullptr);

    QColor FirstColor() const { return m_first; }
    QColor SecondColor() const { return m_second; }
    // Setting a colour recolours its square and raises OnChange.
    void setFirstColor(const QColor& c);
    void setSecondColor(const QColor& c);
    // Shows colours the document already holds, without raising OnChange.
    void showColors(const QColor& first, const QColor& second);
    bool firstInFront() const { return m_firstInFront; }

    std::function<void()> OnChange;
    // Asks for a colour (the host's colour dialog); returns an invalid colour when cancelled.
    std::function<QColor(const QColor&)> chooseColor;

    QString readoutText() const { return m_readoutName; }
    QColor readoutColor() const { return m_readout; }

protected:
    void paintEvent(QPaintEvent*) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void leaveEvent(QEvent*) override;
    void resizeEvent(QResizeEvent*) override;

private:
    void showReadout(const QColor& c);
    void resetReadout();
    void changed();

    QImage m_chart;
    QColor m_first = Qt::black;
    QColor m_second = Qt::white;
    bool m_firstInFront = true;
    QColor m_readout = QColor(128, 128, 128);
    QString m_readoutName = "None";
};

} // namespace daubix::ui
