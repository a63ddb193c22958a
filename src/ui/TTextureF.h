#pragma once

#include "ui/QtHost.h"

#include <QDialog>

#include <functional>

class QCheckBox;
class QPushButton;
class QScrollArea;
class QScrollBar;

namespace daubix::app {
struct Document;
}

namespace daubix::ui {

class TTexturePanel;

// The texture window (modal): the panel `tex` showing the tile over the image's size in a scroll box, and
// beside it the noise and size bars, mono noise, "Color" and "Use". It is made at start and kept, so it
// keeps its settings and its tile; what it shows lives in the document.
class TTextureF : public QDialog {
    Q_OBJECT
public:
    TTextureF(app::Document& doc, QWidget* parent);

    // "Quick Texture...": the panel takes the image's size and the window shows modally. The result of
    // exec(): Accepted when "Use" painted the image.
    int showModal();

    TTexturePanel* panel() const { return m_tex; }

private:
    void noisebarChange(int value);
    void texsizeChange(int value);
    void mononoiseClick(bool checked);
    void gocolorClick();
    void goUseClick();
    // Runs a change that may make a new tile (or paint the image) under the wait cursor, then shows the
    // state.
    void regenerate(const std::function<void()>& change);
    void showState();

    app::Document& m_doc;
    QtHost m_dialogs{this};

    QScrollArea* m_scrollBox = nullptr;
    TTexturePanel* m_tex = nullptr;
    QScrollBar* m_noiseBar = nullptr;
    QScrollBar* m_sizeBar = nullptr;
    QCheckBox* m_mono = nullptr;
    QPushButton* m_color = nullptr;
    QPushButton* m_use = nullptr;
};

} // namespace daubix::ui
