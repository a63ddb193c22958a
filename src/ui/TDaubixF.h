#pragma once

#include "app/Document.h"
#include "effects/TketPaintFX.h"
#include "ui/QtHost.h"

#include <QMainWindow>

#include <memory>

class QActionGroup;
class QScrollArea;

namespace daubix::ui {

class MyPaint;

// The main window: the working image in a scroll box, with the commands that exist so far.
class TDaubixF : public QMainWindow {
    Q_OBJECT
public:
    TDaubixF();
    ~TDaubixF() override;

    app::Document& document() { return m_doc; }
    MyPaint* paintView() { return m_paint; }

private slots:
    void goUndoClick();
    void ClearImageClick();
    void btnturnClick();
    void CopyImage1Click();
    void CopyRange1Click();
    void PasteImage1Click();
    void PasteStretch1Click();

protected:
    void showEvent(QShowEvent* event) override;

private:
    void buildMenus();
    void updateActions();

    app::Document m_doc;
    effects::TketPaintFX FX{m_doc.random};
    QtHost m_host;
    QScrollArea* m_scrollBox = nullptr;
    MyPaint* m_paint = nullptr;
    QActionGroup* m_pixelFormats = nullptr;
    bool m_shown = false;
};

} // namespace daubix::ui
