#pragma once

#include "ui/QtHost.h"

#include <QWidget>

#include <optional>

class QScrollBar;
class QTreeWidget;
class QTreeWidgetItem;

namespace daubix::app {
struct Document;
}

namespace daubix::gfx {
class Bitmap;
}

namespace daubix::ui {

class TQuickPreviewF;

// The Quick Effects panel: a tree of effects and four bars. Its state lives in the document for the whole
// run; the panel only shows it, and its pictures go to the preview window, whose "Use" draws them.
class TDaubixEffectsF : public QWidget {
    Q_OBJECT
public:
    TDaubixEffectsF(app::Document& doc, TQuickPreviewF* preview, QWidget* parent);

    // EffectsPanel1Click: the centre bars follow the image's size; shown above the others.
    void showWindow();

private:
    void EListClick(QTreeWidgetItem* item);
    void EBarChange(int bar, int value);
    void preview(std::optional<gfx::Bitmap> picture);
    void showState();

    app::Document& m_doc;
    TQuickPreviewF* m_preview;
    // The boxes over this window: it stays on top, and would hide a box that belonged to the main window.
    QtHost m_dialogs{this};

    QTreeWidget* m_tree = nullptr;
    QScrollBar* m_eBar = nullptr;
    QScrollBar* m_extraBar = nullptr;
    QScrollBar* m_cxBar = nullptr;
    QScrollBar* m_cyBar = nullptr;
};

} // namespace daubix::ui
