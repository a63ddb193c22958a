#pragma once

#include "app/Document.h"
#include "app/IniFile.h"
#include "effects/ResizeCommands.h"
#include "tools/ToolEngine.h"
#include "ui/QtHost.h"

#include <QMainWindow>

#include <array>
#include <map>
#include <string>
#include <string_view>
#include <vector>

class QLabel;
class QMenu;
class QMouseEvent;
class QProgressDialog;
class QScrollArea;
class QToolButton;

namespace daubix::app {
struct CommandRow;
}

namespace daubix::ui {

class MyPaint;
class PatList;
class ColorListWidget;
class TGammaPanel;
class TQuickPreviewF;
class TDaubixEffectsF;
class TDaubixQBF;
class TDaubixScriptF;
class TDaubixFLF;
class TTextureF;

// The main window: the working image in a scroll box, the menus and toolbar built from the command
// table, the colour panel, the pattern and colour lists and the status bar.
class TDaubixF : public QMainWindow {
    Q_OBJECT
public:
    // The program folder holds patterns.bmp and Daubix.ini; empty means the folder found at start.
    explicit TDaubixF(std::string programFolder = {});
    ~TDaubixF() override;

    app::Document& document() { return m_doc; }
    MyPaint* paintView() { return m_paint; }
    QString statusText(int panel) const;
    const std::string& programFolder() const { return m_folder; }
    // Opens a file as File > Open does, without the dialog (for a file named on the command line).
    void openFile(const std::string& path);
    // Shows the window where the settings file puts it: maximised, or at the stored place.
    void showAtStoredPlacement();
    // The menu or popup item of a command path, written as the command line takes it; null if none.
    QAction* action(std::string_view path) const;
    // Sets every check mark, button picture and panel from the document.
    void updateActions();
    // The preview window that the filter, effect and backdrop windows hand their pictures to; it exists,
    // hidden, from the start.
    TQuickPreviewF* quickPreview() const { return m_quickPreview; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    void buildPanels();
    void buildStatusBar();
    void buildToolBar();
    void buildMenus();
    QMenu* menuFor(const std::vector<std::string_view>& parents);
    QAction* addRow(QMenu* menu, const app::CommandRow& row);
    void runRow(const app::CommandRow& row);
    bool openWindow(std::string_view name, bool check);
    void showHelp(const QString& anchor = "Daubix");
    void saveOnClose();
    void mypaintMouse(int step, QMouseEvent* event);
    void imageChanged();

    app::Document m_doc;
    QtHost m_host;
    tools::ToolEngine m_tools{m_doc, m_host};
    effects::ScrollBoxResize m_scrollResize;
    std::string m_folder;
    app::IniFile m_ini;

    QScrollArea* m_scrollBox = nullptr;
    MyPaint* m_paint = nullptr;
    TGammaPanel* m_gamma = nullptr;
    PatList* m_patList = nullptr;
    ColorListWidget* m_colorList = nullptr;
    TQuickPreviewF* m_quickPreview = nullptr;
    TDaubixFLF* m_filters = nullptr;
    TDaubixEffectsF* m_effects = nullptr;
    TDaubixQBF* m_backdrops = nullptr;
    TDaubixScriptF* m_script = nullptr;
    QProgressDialog* m_scriptProgress = nullptr;
    class InputDuringRun;
    InputDuringRun* m_inputDuringRun = nullptr; // set while a script runs
    TTextureF* m_texture = nullptr;
    std::array<QLabel*, 4> m_status{};
    QLabel* m_floatImage = nullptr;
    int m_floatRevision = -1;
    std::string m_shownTool = m_doc.toolMode; // the tool the shape button shows
    // The dropdown buttons by the popup they open ("shapes", "linewidth", ...), and the popups.
    std::map<std::string, QToolButton*, std::less<>> m_dropdowns;
    std::map<std::string, QMenu*, std::less<>> m_menus; // by the captions of their path
    std::vector<std::pair<const app::CommandRow*, QAction*>> m_actions;
    bool m_shown = false;
};

} // namespace daubix::ui
