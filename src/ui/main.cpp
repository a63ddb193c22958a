#include "ui/TDaubixF.h"
#include "ui/TDaubixSplashF.h"

#include <QApplication>

#include <memory>

int main(int argc, char* argv[])
{
    QApplication app(argc, argv);
    auto splash = std::make_unique<daubix::ui::TDaubixSplashF>();
    splash->showAndPaint();
    QApplication::setApplicationName("Daubix 22i");
    daubix::ui::TDaubixF window;
    splash.reset(); // closed once the windows exist
    window.showAtStoredPlacement();
    return QApplication::exec();
}
