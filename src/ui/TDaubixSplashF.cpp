#include "ui/TDaubixSplashF.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QPainter>
#include <QWindow>

namespace daubix::ui {

TDaubixSplashF::TDaubixSplashF()
    : QWidget(nullptr, Qt::SplashScreen | Qt::FramelessWindowHint)
{
    setObjectName("TDaubixSplashF");
    setFixedSize(433, 97);
}

void TDaubixSplashF::showAndPaint()
{
    show();
    // Up to a quarter of a second for the window system to map the window; then a paint of our own.
    QElapsedTimer waited;
    waited.start();
    while (!(windowHandle() && windowHandle()->isExposed()) && waited.elapsed() < 250)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
    repaint();
    QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
}

void TDaubixSplashF::paintEvent(QPaintEvent*)
{
    ++m_paints;
    QPainter p(this);
    p.fillRect(rect(), QColor(192, 192, 192));
    // A raised bevel: light top and left, dark bottom and right.
    p.setPen(Qt::white);
    p.drawLine(0, 0, width() - 1, 0);
    p.drawLine(0, 0, 0, height() - 1);
    p.setPen(QColor(128, 128, 128));
    p.drawLine(width() - 1, 0, width() - 1, height() - 1);
    p.drawLine(0, height() - 1, width() - 1, height() - 1);
    QFont loading("Times New Roman");
    loading.setPixelSize(20);
    loading.setBold(true);
    loading.setItalic(true);
    p.setFont(loading);
    p.setPen(Qt::red);
    p.drawText(QRect(24, 8, 300, 24), Qt::AlignLeft | Qt::AlignTop, "loading...");
    QFont title("Times New Roman");
    title.setPixelSize(40);
    title.setBold(true);
    title.setItalic(true);
    p.setFont(title);
    p.setPen(QColor(128, 128, 128)); // the shadow first
    p.drawText(QRect(86, 38, 340, 50), Qt::AlignLeft | Qt::AlignTop, "Kets Daubix 22");
    p.setPen(Qt::yellow);
    p.drawText(QRect(80, 32, 340, 50), Qt::AlignLeft | Qt::AlignTop, "Kets Daubix 22");
}

} // namespace daubix::ui
