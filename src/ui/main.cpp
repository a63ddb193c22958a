#include "ui/TDaubixF.h"

#include <QApplication>

int main(int argc, char* argv[])
{
    QApplication app(argc, argv);
    QApplication::setApplicationName("Daubix 22i");
    daubix::ui::TDaubixF window;
    window.show();
    return QApplication::exec();
}
