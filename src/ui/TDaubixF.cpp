#include "ui/TDaubixF.h"

#include "app/ColorList.h"
#include "app/ImageCommands.h"
#include "app/Options.h"
#include "app/Patterns.h"
#include "app/ProgramFolder.h"
#include "app/Range.h"
#include "app/WindowPlacement.h"
#include "io/BmpCodec.h"
#include "io/FileWriter.h"
#include "tools/Brushes.h"
#include "ui/Icons.h"
#include "ui/MyPaint.h"
#include "ui/SideLists.h"
#include "ui/TGammaPanel.h"

#include <QActionGroup>
#include <QApplication>
#include <QCloseEvent>
#include <QColorDialog>
#include <QHBoxLayout>
#include <QLabel>
#include <QMenuBar>
#include <QMessageBox>
#include <QScrollArea>
#include <QSpinBox>
#include <QStatusBar>
#include <QTextBrowser>
#include <QToolBar>
#include <QToolButton>
#include <QVBoxLayout>

namespace daubix::ui {

namespace {

gfx::Color toColor(const QColor& c)
{
    return gfx::rgb(c.red(), c.green(), c.blue());
}
QColor toQColor(gfx::Color c)
{
    return QColor(gfx::red(c), gfx::green(c), gfx::blue(c));
}

// An object name from a caption: letters and digits only, then "1", as the design names its items.
QString nameFor(const QString& caption)
{
    QString name;
    for (const QChar c : caption)
        if (c.isLetterOrNumber())
            name += c;
    return name + "1";
}

std::string fileText(const std::string& path)
{
    auto bytes = io::readFile(path, 1 << 20);
    if (!bytes)
        return {};
    return std::string(bytes.value().begin(), bytes.value().end());
}

} // namespace

TDaubixF::TDaubixF(std::string programFolder)
    : m_host(this)
    , m_folder(programFolder.empty() ? app::resolveProgramFolder(QCoreApplication::applicationDirPath().toStdString())
                                     : std::move(programFolder))
{
    setObjectName("TDaubixF");
    setWindowTitle("Kets Daubix 22i");
    m_ini = app::IniFile::parse(fileText(app::programFile(m_folder, "Daubix.ini")));
    // A missing or unreadable strip leaves the built-in patterns in place, without a word.
    if (auto strip = io::readBmpFile(app::programFile(m_folder, "patterns.bmp")); strip) {
        m_doc.patternStrip = std::move(strip.value());
        app::normalizePatternStrip(m_doc.patternStrip);
    }

    m_host.onRepaint = [this](const gfx::Rect& area) { m_paint->imageChanged(area); };
    m_host.onStatus = [this](int panel, const QString& text) {
        if (panel >= 0 && panel < 4)
            m_status[static_cast<std::size_t>(panel)]->setText(text);
    };
    m_host.imageToGlobal = [this](gfx::Point p) { return m_paint->mapToGlobal(QPoint(p.x, p.y)); };
    m_host.onTimerTick = [this] { m_tools.tick(); };

    buildPanels();
    buildStatusBar();
    buildMenus();
    buildToolBar();
    updateActions();
    resize(694, 492);
}

TDaubixF::~TDaubixF() = default;

QString TDaubixF::statusText(int panel) const
{
    return m_status[static_cast<std::size_t>(panel)]->text();
}

void TDaubixF::buildPanels()
{
    auto* central = new QWidget(this);
    auto* row = new QHBoxLayout(central);
    row->setContentsMargins(0, 0, 0, 0);
    row->setSpacing(0);

    m_scrollBox = new QScrollArea(central);
    m_scrollBox->setObjectName("ScrollBox1");
    m_scrollBox->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    m_paint = new MyPaint(m_doc.image);
    m_paint->onMouse
        = [this](MyPaint::MouseStep step, QMouseEvent* event) { mypaintMouse(static_cast<int>(step), event); };
    m_scrollBox->setWidget(m_paint);
    m_floatImage = new QLabel(m_paint);
    m_floatImage->setObjectName("FloatImage1");
    m_floatImage->hide();
    row->addWidget(m_scrollBox, 1);

    auto* panel1 = new QWidget(central);
    panel1->setObjectName("Panel1");
    panel1->setFixedWidth(69);
    auto* panelColumn = new QVBoxLayout(panel1);
    panelColumn->setContentsMargins(2, 2, 2, 2);
    m_gamma = new TGammaPanel(panel1);
    m_gamma->chooseColor = [this](const QColor& initial) {
        return QColorDialog::getColor(initial, this, {}, QColorDialog::DontUseNativeDialog);
    };
    m_gamma->OnChange = [this] {
        m_doc.firstColor = toColor(m_gamma->FirstColor());
        m_doc.secondColor = toColor(m_gamma->SecondColor());
        app::colorPanelChanged(m_doc);
    };
    panelColumn->addWidget(m_gamma);
    panelColumn->addStretch(1);
    row->addWidget(panel1);

    // The pattern list above the colour list, scrolled together.
    auto* patpanel = new QScrollArea(central);
    patpanel->setObjectName("patpanel");
    patpanel->setFixedWidth(44);
    patpanel->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    auto* lists = new QWidget;
    auto* listColumn = new QVBoxLayout(lists);
    listColumn->setContentsMargins(0, 0, 0, 0);
    listColumn->setSpacing(2);
    m_patList = new PatList(m_doc.patternStrip, lists);
    m_patList->onChoose = [this](int i) { app::choosePattern(m_doc, i); };
    m_patList->onUpdate = [this](int i) {
        app::updatePattern(m_doc, i);
        m_patList->stripChanged();
    };
    m_patList->onEdit = [this] {
        app::editPattern(m_doc);
        imageChanged();
    };
    m_colorList = new ColorListWidget(lists);
    m_colorList->setFixedHeight(m_colorList->count() * 16);
    m_colorList->onRelease = [this](int index, bool shift) {
        app::colorListRelease(m_doc, m_host, index, shift);
        m_gamma->showColors(toQColor(m_doc.firstColor), toQColor(m_doc.secondColor));
    };
    m_colorList->onHover = [this](const QString& name) { m_status[3]->setText(name); };
    listColumn->addWidget(m_patList);
    listColumn->addWidget(m_colorList);
    patpanel->setWidget(lists);
    patpanel->setWidgetResizable(true);
    row->addWidget(patpanel);
    setCentralWidget(central);
}

void TDaubixF::buildStatusBar()
{
    statusBar()->setObjectName("StatusBar1");
    const int widths[4] = {150, 100, 200, 200};
    for (int i = 0; i < 4; ++i) {
        m_status[static_cast<std::size_t>(i)] = new QLabel(this);
        m_status[static_cast<std::size_t>(i)]->setObjectName(QString("StatusPanel%1").arg(i));
        m_status[static_cast<std::size_t>(i)]->setFixedWidth(widths[i]);
        statusBar()->addWidget(m_status[static_cast<std::size_t>(i)]);
    }
    m_status[1]->setText("Pen=Copy");
}

QMenu* TDaubixF::submenu(QMenu* root, const QString& path)
{
    QMenu* menu = root;
    QString sofar;
    for (const QString& part : path.split('/')) {
        sofar += "/" + part;
        auto& known = m_menus[sofar.toStdString()];
        if (!known) {
            known = menu ? menu->addMenu(part) : menuBar()->addMenu(part);
            known->setObjectName(nameFor(part));
        }
        menu = known;
    }
    return menu;
}

void TDaubixF::buildMenus()
{
    auto* pixelFormats = new QActionGroup(this);
    auto* starPoints = new QActionGroup(this);
    auto* spiralSides = new QActionGroup(this);
    for (const MenuItemRow& item : mainMenuItems()) {
        QString path = QString::fromUtf8(item.path);
        // Top-level menus get their accelerators; the table names them plainly.
        const QString top = path.section('/', 0, 0);
        const QString rest = path.section('/', 1);
        const QString topCaption = "&" + top;
        QMenu* menu = submenu(nullptr, rest.isEmpty() ? topCaption : topCaption + "/" + rest);
        QAction* action = menu->addAction(QString::fromUtf8(item.caption));
        action->setObjectName(nameFor(QString::fromUtf8(item.caption)));
        if (*item.shortcut)
            action->setShortcut(QKeySequence(QString::fromUtf8(item.shortcut)));
        action->setCheckable(item.checkable);
        action->setEnabled(item.command != Command::None);
        if (item.command == Command::None)
            continue;
        const Command command = item.command;
        connect(action, &QAction::triggered, this, [this, command, action] { run(command, action); });
        if (command == Command::PixelFormat4 || command == Command::PixelFormat8 || command == Command::PixelFormat24)
            pixelFormats->addAction(action);
        if (command == Command::StarPoints)
            starPoints->addAction(action);
        if (command == Command::SpiralRight || command == Command::SpiralLeft)
            spiralSides->addAction(action);
        if (command != Command::StarPoints)
            m_commandActions[command] = action;
        else if (action->text() == "5")
            action->setChecked(true);
    }
}

void TDaubixF::buildToolBar()
{
    QToolBar* bar = addToolBar("ToolBar1");
    bar->setObjectName("ToolBar1");
    bar->setMovable(false);
    auto dropdown
        = [&](const char* name, const QString& hint, const char* icon, QToolButton::ToolButtonPopupMode mode) {
              auto* button = new QToolButton(bar);
              button->setObjectName(name);
              button->setToolTip(hint);
              button->setIcon(drawnIcon(icon));
              button->setPopupMode(mode);
              auto* menu = new QMenu(button);
              button->setMenu(menu);
              bar->addWidget(button);
              return button;
          };
    auto plain = [&](const char* name, const QString& hint, const char* icon, auto slot) {
        QAction* a = bar->addAction(drawnIcon(icon), hint, this, slot);
        a->setObjectName(name);
        a->setToolTip(hint);
        return a;
    };

    m_setshape = dropdown("setshape", "Shape", "line", QToolButton::InstantPopup);
    m_setshape->menu()->setObjectName("shapes");
    for (const ToolItemRow& tool : toolMenuItems()) {
        QMenu* menu = *tool.submenu ? nullptr : m_setshape->menu();
        if (*tool.submenu) {
            const std::string key = std::string("shapes/") + tool.submenu;
            QMenu*& known = m_menus[key];
            if (!known) {
                const QString path = QString::fromUtf8(tool.submenu);
                QMenu* parent = m_setshape->menu();
                if (path.contains('/')) {
                    QMenu*& outer = m_menus["shapes/" + path.section('/', 0, 0).toStdString()];
                    if (!outer)
                        outer = m_setshape->menu()->addMenu(path.section('/', 0, 0));
                    parent = outer;
                }
                known = parent->addMenu(path.section('/', -1));
            }
            menu = known;
        }
        QAction* item = menu->addAction(drawnIcon(tool.mode), QString::fromUtf8(tool.caption));
        item->setObjectName(nameFor(QString::fromUtf8(tool.caption)));
        item->setData(QString::fromUtf8(tool.mode));
        const char* mode = tool.mode;
        connect(item, &QAction::triggered, this, [this, mode, item] { chooseTool(mode, item->text(), item); });
    }
    // Not a tool: puts an enlargement made with Zoom In Keep back where it came from.
    QAction* zoomOut = m_setshape->menu()->addAction("Zoom Out");
    zoomOut->setObjectName("ZoomOut2");
    connect(zoomOut, &QAction::triggered, this, [this] { run(Command::ZoomOut, nullptr); });

    auto* sizeSpin = new QSpinBox(bar);
    sizeSpin->setObjectName("SizeSpin");
    sizeSpin->setEnabled(false); // the size spin arrives with the resampling transforms
    bar->addWidget(sizeSpin);
    plain("btnturn", "Turn the image a quarter clockwise", "turn", &TDaubixF::btnturnClick);

    QToolButton* effects = dropdown("seteffects", "Effects", "effects", QToolButton::InstantPopup);
    effects->menu()->setObjectName("effectspop");
    for (const char* caption : {"Lighter", "Darker", "More Contrast"})
        effects->menu()->addAction(caption)->setEnabled(false);

    m_setbrushstyle = dropdown("setbrushstyle", "Solid/Clear", "brush:Clear", QToolButton::InstantPopup);
    m_setbrushstyle->menu()->setObjectName("brushstyle");
    for (const app::BrushStyleItem& item : app::brushStyleItems()) {
        const std::string icon = "brush:" + std::string(item.caption);
        QAction* a = m_setbrushstyle->menu()->addAction(
            drawnIcon(icon), QString::fromUtf8(item.caption.data(), static_cast<qsizetype>(item.caption.size())));
        const gfx::BrushStyle style = item.style;
        connect(a, &QAction::triggered, this, [this, style, a] {
            m_doc.canvas.brush.setStyle(style);
            m_setbrushstyle->setIcon(a->icon());
        });
    }

    m_setwidth = dropdown("setwidth", "Line Width", "width:1", QToolButton::InstantPopup);
    m_setwidth->menu()->setObjectName("linewidth");
    for (const int width : app::lineWidths()) {
        const QString caption = width == 1 ? "1 pixel" : QString("%1 pixels").arg(width);
        QAction* a = m_setwidth->menu()->addAction(drawnIcon("width:" + std::to_string(width)), caption);
        connect(a, &QAction::triggered, this, [this, width, a] {
            m_doc.canvas.pen.width = width;
            m_setwidth->setIcon(a->icon());
        });
    }
    connect(m_setwidth->menu()->addAction("Other Size..."), &QAction::triggered, this,
        [this] { app::askLineWidth(m_doc, m_host); });
    m_setwidth->menu()->addSeparator();
    for (const app::PenStyleItem& item : app::penStyleItems()) {
        const gfx::PenStyle style = item.style;
        connect(m_setwidth->menu()->addAction(
                    QString::fromUtf8(item.caption.data(), static_cast<qsizetype>(item.caption.size()))),
            &QAction::triggered, this, [this, style] { m_doc.canvas.pen.style = style; });
    }

    QToolButton* penModes = dropdown("setpenmode", "Set Pen Mode", "penmode", QToolButton::InstantPopup);
    penModes->setText("Copy");
    penModes->menu()->setObjectName("penmodes");
    for (const app::PenModeItem& item : app::penModeItems()) {
        QAction* a = penModes->menu()->addAction(
            QString::fromUtf8(item.caption.data(), static_cast<qsizetype>(item.caption.size())));
        a->setObjectName("penmode" + nameFor(a->text()));
        const app::PenModeItem* chosen = &item;
        connect(a, &QAction::triggered, this, [this, chosen] { app::choosePenMode(m_doc, m_host, *chosen); });
    }

    QAction* snapshot = plain("ToolButton2", "Select Range", "snapshot", [] {});
    connect(snapshot, &QAction::triggered, this, [this] { chooseTool("snapshot", "Select Range", nullptr); });

    m_selectcopy = dropdown("selectcopy", "Copy Selection", "paste", QToolButton::MenuButtonPopup);
    m_selectcopy->menu()->setObjectName("copymodes");
    connect(m_selectcopy, &QToolButton::clicked, this, [this] { m_doc.toolMode = m_doc.pasteKind; });
    const std::pair<const char*, const char*> pastes[] = {{"Paste", "paste"}, {"Paste Mask", "pastemask"},
        {"Paste Brush", "pastecolor"}, {"Paste Exclude Brush", "pastecolorx"}};
    for (const auto& [caption, kind] : pastes) {
        QAction* a = m_selectcopy->menu()->addAction(drawnIcon(kind), caption);
        const std::string value = kind;
        connect(a, &QAction::triggered, this, [this, value, a] {
            if (value == "paste" || value == "pastemask")
                m_doc.pasteKind = value;
            else
                m_doc.toolMode = value; // the brush pastes start at once; the paste kind stays
            m_selectcopy->setIcon(a->icon());
        });
    }
    m_selectcopy->menu()->addSeparator();
    const std::pair<const char*, gfx::Rop3> copyModes[]
        = {{"Copy", gfx::kSrcCopy}, {"Black", gfx::kBlackness}, {"Destination Invert", gfx::kDstInvert},
            {"Merge Copy", gfx::kMergeCopy}, {"Merge Paint", gfx::kMergePaint}, {"Not Source Copy", gfx::kNotSrcCopy},
            {"Not Source Erase", gfx::kNotSrcErase}, {"Source And", gfx::kSrcAnd}, {"Source Erase", gfx::kSrcErase},
            {"Source Invert", gfx::kSrcInvert}, {"Source Paint", gfx::kSrcPaint}, {"White", gfx::kWhiteness}};
    for (const auto& [caption, rop] : copyModes) {
        const gfx::Rop3 mode = rop;
        connect(m_selectcopy->menu()->addAction(caption), &QAction::triggered, this,
            [this, mode] { m_doc.canvas.copyMode = mode; });
    }

    QAction* pick = plain("ToolButton5", "Pick Brush", "paintpick", [] {});
    connect(pick, &QAction::triggered, this, [this] { chooseTool("paintpick", "Pick Brush", nullptr); });
    QAction* flood = plain("ToolButton4", "Floodfill", "floodfill", [] {});
    connect(flood, &QAction::triggered, this, [this] { chooseTool("floodfill", "Floodfill", nullptr); });

    QToolButton* fillRange = dropdown("ToolButton14", "FloodFill Range ", "fillrange", QToolButton::MenuButtonPopup);
    fillRange->menu()->setObjectName("clipspop");
    connect(fillRange->menu()->addAction("Mask Clip"), &QAction::triggered, this, [this] {
        app::pushImage(m_doc);
        app::maskClip(m_doc);
        imageChanged();
    });
    connect(fillRange, &QToolButton::clicked, this, &TDaubixF::ToolButton14Click);

    plain("ToolButton12", "Clear Image", "clear", &TDaubixF::ClearImageClick);
    plain("goUndo", "Undo", "undo", &TDaubixF::goUndoClick);
}

void TDaubixF::chooseTool(const char* mode, const QString& caption, QAction* item)
{
    m_doc.toolMode = mode;
    if (item) {
        // shapeset: the button shows the chosen item's icon and takes its caption as hint.
        m_setshape->setIcon(item->icon());
        m_setshape->setToolTip(caption);
    }
}

void TDaubixF::run(Command command, QAction* action)
{
    switch (command) {
    case Command::None:
        return;
    case Command::Exit:
        close();
        return;
    case Command::CopyImage:
        app::copyImage(m_doc, m_host);
        return;
    case Command::CopyRange:
        app::copyRange(m_doc, m_host);
        return;
    case Command::PasteImage:
        app::pasteImage(m_doc, m_host);
        imageChanged();
        return;
    case Command::PasteStretch:
        app::pasteStretch(m_doc, m_host);
        imageChanged();
        return;
    case Command::Blocks:
        app::askBlocks(m_doc, m_host);
        return;
    case Command::BlockPen:
        app::blockPen(m_doc);
        return;
    case Command::LineTolerance:
        app::askLineTolerance(m_doc, m_host);
        return;
    case Command::Polygon:
        app::togglePolygon(m_doc);
        break;
    case Command::Rounding:
        app::askRounding(m_doc, m_host);
        return;
    case Command::Shapes:
        app::askShapes(m_doc, m_host);
        return;
    case Command::SpiralRight:
    case Command::SpiralLeft:
        app::setSpiralDirection(m_doc, command == Command::SpiralRight ? 1 : -1);
        break;
    case Command::Spirals1:
    case Command::Spirals2:
    case Command::Spirals3:
        app::setSpiralCount(m_doc, 1 + static_cast<int>(command) - static_cast<int>(Command::Spirals1));
        return;
    case Command::SpiralsOther:
        app::askSpirals(m_doc, m_host);
        return;
    case Command::Factor99:
        app::setSpiralFactor(m_doc, 0.99);
        return;
    case Command::Factor97:
        app::setSpiralFactor(m_doc, 0.97);
        return;
    case Command::Factor95:
        app::setSpiralFactor(m_doc, 0.95);
        return;
    case Command::FactorOther:
        app::askSpiralFactor(m_doc, m_host);
        return;
    case Command::StarPoints:
        app::setStarPoints(m_doc, action->text().toInt());
        return;
    case Command::SpiroTurns:
        app::askSpiroTurns(m_doc, m_host);
        return;
    case Command::GifTransparent:
    case Command::IconStretch:
    case Command::TransparentPng:
        return; // the check mark is the flag until the file formats read it
    case Command::PixelFormat4:
    case Command::PixelFormat8:
    case Command::PixelFormat24: {
        const gfx::PixelFormat format = command == Command::PixelFormat4 ? gfx::PixelFormat::Bits4
            : command == Command::PixelFormat8                           ? gfx::PixelFormat::Bits8
                                                                         : gfx::PixelFormat::Bits24;
        app::setPixelFormat(m_doc, m_host, format);
        imageChanged();
        break;
    }
    case Command::PasteFloating:
    case Command::FloatFull:
    case Command::FloatTight:
    case Command::FloatTight24:
    case Command::SelectAll:
    case Command::RangeMove:
    case Command::RangeSmear:
    case Command::RangeErase:
    case Command::RangeInvert:
    case Command::TransparencyColor:
    case Command::TransCopy:
        runRangeCommand(command);
        return;
    case Command::FloatImageShown:
        m_doc.floating.shown = action->isChecked();
        m_floatImage->setVisible(m_doc.floating.shown);
        return;
    case Command::ZoomOut:
        app::pushImage(m_doc);
        tools::zoomOut(m_doc);
        imageChanged();
        return;
    case Command::ZoomIn:
        m_doc.canvas.pen.width = 50;
        m_doc.toolMode = "zoomkeepbrush";
        return;
    case Command::HelpContents: {
        auto* help = findChild<QTextBrowser*>("DaubixHelp");
        if (!help) {
            help = new QTextBrowser(this);
            help->setObjectName("DaubixHelp");
            help->setWindowFlag(Qt::Window);
            help->setWindowTitle("Daubix Help");
            help->resize(560, 480);
        }
        const QString page = QString::fromStdString(app::programFile(m_folder, "Daubix.html"));
        help->setSource(QUrl::fromLocalFile(page));
        help->scrollToAnchor("Daubix");
        help->show();
        help->raise();
        return;
    }
    case Command::About:
        QMessageBox::about(this, "Daubix 22i",
            "Kets Daubix 22i\nA raster paint program\n\nFree software under the GNU GPL, version 3 or later.");
        return;
    }
    updateActions();
}

void TDaubixF::updateActions()
{
    auto check = [this](Command c, bool on) {
        if (const auto it = m_commandActions.find(c); it != m_commandActions.end())
            it->second->setChecked(on);
    };
    check(Command::Polygon, m_doc.shapes.polygonOnly);
    check(Command::SpiralRight, m_doc.shapes.spiralDirection > 0);
    check(Command::SpiralLeft, m_doc.shapes.spiralDirection < 0);
    check(Command::PixelFormat4, m_doc.pixelFormatChoice == gfx::PixelFormat::Bits4);
    check(Command::PixelFormat8, m_doc.pixelFormatChoice == gfx::PixelFormat::Bits8);
    check(Command::PixelFormat24, m_doc.pixelFormatChoice == gfx::PixelFormat::Bits24);
}

void TDaubixF::imageChanged()
{
    m_doc.modified = true;
    m_paint->imageChanged({0, 0, m_doc.image.width(), m_doc.image.height()});
}

void TDaubixF::showAtStoredPlacement()
{
    const app::Placement p = app::readMainPlacement(m_ini);
    if (p.maximized) {
        showMaximized();
        return;
    }
    setGeometry(p.left, p.top, p.width, p.height);
    show();
}

void TDaubixF::showEvent(QShowEvent* event)
{
    QMainWindow::showEvent(event);
    if (!m_shown) {
        m_shown = true;
        app::pushImage(m_doc);
    }
}

void TDaubixF::closeEvent(QCloseEvent* event)
{
    if (m_doc.modified) {
        // Saving arrives with the file formats; until then the question offers only No and Cancel.
        const auto answer = QMessageBox::question(
            this, "Daubix", "Save changes to the image?", QMessageBox::No | QMessageBox::Cancel, QMessageBox::Cancel);
        if (answer != QMessageBox::No) {
            event->ignore();
            return;
        }
    }
    saveOnClose();
    event->accept();
}

void TDaubixF::saveOnClose()
{
    (void)io::writeBmpFile(app::programFile(m_folder, "patterns.bmp"), m_doc.patternStrip);
    const QRect g = normalGeometry();
    app::writeMainPlacement(m_ini, {isMaximized(), g.x(), g.y(), g.width(), g.height()}, isMinimized());
    const std::string text = m_ini.text();
    (void)io::writeFileAtomically(app::programFile(m_folder, "Daubix.ini"),
        std::span(reinterpret_cast<const std::uint8_t*>(text.data()), text.size()));
}

void TDaubixF::mypaintMouse(int step, QMouseEvent* event)
{
    tools::PointerEvent e;
    const QPoint at = event->position().toPoint();
    e.point = {at.x(), at.y()};
    const Qt::MouseButton button = event->button();
    e.button = button == Qt::LeftButton ? tools::Button::Left
        : button == Qt::RightButton     ? tools::Button::Right
        : button == Qt::MiddleButton    ? tools::Button::Middle
                                        : tools::Button::None;
    e.shift = event->modifiers() & Qt::ShiftModifier;
    e.ctrl = event->modifiers() & Qt::ControlModifier;
    e.alt = event->modifiers() & Qt::AltModifier;
    switch (static_cast<MyPaint::MouseStep>(step)) {
    case MyPaint::MouseStep::Press:
        m_tools.press(e);
        break;
    case MyPaint::MouseStep::Move:
        m_tools.move(e);
        break;
    case MyPaint::MouseStep::Release: {
        const std::string before = m_doc.toolMode;
        m_tools.release(e);
        // The pick tool sets the brush colour; the panel follows.
        m_gamma->showColors(toQColor(m_doc.firstColor), toQColor(m_doc.secondColor));
        // Zoom In Keep hands over to the freehand tool: the shape button shows it as if chosen.
        if (m_doc.toolMode != before && !m_doc.toolMode.empty())
            for (QAction* item : m_setshape->menu()->findChildren<QAction*>())
                if (item->data().toString().toStdString() == m_doc.toolMode) {
                    m_setshape->setIcon(item->icon());
                    m_setshape->setToolTip(item->text());
                    break;
                }
        break;
    }
    }
}

void TDaubixF::showFloating(gfx::Bitmap bitmap, gfx::Point position)
{
    m_doc.floating = {std::move(bitmap), position, true};
    m_floatImage->setPixmap(QPixmap::fromImage(toQImage(m_doc.floating.bitmap)));
    m_floatImage->adjustSize();
    m_floatImage->move(position.x, position.y);
    m_floatImage->show();
    m_floatImage->raise();
    if (QAction* item = m_commandActions[Command::FloatImageShown])
        item->setChecked(true);
}

void TDaubixF::runRangeCommand(Command command)
{
    const auto floatAs = [this](app::FloatKind kind) {
        gfx::Bitmap floating = app::floatCommand(m_doc, m_host, kind);
        showFloating(std::move(floating), {m_doc.range.left, m_doc.range.top});
    };
    switch (command) {
    case Command::PasteFloating:
        if (auto pasted = m_host.clipboardBitmap()) {
            pasted->convertTo(gfx::PixelFormat::Bits24);
            showFloating(std::move(*pasted), {5, 5});
        }
        return;
    case Command::FloatFull:
        return floatAs(app::FloatKind::Full);
    case Command::FloatTight:
        return floatAs(app::FloatKind::Tight);
    case Command::FloatTight24:
        return floatAs(app::FloatKind::Tight24);
    case Command::SelectAll:
        app::selectAll(m_doc);
        return;
    case Command::RangeMove:
        m_doc.toolMode = "rangemove";
        return;
    case Command::RangeSmear:
        m_doc.toolMode = "rangesmear";
        return;
    case Command::RangeErase:
    case Command::RangeInvert:
        app::pushImage(m_doc);
        command == Command::RangeErase ? app::eraseRange(m_doc) : app::invertRange(m_doc);
        imageChanged();
        return;
    case Command::TransparencyColor:
        if (const auto chosen = m_host.chooseColor(m_doc.transparencyColor))
            m_doc.transparencyColor = *chosen;
        return;
    case Command::TransCopy:
        m_doc.toolMode = "transcopy";
        return;
    default:
        return;
    }
}

void TDaubixF::goUndoClick()
{
    app::undoImage(m_doc, m_host);
}

void TDaubixF::ClearImageClick()
{
    app::clearImage(m_doc, m_host);
    m_setbrushstyle->setIcon(drawnIcon("brush:Clear"));
    m_gamma->showColors(toQColor(m_doc.firstColor), toQColor(m_doc.secondColor));
    imageChanged();
}

void TDaubixF::btnturnClick()
{
    gfx::Bitmap turned;
    FX.RotateQuarter(m_doc.image, turned);
    m_doc.image = std::move(turned);
    imageChanged();
}

void TDaubixF::ToolButton14Click()
{
    app::pushImage(m_doc);
    app::fillRange(m_doc);
    imageChanged();
}

} // namespace daubix::ui
