#include "ui/TDaubixScriptF.h"

#include "DialogAnswers.h"

#include "app/Document.h"
#include "commands/ScriptCommands.h"
#include "ui/MyPaint.h"
#include "ui/TDaubixF.h"

#include <QAction>
#include <QListWidget>
#include <QMouseEvent>
#include <QPlainTextEdit>
#include <QProgressDialog>
#include <QTemporaryDir>
#include <QTest>

using namespace daubix;
using test::answerNextMessageBox;

class TDaubixScriptFTest : public QObject {
    Q_OBJECT
private:
    struct Windows {
        std::unique_ptr<QTemporaryDir> home = std::make_unique<QTemporaryDir>();
        std::unique_ptr<ui::TDaubixF> main;
        ui::TDaubixScriptF* script = nullptr;
        QPlainTextEdit* editor = nullptr;
        QListWidget* library = nullptr;

        app::Document& doc() { return main->document(); }
        void menu(const char* path) { main->action(path)->trigger(); }
        void press(QPoint at, Qt::KeyboardModifiers modifiers)
        {
            QTest::mousePress(main->paintView(), Qt::LeftButton, modifiers, at);
            QTest::mouseRelease(main->paintView(), Qt::LeftButton, modifiers, at);
        }
    };
    Windows start(const std::string& library = "b=go 1\r\na=go 2\r\n")
    {
        Windows w;
        QFile file(w.home->filePath("DaubixLib.tip"));
        file.open(QIODevice::WriteOnly);
        file.write(library.data(), static_cast<qint64>(library.size()));
        file.close();
        w.main = std::make_unique<ui::TDaubixF>(w.home->path().toStdString());
        w.main->show();
        w.script = w.main->findChild<ui::TDaubixScriptF*>("TDaubixScriptF");
        if (w.script) {
            w.editor = w.script->findChild<QPlainTextEdit*>("script");
            w.library = w.script->findChild<QListWidget*>("ScriptLib");
        }
        return w;
    }

private slots:
    void theWindowIsMadeHiddenAndViewEditorShowsIt()
    {
        Windows w = start();
        QVERIFY(w.script && w.editor && w.library);
        QVERIFY(!w.script->isVisible());
        QCOMPARE(w.script->windowTitle(), QString("DaubixScript"));
        QCOMPARE(w.script->windowType(), Qt::Tool);
        QCOMPARE(w.script->size(), QSize(611, 206));
        QCOMPARE(w.library->count(), 2);
        QCOMPARE(w.library->item(0)->text(), QString("a")); // sorted, tags only
        QVERIFY(!w.editor->tabChangesFocus());
        w.menu("Script > View Editor");
        QVERIFY(w.script->isVisible());
        w.editor->setPlainText("go 5");
        w.script->close();
        QVERIFY(!w.script->isVisible());
        w.menu("Script > View Editor");
        QCOMPARE(w.editor->toPlainText(), QString("go 5")); // hiding keeps the text
    }

    // Ctrl+Alt on the image types the point into a showing editor, and no tool draws.
    void ctrlAltTypesThePointAndAltFinishedShapesTheirScript()
    {
        Windows w = start();
        const gfx::Bitmap before = w.doc().image;
        w.press({120, 45}, Qt::ControlModifier | Qt::AltModifier);
        QCOMPARE(w.editor->toPlainText(), QString()); // hidden: nothing
        w.menu("Script > View Editor");
        w.press({120, 45}, Qt::ControlModifier | Qt::AltModifier);
        QCOMPARE(w.editor->toPlainText(), QString("120 45 "));
        QCOMPARE(w.doc().image, before);

        w.doc().toolMode = "rectangle";
        w.editor->clear();
        QWidget* view = w.main->paintView();
        const auto altRectangle = [view] {
            QTest::mousePress(view, Qt::LeftButton, {}, {10, 10});
            QMouseEvent move(QEvent::MouseMove, QPointF(60, 30), view->mapToGlobal(QPointF(60, 30)), Qt::NoButton,
                Qt::LeftButton, Qt::NoModifier);
            QApplication::sendEvent(view, &move);
            QTest::mouseRelease(view, Qt::LeftButton, Qt::AltModifier, {60, 30});
        };
        altRectangle();
        QCOMPARE(w.editor->toPlainText(), QString("pos 10 10 rectangle 50 20 \n"));
        w.script->close();
        w.editor->clear();
        altRectangle();
        QCOMPARE(w.editor->toPlainText(), QString()); // hidden: the rectangle is only drawn
        QVERIFY(w.doc().image != before);
    }

    void errorsPutTheCaretWhereTheRunStopped()
    {
        Windows w = start();
        w.menu("Script > View Editor");
        QString said;
        answerNextMessageBox(QMessageBox::NoButton, &said);
        w.menu("Script > Run");
        QCOMPARE(said, QString("empty script"));
        QCOMPARE(w.editor->textCursor().position(), 0);

        w.editor->setPlainText("pos 5 5\ndown go 3\nright foo go 2");
        answerNextMessageBox(QMessageBox::NoButton, &said);
        w.menu("Script > Run");
        QCOMPARE(said, QString("invalid integer in right"));
        const QTextCursor caret = w.editor->textCursor();
        QCOMPARE(caret.blockNumber(), 2);
        QCOMPARE(caret.positionInBlock(), 9); // after "right foo"
    }

    // "Stop" in the busy box ends a long run; the window then refuses nothing.
    void stopEndsALongRun()
    {
        Windows w = start();
        w.menu("Script > View Editor");
        w.editor->setPlainText("do 2000000000 go 1 loop");
        QTimer stopper;
        connect(&stopper, &QTimer::timeout, [&w] {
            if (auto* busy = w.main->findChild<QProgressDialog*>("ScriptProgress"); busy && busy->isVisible())
                busy->cancel();
        });
        stopper.start(100);
        QString said;
        answerNextMessageBox(QMessageBox::NoButton, &said);
        QElapsedTimer clock;
        clock.start();
        w.menu("Script > Run");
        QCOMPARE(said, QString("run cancelled"));
        QVERIFY(clock.elapsed() < 20000);
        QVERIFY(!commands::scriptRunning(w.doc()));
        QVERIFY(!w.main->findChild<QProgressDialog*>("ScriptProgress"));
    }

    void aDoubleClickInsertsTheEntry()
    {
        Windows w = start();
        w.menu("Script > View Editor");
        w.editor->setPlainText("up ");
        w.editor->moveCursor(QTextCursor::End);
        QListWidgetItem* item = w.library->item(1);
        w.library->setCurrentItem(item);
        emit w.library->itemDoubleClicked(item);
        QCOMPARE(w.editor->toPlainText(), QString("up go 1"));
    }
};

QTEST_MAIN(TDaubixScriptFTest)
#include "TDaubixScriptFTest.moc"
