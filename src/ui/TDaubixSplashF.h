#pragma once

#include <QWidget>

namespace daubix::ui {

// The borderless window shown while the program starts.
class TDaubixSplashF : public QWidget {
    Q_OBJECT
public:
    TDaubixSplashF();

    // Shows the window and paints it before returning. The event loop is not running yet while the
    // program starts, so the window system's first expose would otherwise wait until the splash is gone.
    void showAndPaint();
    int paintCount() const { return m_paints; }

protected:
    void paintEvent(QPaintEvent*) override;

private:
    int m_paints = 0;
};

} // namespace daubix::ui
