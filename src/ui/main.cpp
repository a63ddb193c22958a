#include "ui/TDaubixF.h"
#include "ui/TDaubixSplashF.h"

#include <QApplication>

#include <cstdio>
#include <memory>

int main(int argc, char* argv[])
{
    QApplication app(argc, argv);
    auto splash = std::make_unique<daubix::ui::TDaubixSplashF>();
    splash->showAndPaint();
    QApplication::setApplicationName("Daubix 22i");
    daubix::ui::TDaubixF window;
    // A file named on the command line is opened before the window first shows, so that it is the
    // image the undo steps start from.
    const QStringList arguments = QApplication::arguments();
    if (arguments.size() > 1)
        window.openFile(arguments[1].toStdString());
    for (qsizetype i = 2; i < arguments.size(); ++i)
        std::fprintf(stderr, "daubix: ignored \"%s\": one file at a time\n", qPrintable(arguments[i]));
    splash.reset(); // closed once the windows exist
    window.showAtStoredPlacement();
    return QApplication::exec();
}
