#pragma once

// Answers for the modal dialogs a window test runs into: each call waits, through the event loop the
// dialog itself runs, until such a dialog shows, then answers it once.

#include "gfx/Bitmap.h"

#include <QApplication>
#include <QFileDialog>
#include <QInputDialog>
#include <QMessageBox>
#include <QPushButton>
#include <QTimer>

namespace daubix::test {

// Clicks the button (NoButton: accepts the box as Enter would); records the text and the box's parent.
inline void answerNextMessageBox(
    QMessageBox::StandardButton button, QString* text = nullptr, QWidget** parent = nullptr)
{
    QTimer::singleShot(0, [button, text, parent] {
        for (QWidget* w : QApplication::topLevelWidgets())
            if (auto* box = qobject_cast<QMessageBox*>(w); box && box->isVisible()) {
                if (text)
                    *text = box->text();
                if (parent)
                    *parent = box->parentWidget();
                if (button == QMessageBox::NoButton)
                    box->accept();
                else
                    box->button(button)->click();
                return;
            }
        answerNextMessageBox(button, text, parent);
    });
}

// Chooses a name in the next file dialog, or cancels it when the name is empty; records its filters,
// default suffix and parent.
struct FileDialogSeen {
    QStringList filters;
    QString suffix;
    QWidget* parent = nullptr;
};
inline void answerNextFileDialog(const QString& name, FileDialogSeen* seen = nullptr)
{
    QTimer::singleShot(0, [name, seen] {
        for (QWidget* w : QApplication::topLevelWidgets())
            if (auto* dialog = qobject_cast<QFileDialog*>(w); dialog && dialog->isVisible()) {
                if (seen)
                    *seen = {dialog->nameFilters(), dialog->defaultSuffix(), dialog->parentWidget()};
                if (name.isEmpty()) {
                    dialog->reject();
                } else {
                    dialog->selectFile(name);
                    QMetaObject::invokeMethod(dialog, "accept", Qt::DirectConnection);
                }
                return;
            }
        answerNextFileDialog(name, seen);
    });
}

// Types the answer into the next input box; records its caption, prompt and first text.
struct InputBoxSeen {
    QString caption, prompt, initial;
};
inline void answerNextInputBox(const QString& answer, InputBoxSeen* seen = nullptr)
{
    QTimer::singleShot(0, [answer, seen] {
        for (QWidget* w : QApplication::topLevelWidgets())
            if (auto* box = qobject_cast<QInputDialog*>(w); box && box->isVisible()) {
                if (seen)
                    *seen = {box->windowTitle(), box->labelText(), box->textValue()};
                box->setTextValue(answer);
                box->accept();
                return;
            }
        answerNextInputBox(answer, seen);
    });
}

// A picture whose every pixel differs from its neighbours.
inline gfx::Bitmap pattern(int width, int height, int seed)
{
    gfx::Bitmap b(width, height);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            b.setPixel(x, y, gfx::rgb((x * 37 + seed * 11) % 256, (y * 53 + seed * 7) % 256, (x * y + seed) % 256));
    return b;
}

} // namespace daubix::test
