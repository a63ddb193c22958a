#include "ui/TDaubixF.h"

#include "app/ColorList.h"
#include "app/Command.h"
#include "app/ImageCommands.h"
#include "app/Patterns.h"
#include "app/ProgramFolder.h"
#include "app/WindowPlacement.h"
#include "commands/CommandTable.h"
#include "commands/ScriptCommands.h"
#include "generators/QuickBackdrops.h"
#include "io/BmpCodec.h"
#include "io/FileCommands.h"
#include "io/FileWriter.h"
#include "tools/ToolMenu.h"
#include "ui/Icons.h"
#include "ui/MyPaint.h"
#include "ui/SideLists.h"
#include "ui/TDaubixEffectsF.h"
#include "ui/TDaubixFLF.h"
#include "ui/TDaubixQBF.h"
#include "ui/TDaubixScriptF.h"
#include "ui/TGammaPanel.h"
#include "ui/ToolPlacement.h"
#include "ui/TJpegPreviewF.h"
#include "ui/TPaintPreviewF.h"
#include "ui/TQuickPreviewF.h"
#include "ui/TTextureF.h"
#include "ui/WindowParts.h"

#include <QAbstractSpinBox>
#include <QActionGroup>
#include <QApplication>
#include <QCloseEvent>
#include <QColorDialog>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QMessageBox>
#include <QProgressDialog>
#include <QScrollArea>
#include <QStatusBar>
#include <QTextBrowser>
#include <QToolBar>
#include <QToolButton>
#include <QVBoxLayout>
#include <QWheelEvent>

#include <filesystem>

namespace daubix::ui {

// Swallows the user's clicks, keys and wheel turns while a script runs, except those for the busy box.
class TDaubixF::InputDuringRun : public QObject {
public:
    using QObject::QObject;
    QWidget* allowed = nullptr;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        switch (event->type()) {
        case QEvent::MouseButtonPress:
        case QEvent::MouseButtonRelease:
        case QEvent::MouseButtonDblClick:
        case QEvent::KeyPress:
        case QEvent::KeyRelease:
        case QEvent::Wheel:
        case QEvent::ShortcutOverride: {
            // Windows pass their input on to their widgets, which are judged here.
            auto* widget = qobject_cast<QWidget*>(watched);
            return widget && !(allowed && (widget == allowed || allowed->isAncestorOf(widget)));
        }
        default:
            return false;
        }
    }
};

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

std::vector<std::string_view> captions(std::string_view path)
{
    std::vector<std::string_view> parts;
    while (true) {
        const auto cut = path.find(" > ");
        parts.push_back(path.substr(0, cut));
        if (cut == std::string_view::npos)
            return parts;
        path.remove_prefix(cut + 3);
    }
}

bool isMenuBarItem(std::string_view top)
{
    for (const std::string_view menu : {"File", "Edit", "Options", "Image", "Range", "Script", "Gadgets", "Help"})
        if (top == menu)
            return true;
    return false;
}

// The toolbar, in order. Dropdowns open the popup of the same rows as the command line's
// "POPUP > ITEM"; split buttons also run their own row when clicked.
enum class ButtonKind : std::uint8_t { Plain, Dropdown, Split, Spin };
struct ToolbarButton {
    const char* name;
    const char* hint;
    const char* icon;
    ButtonKind kind;
};
constexpr ToolbarButton kToolbar[] = {
    {"setshape", "Shape", "line", ButtonKind::Dropdown},
    {"SizeSpin", "", "", ButtonKind::Spin},
    {"btnturn", "Turn the image a quarter clockwise", "turn", ButtonKind::Plain},
    {"seteffects", "Effects", "effects", ButtonKind::Dropdown},
    {"setbrushstyle", "Solid/Clear", "brush:Clear", ButtonKind::Dropdown},
    {"setwidth", "Line Width", "width:1", ButtonKind::Dropdown},
    {"setpenmode", "Set Pen Mode", "penmode", ButtonKind::Dropdown},
    {"ToolButton2", "Select Range", "snapshot", ButtonKind::Plain},
    {"selectcopy", "Copy Selection", "paste", ButtonKind::Split},
    {"ToolButton5", "Pick Brush", "paintpick", ButtonKind::Plain},
    {"ToolButton4", "Floodfill", "floodfill", ButtonKind::Plain},
    {"ToolButton14", "FloodFill Range ", "fillrange", ButtonKind::Split},
    {"ToolButton12", "Clear Image", "clear", ButtonKind::Plain},
    {"goUndo", "Undo", "undo", ButtonKind::Plain},
};

// The size spin: only its arrows, each running its row.
class SizeSpin : public QAbstractSpinBox {
public:
    SizeSpin(QWidget* parent, std::function<void(int)> stepped)
        : QAbstractSpinBox(parent)
        , m_stepped(std::move(stepped))
    {
        setButtonSymbols(QAbstractSpinBox::UpDownArrows);
        setFixedWidth(18);
        lineEdit()->setReadOnly(true);
    }
    void stepBy(int steps) override { m_stepped(steps); }

protected:
    // Every step resamples the whole image: only the arrows take it, not the wheel or the keys.
    void wheelEvent(QWheelEvent* event) override { event->ignore(); }
    void keyPressEvent(QKeyEvent* event) override { event->ignore(); }
    StepEnabled stepEnabled() const override { return StepUpEnabled | StepDownEnabled; }

private:
    std::function<void(int)> m_stepped;
};

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
    m_host.onTimerTick = [this] {
        if (!commands::scriptRunning(m_doc))
            m_tools.tick();
    };
    m_host.onRepaintNow = [this] { m_paint->repaint(); };
    // A long run keeps the window painted; after half a second "Running script" offers to stop it.
    m_host.onScriptProgress = [this](double seconds) {
        if (!m_inputDuringRun) {
            // Clicks and keys during a run are dropped, not kept for afterwards; the busy box's Stop
            // gets through once it shows.
            m_inputDuringRun = new InputDuringRun(this);
            qApp->installEventFilter(m_inputDuringRun);
        }
        if (seconds >= 0.5 && !m_scriptProgress) {
            m_scriptProgress = new QProgressDialog("Running script", "Stop", 0, 0, this);
            m_scriptProgress->setObjectName("ScriptProgress");
            m_scriptProgress->setWindowModality(Qt::ApplicationModal);
            m_scriptProgress->setMinimumDuration(0);
            m_scriptProgress->show();
        }
        m_inputDuringRun->allowed = m_scriptProgress;
        QApplication::processEvents();
        return m_scriptProgress && m_scriptProgress->wasCanceled();
    };
    m_host.onScriptRunEnded = [this] {
        delete std::exchange(m_scriptProgress, nullptr);
        delete std::exchange(m_inputDuringRun, nullptr);
    };

    buildPanels();
    buildStatusBar();
    buildToolBar();
    buildMenus();
    updateActions();
    resize(694, 492);
    m_quickPreview = new TQuickPreviewF(m_doc, m_host, this);
    m_filters = new TDaubixFLF(m_doc, m_quickPreview, app::programFile(m_folder, "DaubixFL.txt"), this);
    m_effects = new TDaubixEffectsF(m_doc, m_quickPreview, this);
    m_backdrops = new TDaubixQBF(m_doc, m_quickPreview, app::programFile(m_folder, generators::kBackdropPresetFile), this);
    m_texture = new TTextureF(m_doc, this);
    m_script = new TDaubixScriptF(m_doc, m_host, m_folder, m_ini, this);
    m_host.editor = m_script;
    // F9 and Shift+F9 work from the editor too, whichever window is active.
    for (const auto& [row, a] : m_actions)
        if (std::string_view(row->path).starts_with("Script >"))
            m_script->addAction(a);
    connect(m_script, &TDaubixScriptF::helpRequested, this, [this](const QString& anchor) { showHelp(anchor); });
    commands::scriptSession(m_doc).onPreview = [this](gfx::Bitmap picture) {
        m_quickPreview->showPicture(std::move(picture));
    };
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
    m_scrollBox->viewport()->installEventFilter(this); // Ctrl or Shift drags beside the image resize it
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
    m_patList->popup = new QMenu(m_patList);
    m_patList->popup->setObjectName("patpopup");
    m_menus["patpopup"] = m_patList->popup;
    m_colorList = new ColorListWidget(lists);
    m_colorList->setFixedHeight(m_colorList->count() * 16);
    m_colorList->onRelease = [this](int index, bool shift) {
        app::colorListRelease(m_doc, m_host, index, shift);
        updateActions();
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

void TDaubixF::buildToolBar()
{
    QToolBar* bar = addToolBar("ToolBar1");
    bar->setObjectName("ToolBar1");
    bar->setMovable(false);
    for (const ToolbarButton& b : kToolbar) {
        const app::CommandRow* row = commands::findCommand(b.name);
        if (b.kind == ButtonKind::Spin) {
            const app::CommandRow* up = commands::findCommand("SizeSpin > Up");
            const app::CommandRow* down = commands::findCommand("SizeSpin > Down");
            auto* spin = new SizeSpin(bar, [this, up, down](int steps) { runRow(*(steps > 0 ? up : down)); });
            spin->setObjectName(b.name);
            bar->addWidget(spin);
            continue;
        }
        if (b.kind == ButtonKind::Plain) {
            QAction* a = bar->addAction(drawnIcon(b.icon), b.hint);
            a->setObjectName(b.name);
            a->setEnabled(row && row->run);
            if (row) {
                connect(a, &QAction::triggered, this, [this, row] { runRow(*row); });
                m_actions.emplace_back(row, a);
            }
            continue;
        }
        auto* button = new QToolButton(bar);
        button->setObjectName(b.name);
        button->setToolTip(b.hint);
        button->setIcon(drawnIcon(b.icon));
        button->setPopupMode(b.kind == ButtonKind::Split ? QToolButton::MenuButtonPopup : QToolButton::InstantPopup);
        const std::string popup(commands::popupOf(b.name));
        auto* menu = new QMenu(button);
        menu->setObjectName(QString::fromStdString(popup));
        button->setMenu(menu);
        m_menus[popup] = menu;
        m_dropdowns[popup] = button;
        if (b.kind == ButtonKind::Split && row)
            connect(button, &QToolButton::clicked, this, [this, row] { runRow(*row); });
        bar->addWidget(button);
    }
    m_dropdowns["penmodes"]->setText("Copy"); // it keeps its caption whatever mode is chosen
}

QMenu* TDaubixF::menuFor(const std::vector<std::string_view>& parents)
{
    std::string key;
    for (const std::string_view part : parents)
        key += (key.empty() ? "" : " > ") + std::string(part);
    if (const auto it = m_menus.find(key); it != m_menus.end())
        return it->second;
    QMenu* menu = nullptr;
    if (parents.size() == 1) {
        // A top-level menu gets its accelerator; the table names it plainly.
        menu = menuBar()->addMenu("&" + qstring(parents[0]));
    } else {
        QMenu* parent = menuFor({parents.begin(), parents.end() - 1});
        menu = parent->addMenu(qstring(parents.back()));
    }
    menu->setObjectName(nameFor(qstring(parents.back())));
    m_menus[key] = menu;
    return menu;
}

QAction* TDaubixF::addRow(QMenu* menu, const app::CommandRow& row)
{
    if (row.separatorBefore)
        menu->addSeparator();
    QAction* a = menu->addAction(qstring(app::caption(row)));
    a->setObjectName(nameFor(a->text()));
    if (!row.icon.empty())
        a->setIcon(drawnIcon(row.icon));
    if (!row.shortcut.empty())
        a->setShortcut(QKeySequence(qstring(row.shortcut)));
    a->setCheckable(row.kind == app::ItemKind::Check || row.kind == app::ItemKind::Radio);
    if (row.kind == app::ItemKind::Radio) {
        auto* group = menu->findChild<QActionGroup*>(QString(), Qt::FindDirectChildrenOnly);
        if (!group)
            group = new QActionGroup(menu);
        group->addAction(a);
    }
    a->setEnabled(row.kind == app::ItemKind::Window ? openWindow(row.text, true)
                                                    : row.run != nullptr && (!row.available || row.available(m_host)));
    const app::CommandRow* r = &row;
    connect(a, &QAction::triggered, this, [this, r] { runRow(*r); });
    m_actions.emplace_back(&row, a);
    return a;
}

void TDaubixF::buildMenus()
{
    for (const app::CommandRow& row : commands::commandTable()) {
        std::vector<std::string_view> parts = captions(row.path);
        if (parts.size() < 2)
            continue; // a toolbar button
        parts.pop_back();
        if (!isMenuBarItem(parts.front()) && !m_menus.contains(parts.front()))
            continue; // the items of a control that is not a popup menu (the size spin)
        addRow(menuFor(parts), row);
    }
}

QAction* TDaubixF::action(std::string_view path) const
{
    const app::CommandRow* row = commands::findCommand(path);
    for (const auto& [r, a] : m_actions)
        if (r == row)
            return a;
    return nullptr;
}

void TDaubixF::runRow(const app::CommandRow& row)
{
    if (commands::scriptRunning(m_doc))
        return; // the events a running script lets through start nothing
    if (row.kind == app::ItemKind::Window) {
        openWindow(row.text, false);
        return;
    }
    app::CommandContext ctx{m_doc, m_host};
    app::runCommand(ctx, row);
    if (row.path.starts_with("Script >")) {
        m_script->showLibrary();
        m_filters->refresh();
    }
    if (!row.icon.empty())
        if (const auto it = m_dropdowns.find(captions(row.path).front()); it != m_dropdowns.end())
            it->second->setIcon(drawnIcon(row.icon));
    imageChanged();
    updateActions();
}

// The windows that window rows open; check asks only whether the window exists.
bool TDaubixF::openWindow(std::string_view name, bool check)
{
    if (name == "DaubixHelp") {
        if (!check)
            showHelp();
        return true;
    }
    if (name == "TPaintPreviewF") {
        if (!check) {
            auto* preview = findChild<TPaintPreviewF*>();
            if (!preview)
                preview = new TPaintPreviewF(m_doc, this);
            preview->Print1Click();
        }
        return true;
    }
    if (name == "Exit") {
        if (!check)
            close();
        return true;
    }
    if (name == "TDaubixFLF") {
        if (!check) {
            placeBesideOnce(m_filters, this, Beside::Right);
            m_filters->showWindow();
        }
        return true;
    }
    if (name == "TDaubixEffectsF") {
        if (!check) {
            placeBesideOnce(m_effects, this, Beside::Right);
            m_effects->showWindow();
        }
        return true;
    }
    if (name == "TDaubixQBF") {
        if (!check) {
            placeBesideOnce(m_backdrops, this, Beside::Right);
            m_backdrops->showWindow();
        }
        return true;
    }
    if (name == "TTextureF") {
        if (!check) {
            m_texture->showModal();
            imageChanged();
            updateActions();
        }
        return true;
    }
    if (name == "TJpegPreviewF") {
        if (!check) {
            auto* window = findChild<TJpegPreviewF*>("TJpegPreviewF");
            if (!window)
                window = new TJpegPreviewF(m_doc, m_host, this);
            placeBesideOnce(window, this, Beside::Right);
            window->showAndPreview();
        }
        return true;
    }
    return false;
}

void TDaubixF::showHelp(const QString& anchor)
{
    const std::string page = app::programFile(m_folder, "Daubix.html");
    std::error_code error;
    if (!std::filesystem::is_regular_file(page, error)) {
        m_host.showMessage("The help page \"Daubix.html\" is missing from the program folder " + m_folder + ".");
        return;
    }
    auto* help = findChild<QTextBrowser*>("DaubixHelp");
    if (!help) {
        help = new QTextBrowser(this);
        help->setObjectName("DaubixHelp");
        help->setWindowFlag(Qt::Window);
        help->setWindowTitle("Daubix Help");
        help->resize(560, 480);
    }
    help->setSource(QUrl::fromLocalFile(QString::fromStdString(page)));
    help->scrollToAnchor(anchor);
    help->show();
    help->raise();
}

void TDaubixF::updateActions()
{
    for (const auto& [row, a] : m_actions)
        if (row->checked)
            a->setChecked(row->checked(m_doc, *row));
    const gfx::Canvas& canvas = m_doc.canvas;
    // The dropdowns show what is in force: the tool, the pen width when it is one of the popup's, the
    // brush style.
    // The shape button keeps its hint "Shape" until a tool is chosen, by the menu or by a tool itself.
    if (m_doc.toolMode != m_shownTool) {
        m_shownTool = m_doc.toolMode;
        if (const app::CommandRow* tool = tools::toolMenuRow(tools::baseToolMode(m_doc.toolMode))) {
            m_dropdowns["shapes"]->setIcon(drawnIcon(tool->icon));
            m_dropdowns["shapes"]->setToolTip(qstring(app::caption(*tool)));
        }
    }
    for (const auto& [row, a] : m_actions) {
        const std::string_view popup = captions(row->path).front();
        if (popup == "linewidth" && !row->icon.empty() && row->number == canvas.pen.width)
            m_dropdowns["linewidth"]->setIcon(a->icon());
        if (popup == "brushstyle" && !canvas.brush.pattern() && row->number == static_cast<int>(canvas.brush.style()))
            m_dropdowns["brushstyle"]->setIcon(a->icon());
    }
    const auto& floating = m_doc.floating;
    if (floating.revision != m_floatRevision) {
        m_floatRevision = floating.revision;
        m_floatImage->setPixmap(floating.bitmap.isEmpty() ? QPixmap() : QPixmap::fromImage(toQImage(floating.bitmap)));
        m_floatImage->adjustSize();
    }
    m_floatImage->move(floating.position.x, floating.position.y);
    m_floatImage->setVisible(floating.shown && !floating.bitmap.isEmpty());
    if (floating.shown)
        m_floatImage->raise();
    m_gamma->showColors(toQColor(m_doc.firstColor), toQColor(m_doc.secondColor));
    m_patList->stripChanged();
}

void TDaubixF::imageChanged()
{
    m_paint->imageChanged({0, 0, m_doc.image.width(), m_doc.image.height()});
}

void TDaubixF::openFile(const std::string& path)
{
    app::CommandContext ctx{m_doc, m_host};
    try {
        io::openPicture(ctx, path);
    } catch (const gfx::OutOfPixelMemory& e) {
        m_host.showFailure(app::outOfMemory(e.width, e.height));
    } catch (const std::bad_alloc&) {
        m_host.showFailure("Not enough memory to open " + path + ".");
    }
    if (ctx.clean)
        m_doc.modified = false;
    imageChanged();
    updateActions();
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
    if (commands::scriptRunning(m_doc)) {
        event->ignore(); // "Stop" first: the script still draws on the image
        return;
    }
    if (m_doc.modified) {
        const auto answer = QMessageBox::question(this, "Daubix", "Save changes to the image?",
            QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel, QMessageBox::Cancel);
        if (answer == QMessageBox::Yes)
            runRow(*commands::findCommand("File > Save As..."));
        // Only a written file lets the picture go: a cancelled dialog or a failed save keeps the window.
        if (answer == QMessageBox::Cancel || (answer == QMessageBox::Yes && m_doc.modified)) {
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
    m_script->savePlacement(m_ini);
    const QRect g = normalGeometry();
    app::writeMainPlacement(m_ini, {isMaximized(), g.x(), g.y(), g.width(), g.height()}, isMinimized());
    const std::string text = m_ini.text();
    (void)io::writeFileAtomically(app::programFile(m_folder, "Daubix.ini"),
        std::span(reinterpret_cast<const std::uint8_t*>(text.data()), text.size()));
}

bool TDaubixF::eventFilter(QObject* watched, QEvent* event)
{
    const QEvent::Type type = event->type();
    if (watched != m_scrollBox->viewport()
        || (type != QEvent::MouseButtonPress && type != QEvent::MouseMove && type != QEvent::MouseButtonRelease))
        return QMainWindow::eventFilter(watched, event);
    auto* mouse = static_cast<QMouseEvent*>(event);
    // In the scroll box's terms with the image unscrolled at its top-left.
    const QPoint at = mouse->position().toPoint() - m_paint->pos();
    const gfx::Point p{at.x(), at.y()};
    const bool ctrl = mouse->modifiers() & Qt::ControlModifier, shift = mouse->modifiers() & Qt::ShiftModifier;
    if (type == QEvent::MouseButtonPress) {
        m_scrollResize.press(m_doc, m_host, p, ctrl, shift);
    } else if (type == QEvent::MouseMove) {
        if (!m_scrollResize.active())
            return false;
        m_scrollResize.move(m_doc, m_host, p, ctrl, shift);
        imageChanged();
    } else {
        if (!m_scrollResize.active())
            return false;
        m_scrollResize.release(m_doc);
        updateActions();
        return true;
    }
    return m_scrollResize.active();
}

void TDaubixF::mypaintMouse(int step, QMouseEvent* event)
{
    tools::PointerEvent e;
    const QPoint at = event->position().toPoint();
    e.point = {at.x(), at.y()};
    const Qt::MouseButton button = event->button();
    // Other buttons (back, forward) do not reach the tools; moves report no button of their own.
    e.button = button == Qt::LeftButton ? tools::Button::Left
        : button == Qt::RightButton     ? tools::Button::Right
        : button == Qt::MiddleButton    ? tools::Button::Middle
                                        : tools::Button::None;
    e.shift = event->modifiers() & Qt::ShiftModifier;
    e.ctrl = event->modifiers() & Qt::ControlModifier;
    e.alt = event->modifiers() & Qt::AltModifier;
    if (commands::scriptRunning(m_doc))
        return; // the script draws on the image; the tools wait
    switch (static_cast<MyPaint::MouseStep>(step)) {
    case MyPaint::MouseStep::Press:
        m_tools.press(e);
        break;
    case MyPaint::MouseStep::Move:
        m_tools.move(e);
        break;
    case MyPaint::MouseStep::Release:
        m_tools.release(e);
        // The pick tool sets the colours and Zoom In Keep hands over to the freehand tool with another
        // pen: the panel and the buttons follow.
        updateActions();
        break;
    }
}

} // namespace daubix::ui
