#pragma once

#include "ui/QtHost.h"

#include <QWidget>

#include <array>
#include <optional>
#include <string>

class QComboBox;
class QListWidget;
class QMenu;
class QPushButton;
class QRadioButton;
class QScrollBar;
class QTableWidget;

namespace daubix::app {
struct Document;
}

namespace daubix::gfx {
class Bitmap;
}

namespace daubix::ui {

class TQuickPreviewF;

// The Filters window: per-channel line filters, the 5 x 5 user matrix and its presets. Its state lives
// in the document for the whole run; the window only shows it, and its pictures go to the preview window.
class TDaubixFLF : public QWidget {
    Q_OBJECT
public:
    // Reads the presets from presetPath, as the window does once when it is created.
    TDaubixFLF(app::Document& doc, TQuickPreviewF* preview, const std::string& presetPath, QWidget* parent);

    // Shown above the others with the controls as the document holds them.
    void showWindow();
    // The controls follow the document again, after a script's filter request changed it.
    void refresh() { showState(); }

protected:
    void showEvent(QShowEvent* event) override;

private:
    void QFListClick(int row);
    void radioClick(int channel);
    void trkredChange(int value);
    void matrixCellChanged(int row, int column);
    void btnshowClick();
    void FilterPresetsChange(int index);
    void AddClick();
    void DeleteClick();
    void UpdateClick();
    void preview(std::optional<gfx::Bitmap> picture);
    void showState();

    app::Document& m_doc;
    TQuickPreviewF* m_preview;
    // The boxes over this window: it stays on top, and would hide a box that belonged to the main window.
    QtHost m_dialogs{this};
    std::string m_loadFailure; // why the preset file could not be read, told when the window first shows

    QListWidget* m_list = nullptr;
    std::array<QRadioButton*, 3> m_radios{};
    QScrollBar* m_bar = nullptr;
    QTableWidget* m_matrix = nullptr;
    QPushButton* m_show = nullptr;
    QComboBox* m_presets = nullptr;
    QMenu* m_presetMenu = nullptr;
};

} // namespace daubix::ui
