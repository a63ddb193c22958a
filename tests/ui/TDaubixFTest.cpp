#include "ui/TDaubixF.h"

#include "DialogAnswers.h"

#include "app/Command.h"
#include "commands/CommandTable.h"
#include "io/BmpCodec.h"
#include "io/Picture.h"
#include "ui/Icons.h"
#include "ui/MyPaint.h"
#include "ui/TDaubixSplashF.h"

#include <QAbstractSpinBox>
#include <QAction>
#include <QFileDialog>
#include <QLabel>
#include <QMenuBar>
#include <QMessageBox>
#include <QScrollArea>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QToolButton>

#include <filesystem>

using namespace daubix;
using test::answerNextFileDialog;
using test::answerNextMessageBox;

namespace {

int countActions(const QMenu* menu)
{
    int n = 0;
    for (QAction* a : menu->actions()) {
        if (a->menu())
            n += countActions(a->menu());
        else if (!a->isSeparator())
            ++n;
    }
    return n;
}

// The menu item at a caption path such as {"&Range", "Float", "Full"}.
QAction* menuItem(QMainWindow& window, const QStringList& path)
{
    QList<QAction*> actions = window.menuBar()->actions();
    QAction* found = nullptr;
    for (const QString& caption : path) {
        found = nullptr;
        for (QAction* a : actions)
            if (a->text() == caption)
                found = a;
        if (!found)
            return nullptr;
        if (found->menu())
            actions = found->menu()->actions();
    }
    return found;
}

void drag(QWidget* view, QPoint from, QPoint to)
{
    QTest::mousePress(view, Qt::LeftButton, {}, from);
    QMouseEvent move(
        QEvent::MouseMove, QPointF(to), view->mapToGlobal(QPointF(to)), Qt::NoButton, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(view, &move);
    QTest::mouseRelease(view, Qt::LeftButton, {}, to);
}

} // namespace

class TDaubixFTest : public QObject {
    Q_OBJECT
private:
    QTemporaryDir home;
    std::string folder() const { return home.path().toStdString(); }

private slots:
    void showsTheWhiteWorkingImage()
    {
        ui::TDaubixF window(folder());
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        QCOMPARE(window.windowTitle(), QString("Kets Daubix 22i"));
        auto* paint = window.findChild<ui::MyPaint*>("mypaint");
        QVERIFY(paint);
        QCOMPARE(paint->size(), QSize(256, 256));
        const QImage shown = paint->grab().toImage();
        for (const QPoint p : {QPoint(0, 0), QPoint(255, 255), QPoint(128, 17)})
            QCOMPARE(shown.pixelColor(p), QColor(Qt::white));
        QCOMPARE(window.document().undo.index(), 2); // the first show pushed the image
        QCOMPARE(window.statusText(1), QString("Pen=Copy"));
    }

    void everyMenuAndToolbarItemIsThere()
    {
        ui::TDaubixF window(folder());
        int items = 0;
        for (QAction* top : window.menuBar()->actions())
            items += countActions(top->menu());
        int menuRows = 0, toolRows = 0;
        for (const app::CommandRow& row : commands::commandTable()) {
            const std::string_view top = row.path.substr(0, row.path.find(" > "));
            menuRows += top == "File" || top == "Edit" || top == "Options" || top == "Image" || top == "Range"
                || top == "Script" || top == "Gadgets" || top == "Help";
            toolRows += top == "shapes";
        }
        QCOMPARE(items, menuRows);
        QStringList tops;
        for (QAction* top : window.menuBar()->actions())
            tops << top->text();
        QCOMPARE(tops, QStringList({"&File", "&Edit", "&Options", "&Image", "&Range", "&Script", "&Gadgets", "&Help"}));
        for (const char* name :
            {"setshape", "seteffects", "setbrushstyle", "setwidth", "setpenmode", "selectcopy", "ToolButton14"})
            QVERIFY2(window.findChild<QToolButton*>(name), name);
        for (const char* name : {"btnturn", "ToolButton2", "ToolButton5", "ToolButton4", "ToolButton12", "goUndo"})
            QVERIFY2(window.findChild<QAction*>(name), name);
        auto* shapes = window.findChild<QToolButton*>("setshape")->menu();
        // Every tool mode, and the Zoom Out command.
        QCOMPARE(countActions(shapes), toolRows);
        QCOMPARE(toolRows, 101);
        QCOMPARE(window.findChild<QAction*>("Open1")->shortcut(), QKeySequence("Ctrl+O"));
        QVERIFY(window.findChild<QAction*>("Open1")->isEnabled());
        QVERIFY(!window.findChild<QAction*>("VerticalSplit1")->isEnabled()); // arrives with the split save
    }

    void choosingAToolSetsTheModeAndTheShapeButton()
    {
        ui::TDaubixF window(folder());
        auto* setshape = window.findChild<QToolButton*>("setshape");
        QCOMPARE(setshape->toolTip(), QString("Shape")); // until a tool is chosen
        QAction* ellipse = window.action("shapes > 2D Shapes > Ellipse");
        QVERIFY(ellipse && ellipse->isEnabled());
        ellipse->trigger();
        QCOMPARE(window.document().toolMode, std::string("ellipse"));
        QCOMPARE(setshape->toolTip(), QString("Ellipse"));
        // Tools whose drawing is not there yet are offered disabled.
        QVERIFY(!window.action("shapes > Ornaments > Wave Line")->isEnabled());
        QVERIFY(!window.action("shapes > AirBrush")->isEnabled());
        QVERIFY(window.action("shapes > Ornaments > Gradient Brush")->isEnabled());
    }

    void penModeChoiceUpdatesStatusPanelOne()
    {
        ui::TDaubixF window(folder());
        auto* notXor = window.action("penmodes > Not Xor");
        QVERIFY(notXor);
        notXor->trigger();
        QCOMPARE(window.statusText(1), QString("Pen=Not Xor"));
        QCOMPARE(window.document().canvas.pen.mode, gfx::PenMode::NotXor);
    }

    void undoAndClearWorkFromTheToolbar()
    {
        ui::TDaubixF window(folder());
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        auto& doc = window.document();
        doc.undo.push(doc.image); // as a press would
        doc.canvas.brush.setColor(gfx::clRed);
        doc.canvas.fillRect({10, 10, 20, 20});
        window.paintView()->imageChanged({10, 10, 20, 20});
        QCOMPARE(window.paintView()->grab().toImage().pixelColor(15, 15), QColor(Qt::red));
        window.findChild<QAction*>("goUndo")->trigger();
        QCOMPARE(window.paintView()->grab().toImage().pixelColor(15, 15), QColor(Qt::white));

        doc.canvas.brush.setColor(gfx::clBlue);
        doc.canvas.fillRect({0, 0, 256, 256});
        window.findChild<QAction*>("ToolButton12")->trigger();
        QCOMPARE(window.paintView()->grab().toImage().pixelColor(5, 5), QColor(Qt::white));
        QCOMPARE(doc.canvas.brush.style(), gfx::BrushStyle::Clear);
    }

    void btnturnTurnsTheImageAQuarterClockwise()
    {
        ui::TDaubixF window(folder());
        window.show();
        auto& doc = window.document();
        doc.image = gfx::Bitmap(40, 20);
        doc.image.setPixel(0, 0, gfx::clRed); // top-left goes to the top-right
        window.findChild<QAction*>("btnturn")->trigger();
        QCOMPARE(doc.image.width(), 20);
        QCOMPARE(doc.image.height(), 40);
        QCOMPARE(doc.image.pixel(19, 0), gfx::clRed);
        QCOMPARE(window.paintView()->size(), QSize(20, 40));
        QVERIFY(doc.modified);
    }

    void closingWritesTheSettingsAndThePatterns()
    {
        QTemporaryDir place;
        {
            ui::TDaubixF window(place.path().toStdString());
            window.show();
            window.setGeometry(40, 50, 600, 420);
            QVERIFY(window.close());
        }
        const QString ini = place.filePath("Daubix.ini");
        QFile file(ini);
        QVERIFY(file.open(QIODevice::ReadOnly));
        const QString text = QString::fromUtf8(file.readAll());
        QVERIFY2(text.contains("State=normal"), qPrintable(text));
        QVERIFY(text.contains("Width=600"));
        auto strip = io::readBmpFile(place.filePath("patterns.bmp").toStdString());
        QVERIFY(strip.ok());
        QCOMPARE(strip.value().width(), 256);
        QCOMPARE(strip.value().height(), 8);
    }

    void closingAModifiedImageAsksFirst()
    {
        QTemporaryDir place;
        ui::TDaubixF window(place.path().toStdString());
        window.show();
        window.document().image.setPixel(0, 0, gfx::clRed);
        window.findChild<QAction*>("btnturn")->trigger(); // modifies the image
        QString asked;
        answerNextMessageBox(QMessageBox::Cancel, &asked);
        QVERIFY(!window.close());
        QCOMPARE(asked, QString("Save changes to the image?"));
        QVERIFY(!QFile::exists(place.filePath("Daubix.ini"))); // nothing happened
        answerNextMessageBox(QMessageBox::No);
        QVERIFY(window.close());
        QVERIFY(QFile::exists(place.filePath("Daubix.ini")));
    }

    // Yes saves first: the window closes only once a file was written.
    void closingWithYesSavesTheImage()
    {
        QTemporaryDir place;
        ui::TDaubixF window(place.path().toStdString());
        window.show();
        window.document().image.setPixel(0, 0, gfx::clRed);
        window.findChild<QAction*>("btnturn")->trigger(); // modifies the image
        answerNextMessageBox(QMessageBox::Yes);
        answerNextFileDialog({}); // cancelled: the picture stays
        QVERIFY(!window.close());
        QVERIFY(window.document().modified);
        const QString saved = place.filePath("kept.bmp");
        QTimer::singleShot(0, [saved] {
            answerNextMessageBox(QMessageBox::Yes);
            answerNextFileDialog(saved);
        });
        QVERIFY(window.close());
        auto written = io::readBmpFile(saved.toStdString());
        QVERIFY(written.ok());
        QCOMPARE(written.value(), window.document().image);
    }

    // A file named on the command line is opened before the first undo step; a bad one leaves the white
    // image and says why.
    void aFileGivenAtStartIsOpened()
    {
        QTemporaryDir place;
        gfx::Bitmap picture(30, 20);
        for (int x = 0; x < 30; ++x)
            picture.setPixel(x, x % 20, gfx::rgb(8 * x, 255 - 8 * x, 90));
        QVERIFY(io::writePicture(place.filePath("start.png").toStdString(), picture, {}, {}, 25).ok());
        {
            ui::TDaubixF window(place.path().toStdString());
            window.openFile(place.filePath("start.png").toStdString());
            window.show();
            QCOMPARE(window.document().image, picture);
            QCOMPARE(window.document().undo.newest(), picture);
            QVERIFY(!window.document().modified);
            QCOMPARE(window.statusText(0), QString("start.png"));
        }
        ui::TDaubixF window(place.path().toStdString());
        QString said;
        answerNextMessageBox(QMessageBox::Ok, &said);
        window.openFile(place.filePath("missing.png").toStdString());
        QCOMPARE(said, "Error Opening File " + place.filePath("missing.png") + "!");
        QCOMPARE(window.document().image, gfx::Bitmap(256, 256));
    }

    void draggingInRectangleModeDrawsOneRectangleAndOneUndoStep()
    {
        ui::TDaubixF window(folder());
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        auto& doc = window.document();
        doc.toolMode = "rectangle";
        const int index = doc.undo.index();
        ui::MyPaint* paint = window.paintView();
        drag(paint, {20, 30}, {70, 60});
        QCOMPARE(doc.undo.index(), index % 10 + 1);
        const QImage shown = paint->grab().toImage();
        QCOMPARE(shown.pixelColor(20, 30), QColor(Qt::black));
        QCOMPARE(shown.pixelColor(69, 59), QColor(Qt::black));
        QCOMPARE(shown.pixelColor(45, 45), QColor(Qt::white));
        QVERIFY(window.statusText(2).startsWith("x=70 y=60"));
        window.findChild<QAction*>("goUndo")->trigger();
        QCOMPARE(paint->grab().toImage().pixelColor(20, 30), QColor(Qt::white));
    }

    void aSelectedRangeErasesAndFloatsFromTheMenus()
    {
        ui::TDaubixF window(folder());
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        auto& doc = window.document();
        window.findChild<QAction*>("ToolButton2")->trigger();
        drag(window.paintView(), {10, 10}, {30, 20});
        QCOMPARE(doc.range, (gfx::Rect{10, 10, 30, 20}));
        QCOMPARE(doc.toolMode, std::string());

        doc.canvas.brush.setColor(gfx::clRed);
        menuItem(window, {"&Range", "Erase"})->trigger();
        QCOMPARE(doc.image.pixel(30, 20), gfx::clRed);
        QCOMPARE(doc.image.pixel(31, 20), gfx::clWhite);

        menuItem(window, {"&Range", "Float", "Full"})->trigger();
        auto* floating = window.findChild<QLabel*>("FloatImage1");
        QVERIFY(floating && floating->isVisible());
        QCOMPARE(floating->geometry(), QRect(10, 10, 20, 10));
        QCOMPARE(doc.floating.bitmap.pixel(0, 0), gfx::clRed);
        QAction* shown = menuItem(window, {"&Gadgets", "FloatImage1"});
        QVERIFY(shown->isChecked());
        shown->trigger();
        QVERIFY(!floating->isVisible());

        menuItem(window, {"&Range", "Move"})->trigger();
        QCOMPARE(doc.toolMode, std::string("rangemove"));
    }

    void zoomInKeepHandsOverToFreehand()
    {
        ui::TDaubixF window(folder());
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        auto& doc = window.document();
        doc.image.setPixel(105, 105, gfx::clRed);
        doc.toolMode = "zoomkeepbrush";
        drag(window.paintView(), {100, 100}, {110, 110});
        QCOMPARE(doc.toolMode, std::string("freehand"));
        QCOMPARE(doc.canvas.pen.width, 2);
        QCOMPARE(window.findChild<QToolButton*>("setshape")->toolTip(), QString("Freehand"));
        // The width button shows the 2-pixel pen the brush handed over.
        const QImage widthIcon = window.findChild<QToolButton*>("setwidth")->icon().pixmap(16).toImage();
        QCOMPARE(widthIcon, ui::drawnIcon("width:2").pixmap(16).toImage());
        // Zoom Out is a command of the same menu, and one undo step.
        const int index = doc.undo.index();
        window.action("shapes > Zoom Out")->trigger();
        QCOMPARE(doc.undo.index(), index % 10 + 1);
    }

    void optionsMenuAsksAndFallsBack()
    {
        ui::TDaubixF window(folder());
        QAction* star7 = window.action("Options > Starpoints > 7");
        QVERIFY(star7 && star7->isCheckable());
        star7->setText("&7"); // a desktop theme may add accelerators; the row keeps its number
        star7->trigger();
        QCOMPARE(window.document().shapes.starPoints, 7);
        QVERIFY(star7->isChecked());
        QVERIFY(!window.action("Options > Starpoints > 5")->isChecked());
        window.action("Options > Polygon")->trigger();
        QVERIFY(window.document().shapes.polygonOnly);
        QVERIFY(window.action("Options > Polygon")->isChecked());
    }

    void backAndForwardButtonsDoNotDraw()
    {
        ui::TDaubixF window(folder());
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        auto& doc = window.document();
        doc.toolMode = "ellipse";
        doc.canvas.pen.width = 5;
        const int index = doc.undo.index();
        for (const Qt::MouseButton button : {Qt::BackButton, Qt::ForwardButton}) {
            QTest::mousePress(window.paintView(), button, {}, {40, 40});
            QTest::mouseRelease(window.paintView(), button, {}, {40, 40});
        }
        QCOMPARE(doc.undo.index(), index);
        QCOMPARE(doc.image, gfx::Bitmap(256, 256));
        QVERIFY(!doc.modified);
    }

    void helpContentsSaysSoWhenThePageIsMissing()
    {
        QTemporaryDir empty;
        ui::TDaubixF window(empty.path().toStdString());
        QString shown;
        answerNextMessageBox(QMessageBox::Ok, &shown);
        window.action("Help > Contents")->trigger();
        QVERIFY2(shown.contains("Daubix.html"), qPrintable(shown));
        QVERIFY(!window.findChild<QWidget*>("DaubixHelp"));
    }

    void theSizeSpinAndTheScrollBoxResizeTheImage()
    {
        ui::TDaubixF window(folder());
        window.resize(800, 600);
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        auto& doc = window.document();
        auto* spin = window.findChild<QAbstractSpinBox*>("SizeSpin");
        QVERIFY(spin);
        spin->stepBy(1);
        QCOMPARE(doc.image.width(), 320);
        QCOMPARE(window.paintView()->size(), QSize(320, 320));
        spin->stepBy(-1);
        QCOMPARE(doc.image.width(), 224);
        // A Shift drag beside the image: the width follows the pointer less three, the height the
        // proportions.
        QWidget* viewport = window.findChild<QScrollArea*>("ScrollBox1")->viewport();
        const auto send = [&](QEvent::Type type, QPoint at, Qt::MouseButtons buttons) {
            QMouseEvent e(
                type, QPointF(at), viewport->mapToGlobal(QPointF(at)), Qt::LeftButton, buttons, Qt::ShiftModifier);
            QApplication::sendEvent(viewport, &e);
        };
        send(QEvent::MouseButtonPress, {300, 100}, Qt::LeftButton);
        send(QEvent::MouseMove, {153, 100}, Qt::LeftButton);
        send(QEvent::MouseButtonRelease, {153, 100}, Qt::NoButton);
        QCOMPARE(doc.image.width(), 150);
        QCOMPARE(doc.image.height(), 150);
        QCOMPARE(window.statusText(3), QString("W=150  H=150"));
        QCOMPARE(window.paintView()->size(), QSize(150, 150));
        window.findChild<QAction*>("goUndo")->trigger();
        QCOMPARE(doc.image.width(), 224);
    }

    void theSplashIsPaintedBeforeTheEventLoopRuns()
    {
        ui::TDaubixSplashF splash;
        splash.showAndPaint();
        QVERIFY(splash.paintCount() > 0);
    }
};

QTEST_MAIN(TDaubixFTest)
#include "TDaubixFTest.moc"
