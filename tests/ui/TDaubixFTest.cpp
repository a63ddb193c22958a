#include "ui/TDaubixF.h"

#include "ui/MyPaint.h"

#include <QAction>
#include <QScrollArea>
#include <QTest>
#include <QToolBar>

using namespace daubix;

class TDaubixFTest : public QObject {
    Q_OBJECT
private slots:
    void showsTheWhiteWorkingImage()
    {
        ui::TDaubixF window;
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        QCOMPARE(window.windowTitle(), QString("Kets Daubix 22i"));
        auto* paint = window.findChild<ui::MyPaint*>("mypaint");
        QVERIFY(paint);
        QCOMPARE(paint->size(), QSize(256, 256));
        const QImage shown = paint->grab().toImage();
        QCOMPARE(shown.size(), QSize(256, 256));
        for (const QPoint p : {QPoint(0, 0), QPoint(255, 255), QPoint(128, 17)})
            QCOMPARE(shown.pixelColor(p), QColor(Qt::white));
        QCOMPARE(window.document().undo.index(), 2); // the first show pushed the image
    }

    void showsWhatTheCoreDrewAndUndoRestoresIt()
    {
        ui::TDaubixF window;
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        auto& doc = window.document();
        doc.undo.push(doc.image); // as a press would
        doc.canvas.brush.setColor(gfx::clRed);
        doc.canvas.fillRect({10, 10, 20, 20});
        window.paintView()->imageChanged({10, 10, 20, 20});
        QCOMPARE(window.paintView()->grab().toImage().pixelColor(15, 15), QColor(Qt::red));

        auto* undo = window.findChild<QAction*>("goUndo");
        QVERIFY(undo);
        QCOMPARE(undo->toolTip(), QString("Undo"));
        undo->trigger();
        QCOMPARE(window.paintView()->grab().toImage().pixelColor(15, 15), QColor(Qt::white));
    }

    void clearImageAndPixelFormatWorkFromTheWindow()
    {
        ui::TDaubixF window;
        window.show();
        auto& doc = window.document();
        doc.canvas.brush.setColor(gfx::clBlue);
        doc.canvas.fillRect({0, 0, 256, 256});
        window.findChild<QAction*>("ClearImage")->trigger();
        QCOMPARE(window.paintView()->grab().toImage().pixelColor(5, 5), QColor(Qt::white));
        QCOMPARE(doc.canvas.brush.style(), gfx::BrushStyle::Clear);
    }

    void btnturnTurnsTheImageAQuarterClockwise()
    {
        ui::TDaubixF window;
        window.show();
        auto& doc = window.document();
        doc.image = gfx::Bitmap(40, 20);
        doc.image.setPixel(0, 0, gfx::clRed); // top-left goes to the top-right
        window.findChild<QAction*>("btnturn")->trigger();
        QCOMPARE(doc.image.width(), 20);
        QCOMPARE(doc.image.height(), 40);
        QCOMPARE(doc.image.pixel(19, 0), gfx::clRed);
        QCOMPARE(window.paintView()->size(), QSize(20, 40));
        QCOMPARE(window.paintView()->grab().toImage().pixelColor(19, 0), QColor(Qt::red));
    }
};

QTEST_MAIN(TDaubixFTest)
#include "TDaubixFTest.moc"
