#pragma once

#include "app/Document.h"
#include "app/IniFile.h"
#include "effects/TketPaintFX.h"
#include "tools/ToolEngine.h"
#include "ui/MenuTable.h"
#include "ui/QtHost.h"

#include <QMainWindow>

#include <array>
#include <map>
#include <string>

class QActionGroup;
class QMouseEvent;
class QLabel;
class QScrollArea;
class QToolButton;

namespace daubix::ui {

class MyPaint;
class PatList;
class ColorListWidget;
class TGammaPanel;

// The main window: the working image in a scroll box, the menus and toolbar, the colour panel, the
// pattern and colour lists and the status bar.
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
    // Shows the window where the settings file puts it: maximised, or at the stored place.
    void showAtStoredPlacement();

protected:
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private slots:
    void goUndoClick();
    void ClearImageClick();
    void btnturnClick();
    void ToolButton14Click();

private:
    void buildMenus();
    void buildToolBar();
    void buildPanels();
    void buildStatusBar();
    QMenu* submenu(QMenu* root, const QString& path);
    void run(Command command, QAction* action);
    void chooseTool(const char* mode, const QString& caption, QAction* item);
    void imageChanged();
    void updateActions();
    void saveOnClose();
    void mypaintMouse(int step, QMouseEvent* event);
    // Shows the document's floating image above the image, at its place, and checks its menu item.
    void showFloating(gfx::Bitmap bitmap, gfx::Point position);
    void runRangeCommand(Command command);

    app::Document m_doc;
    QtHost m_host;
    effects::TketPaintFX FX{m_doc.random};
    tools::ToolEngine m_tools{m_doc, m_host};
    std::string m_folder;
    app::IniFile m_ini;

    QScrollArea* m_scrollBox = nullptr;
    MyPaint* m_paint = nullptr;
    TGammaPanel* m_gamma = nullptr;
    PatList* m_patList = nullptr;
    ColorListWidget* m_colorList = nullptr;
    std::array<QLabel*, 4> m_status{};
    QToolButton* m_setshape = nullptr;
    QToolButton* m_setbrushstyle = nullptr;
    QToolButton* m_setwidth = nullptr;
    QToolButton* m_selectcopy = nullptr;
    QLabel* m_floatImage = nullptr;
    std::map<Command, QAction*> m_commandActions;
    std::map<std::string, QMenu*> m_menus;
    bool m_shown = false;
};

} // namespace daubix::ui
