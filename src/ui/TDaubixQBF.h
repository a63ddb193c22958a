#pragma once

#include "ui/QtHost.h"

#include <QWidget>

#include <array>
#include <optional>
#include <string>

class QComboBox;
class QListWidget;
class QRadioButton;
class QScrollBar;

namespace daubix::app {
struct Document;
}

namespace daubix::gfx {
class Bitmap;
}

namespace daubix::ui {

class TQuickPreviewF;

// Quick Backdrops: a formula per colour channel, offsets, a modulus and named presets. The settings live
// in the document for the whole run and a script may change them; the window moves a control only when
// its own events change what it shows, as the classic window did. Its pictures go to the preview window.
class TDaubixQBF : public QWidget {
    Q_OBJECT
public:
    // Reads the presets from presetPath, once, as the window does when it is made.
    TDaubixQBF(app::Document& doc, TQuickPreviewF* preview, const std::string& presetPath, QWidget* parent);

    // The radio buttons take their formulas' names; shown above the others.
    void showWindow();

protected:
    void showEvent(QShowEvent* event) override;

private:
    void QBListClick(int row);
    void radioClick(int channel);
    void barChange(int bar, int value);
    void qbpresetsChange(int index);
    void presetMenu(void (*command)(app::Document&, app::Host&));
    void showCaptions();
    // The first count bars take the settings' values.
    void showBars(std::size_t count);
    void preview(std::optional<gfx::Bitmap> picture);

    app::Document& m_doc;
    TQuickPreviewF* m_preview;
    QtHost m_dialogs{this};
    std::string m_loadFailure; // said once, when the window first shows

    QListWidget* m_list = nullptr;
    std::array<QRadioButton*, 3> m_radios{};
    std::array<QScrollBar*, 4> m_bars{}; // trkred, trkgreen, trkblue, trkfactor
    QComboBox* m_presets = nullptr;
};

} // namespace daubix::ui
