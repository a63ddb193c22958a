#pragma once

#include "gfx/Bitmap.h"
#include "gfx/Result.h"

#include <QDialog>

#include <memory>

class QLabel;
class QPrinter;

namespace daubix::app {
struct Document;
}

namespace daubix::ui {

class MyPaint;

// The print preview (modal): the printable area at a fifth of its size with the image placed as it
// will print, the scale with "+" and "-", printing, the printer setup and closing.
class TPaintPreviewF : public QDialog {
    Q_OBJECT
public:
    explicit TPaintPreviewF(app::Document& doc, QWidget* parent = nullptr);
    ~TPaintPreviewF() override;

    // File > Print: an empty image does nothing; otherwise the scale starts at 2 and the preview
    // shows modally.
    void Print1Click();
    // What Print1Click does before showing; false for an empty image.
    bool preparePreview();
    // The print button's job: the image stretched into printRect on printer's printable area, in its
    // printer pixels. A job that cannot start or fails is aborted and its failure returned.
    gfx::Status printTo(QPrinter& printer);

    QPrinter& printer() { return *m_printer; }
    const gfx::Bitmap& preview() const { return m_preview; }

private slots:
    void PlusClick();
    void MinusClick();
    void PrintClick();
    void SetupClick();

private:
    // The printer dialog; the preview follows the chosen page. False when cancelled. Its accepting
    // button reads "Print" only when printing follows.
    bool choosePrinter(bool printing);
    void drawPreview();

    app::Document& m_doc;
    std::unique_ptr<QPrinter> m_printer;
    gfx::Bitmap m_preview;
    MyPaint* m_picture = nullptr;
    QLabel* m_scale = nullptr;
};

} // namespace daubix::ui
