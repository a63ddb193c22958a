#pragma once

#include <QWidget>

namespace daubix::ui {

// The borderless window shown while the program starts.
class TDaubixSplashF : public QWidget {
    Q_OBJECT
public:
    TDaubixSplashF();

protected:
    void paintEvent(QPaintEvent*) override;
};

} // namespace daubix::ui
