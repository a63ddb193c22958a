#pragma once

#include "gfx/Bitmap.h"

#include <QWidget>

#include <memory>

class QCheckBox;
class QPushButton;
class QScrollArea;

namespace daubix::app {
struct Document;
class Host;
} // namespace daubix::app

namespace daubix::ui {

class MyPaint;

// The preview window that the Filters window, the Quick Effects panel and Quick Backdrops share: the
// picture they made, "Use" to draw it into the image, and numbered GIF frames saved from it. The picture
// and the frame state live in the document; the window shows them.
class TQuickPreviewF : public QWidget {
    Q_OBJECT
public:
    TQuickPreviewF(app::Document& doc, app::Host& host, QWidget* parent);
    ~TQuickPreviewF() override;

    // Takes the picture over (no copy), shows the window above the others and the picture in it.
    void showPicture(gfx::Bitmap picture);
    // Shows or closes the window as the document's preview says, after a core step put a picture there.
    void followDocument();

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    void UseClick();
    void SaveClick();
    void CounterClick();
    void transparentClick(bool checked);
    void run(const char* button);
    void showState();

    class DialogHost;
    app::Document& m_doc;
    std::unique_ptr<DialogHost> m_host;

    QScrollArea* m_scrollBox = nullptr;
    MyPaint* m_view = nullptr;
    QPushButton* m_use = nullptr;
    QPushButton* m_save = nullptr;
    QPushButton* m_counter = nullptr;
    QCheckBox* m_transparent = nullptr;
};

} // namespace daubix::ui
