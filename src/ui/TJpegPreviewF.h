#pragma once

#include "gfx/Bitmap.h"

#include <QTimer>
#include <QWidget>

#include <functional>

class QCheckBox;
class QLabel;
class QPushButton;
class QScrollArea;
class QScrollBar;

namespace daubix::app {
struct Document;
class Host;
} // namespace daubix::app

namespace daubix::ui {

class MyPaint;

// The JPEG preview window: the working image as it would look compressed at the chosen quality, with
// the compressed size, saving at that quality and taking the preview as the image.
class TJpegPreviewF : public QWidget {
    Q_OBJECT
public:
    TJpegPreviewF(app::Document& doc, app::Host& host, QWidget* parent);

    // Quick JPEG: shows the window, raised when it is already open, and runs the preview step.
    void showAndPreview();
    const gfx::Bitmap& previewPicture() const { return m_preview; }

    // The save dialog; an empty name when cancelled. Tests put their own answer here.
    std::function<QString()> askSaveName;

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    void preview();
    void QualityBarChange(int quality);
    void GrayscaleClick(bool checked);
    void SaveClick();
    void UseClick();
    void showMessage(const std::string& text);
    QString dialogSaveName();

    app::Document& m_doc;
    app::Host& m_host;
    gfx::Bitmap m_preview; // the decompressed picture shown; empty after a failed step
    QTimer m_pending; // a moved bar waits here, so that only the newest position is compressed

    QScrollArea* m_scrollBox = nullptr;
    MyPaint* m_view = nullptr;
    QScrollBar* m_quality = nullptr;
    QCheckBox* m_grey = nullptr;
    QLabel* m_size = nullptr;
    QPushButton* m_save = nullptr;
    QPushButton* m_use = nullptr;
};

} // namespace daubix::ui
