#include "ui/TDaubixF.h"

#include "app/ImageCommands.h"
#include "ui/MyPaint.h"

#include <QActionGroup>
#include <QMenuBar>
#include <QScrollArea>
#include <QStatusBar>
#include <QToolBar>

namespace daubix::ui {

TDaubixF::TDaubixF()
    : m_host(this)
{
    setObjectName("TDaubixF");
    setWindowTitle("Kets Daubix 22i");

    m_scrollBox = new QScrollArea(this);
    m_scrollBox->setObjectName("ScrollBox1");
    m_scrollBox->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    m_paint = new MyPaint(m_doc.image);
    m_scrollBox->setWidget(m_paint);
    setCentralWidget(m_scrollBox);

    m_host.onRepaint = [this](const gfx::Rect& area) { m_paint->imageChanged(area); };
    m_host.onStatus = [this](int, const QString& text) { statusBar()->showMessage(text); };
    m_host.imageToGlobal = [this](gfx::Point p) { return m_paint->mapToGlobal(QPoint(p.x, p.y)); };

    buildMenus();
    resize(640, 480);
}

TDaubixF::~TDaubixF() = default;

void TDaubixF::buildMenus()
{
    struct Command {
        const char* caption;
        const char* name;
        QKeySequence shortcut;
        void (TDaubixF::*slot)();
    };
    const Command edit[] = {
        {"&Copy Image", "CopyImage1", {}, &TDaubixF::CopyImage1Click},
        {"Copy &Range", "CopyRange1", {}, &TDaubixF::CopyRange1Click},
        {"&Paste Image", "PasteImage1", {}, &TDaubixF::PasteImage1Click},
        {"Paste &Stretch from Clipboard", "PasteStretch1", {}, &TDaubixF::PasteStretch1Click},
    };
    QMenu* editMenu = menuBar()->addMenu("&Edit");
    for (const Command& c : edit) {
        QAction* a = editMenu->addAction(c.caption, this, c.slot);
        a->setObjectName(c.name);
        a->setShortcut(c.shortcut);
    }

    QMenu* imageMenu = menuBar()->addMenu("&Image");
    QMenu* formatMenu = imageMenu->addMenu("Pixel &Format");
    m_pixelFormats = new QActionGroup(this);
    const std::pair<const char*, gfx::PixelFormat> formats[] = {{"&4 bit", gfx::PixelFormat::Bits4},
        {"&8 bit", gfx::PixelFormat::Bits8}, {"&24 bit", gfx::PixelFormat::Bits24}};
    for (const auto& [caption, format] : formats) {
        QAction* a = formatMenu->addAction(caption);
        a->setCheckable(true);
        m_pixelFormats->addAction(a);
        connect(a, &QAction::triggered, this, [this, format] {
            app::setPixelFormat(m_doc, m_host, format);
            updateActions();
        });
        a->setData(static_cast<int>(format));
    }

    QToolBar* toolBar = addToolBar("ToolBar1");
    toolBar->setObjectName("ToolBar1");
    QAction* undo = toolBar->addAction("Undo", this, &TDaubixF::goUndoClick);
    undo->setObjectName("goUndo");
    undo->setToolTip("Undo");
    QAction* turn = toolBar->addAction("Turn", this, &TDaubixF::btnturnClick);
    turn->setObjectName("btnturn");
    turn->setToolTip("Turn the image a quarter clockwise");
    QAction* clear = toolBar->addAction("Clear", this, &TDaubixF::ClearImageClick);
    clear->setObjectName("ClearImage");
    clear->setToolTip("Clear Image");
    updateActions();
}

void TDaubixF::updateActions()
{
    for (QAction* a : m_pixelFormats->actions())
        a->setChecked(a->data().toInt() == static_cast<int>(m_doc.pixelFormatChoice));
}

void TDaubixF::showEvent(QShowEvent* event)
{
    QMainWindow::showEvent(event);
    if (!m_shown) {
        m_shown = true;
        app::pushImage(m_doc);
    }
}

void TDaubixF::goUndoClick()
{
    app::undoImage(m_doc, m_host);
}
void TDaubixF::ClearImageClick()
{
    app::clearImage(m_doc, m_host);
}
void TDaubixF::CopyImage1Click()
{
    app::copyImage(m_doc, m_host);
}
void TDaubixF::CopyRange1Click()
{
    app::copyRange(m_doc, m_host);
}
void TDaubixF::PasteImage1Click()
{
    app::pasteImage(m_doc, m_host);
}
void TDaubixF::PasteStretch1Click()
{
    app::pasteStretch(m_doc, m_host);
}

void TDaubixF::btnturnClick()
{
    gfx::Bitmap turned;
    FX.RotateQuarter(m_doc.image, turned);
    m_doc.image = std::move(turned);
    m_host.repaint({0, 0, m_doc.image.width(), m_doc.image.height()});
}

} // namespace daubix::ui
