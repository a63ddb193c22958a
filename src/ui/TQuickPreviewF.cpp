#include "ui/TQuickPreviewF.h"

#include "app/Command.h"
#include "app/Document.h"
#include "app/Preview.h"
#include "io/PreviewFrames.h"
#include "ui/MyPaint.h"
#include "ui/ToolPlacement.h"
#include "ui/QtHost.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QFileDialog>
#include <QHBoxLayout>
#include <QPushButton>
#include <QScreen>
#include <QScrollArea>
#include <QSignalBlocker>
#include <QVBoxLayout>

namespace daubix::ui {

// The main window's host, but with the boxes and dialogs over this window: it stays on top, and would
// hide a box that belonged to the main window.
class TQuickPreviewF::DialogHost : public app::Host {
public:
    DialogHost(app::Host& main, QWidget* window)
        : m_main(main)
        , m_window(window)
        , m_dialogs(window)
    {
    }

    void showMessage(const std::string& text) override { m_dialogs.showMessage(text); }
    std::optional<std::string> askText(
        const std::string& caption, const std::string& prompt, const std::string& initial) override
    {
        return m_dialogs.askText(caption, prompt, initial);
    }
    std::optional<gfx::Color> chooseColor(gfx::Color initial) override { return m_dialogs.chooseColor(initial); }
    std::optional<gfx::Font> chooseFont(const gfx::Font& initial) override { return m_dialogs.chooseFont(initial); }
    std::optional<std::string> askFileName(FileDialog kind, const std::string& filter, int filterIndex) override
    {
        if (kind == FileDialog::Save)
            return askFrameName(filter, filterIndex);
        return m_dialogs.askFileName(kind, filter, filterIndex);
    }
    void setStatus(int panel, const std::string& text) override { m_main.setStatus(panel, text); }
    void moveMouse(gfx::Point imagePoint) override { m_main.moveMouse(imagePoint); }
    app::ScriptEditor* scriptEditor() override { return m_main.scriptEditor(); }
    std::optional<gfx::Bitmap> clipboardBitmap() override { return m_main.clipboardBitmap(); }
    void setClipboardBitmap(const gfx::Bitmap& bitmap) override { m_main.setClipboardBitmap(bitmap); }
    void repaint(const gfx::Rect& area) override { m_main.repaint(area); }
    void setProgramIcon(const gfx::Bitmap& colour, const gfx::Bitmap& mask) override
    {
        m_main.setProgramIcon(colour, mask);
    }
    void startTimer(int intervalMs) override { m_main.startTimer(intervalMs); }
    void stopTimer() override { m_main.stopTimer(); }

private:
    // The window saves only GIF frames. The chosen name is a base that frames are numbered from, not a
    // file that will be replaced, so the dialog does not ask about one that exists.
    std::optional<std::string> askFrameName(const std::string& filter, int filterIndex)
    {
        const QStringList types = QString::fromStdString(filter).split(";;");
        QFileDialog dialog(m_window, {}, {}, types.join(";;"));
        dialog.setAcceptMode(QFileDialog::AcceptSave);
        dialog.setDefaultSuffix("gif");
        dialog.setOptions(QFileDialog::DontConfirmOverwrite | QFileDialog::HideNameFilterDetails);
        if (filterIndex >= 1 && filterIndex <= types.size())
            dialog.selectNameFilter(types[filterIndex - 1]);
        if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
            return std::nullopt;
        return dialog.selectedFiles().front().toStdString();
    }

    app::Host& m_main;
    QWidget* m_window;
    QtHost m_dialogs;
};

TQuickPreviewF::TQuickPreviewF(app::Document& doc, app::Host& host, QWidget* parent)
    : QWidget(parent, Qt::Tool | Qt::WindowStaysOnTopHint)
    , m_doc(doc)
    , m_host(std::make_unique<DialogHost>(host, this))
{
    setObjectName("TQuickPreviewF");
    setWindowTitle("Daubix Preview");

    auto* column = new QVBoxLayout(this);
    column->setContentsMargins(0, 0, 0, 0);
    column->setSpacing(0);
    m_scrollBox = new QScrollArea(this);
    m_scrollBox->setObjectName("ScrollBox1");
    m_scrollBox->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    // The view paints straight from the document's picture, which showPicture moves in.
    m_view = new MyPaint(m_doc.preview.picture);
    m_view->setObjectName("PreviewImage");
    m_view->setMouseTracking(false);
    m_scrollBox->setWidget(m_view);
    column->addWidget(m_scrollBox, 1);

    auto* bar = new QWidget(this);
    bar->setObjectName("Panel1");
    auto* row = new QHBoxLayout(bar);
    row->setContentsMargins(4, 4, 4, 4);
    m_use = new QPushButton("Use", bar);
    m_use->setObjectName("UseButton");
    connect(m_use, &QPushButton::clicked, this, &TQuickPreviewF::UseClick);
    row->addWidget(m_use);
    m_save = new QPushButton("Save...", bar);
    m_save->setObjectName("SaveButton");
    connect(m_save, &QPushButton::clicked, this, &TQuickPreviewF::SaveClick);
    row->addWidget(m_save);
    m_counter = new QPushButton("0", bar);
    m_counter->setObjectName("CounterButton");
    m_counter->setToolTip("Save the next frame");
    connect(m_counter, &QPushButton::clicked, this, &TQuickPreviewF::CounterClick);
    row->addWidget(m_counter);
    m_transparent = new QCheckBox("transparent", bar);
    m_transparent->setObjectName("transparent");
    connect(m_transparent, &QCheckBox::clicked, this, &TQuickPreviewF::transparentClick);
    row->addWidget(m_transparent);
    row->addStretch(1);
    column->addWidget(bar);
    resize(420, 360);
}

TQuickPreviewF::~TQuickPreviewF() = default;

void TQuickPreviewF::showPicture(gfx::Bitmap picture)
{
    app::showPicture(m_doc, std::move(picture));
    followDocument();
}

void TQuickPreviewF::followDocument()
{
    showState();
    if (!m_doc.preview.shown) {
        if (isVisible())
            close();
        return;
    }
    if (!isVisible()) {
        // Opened at the picture's size, as far as the screen allows.
        const int frame = 2 * m_scrollBox->frameWidth();
        QSize wanted(m_view->width() + frame, m_view->height() + frame + m_use->parentWidget()->sizeHint().height());
        if (const QScreen* s = screen())
            wanted = wanted.boundedTo(s->availableSize() * 3 / 4);
        resize(wanted.expandedTo(QSize(320, 160)));
        placeBesideOnce(this, parentWidget(), Beside::Below);
        show();
    }
    // Not activated: the window whose controls made the picture keeps the keyboard.
    raise();
}

void TQuickPreviewF::closeEvent(QCloseEvent* event)
{
    app::closePreview(m_doc);
    showState();
    QWidget::closeEvent(event);
}

void TQuickPreviewF::showState()
{
    const gfx::Bitmap& picture = m_doc.preview.picture;
    m_view->imageChanged({0, 0, picture.width(), picture.height()});
    m_counter->setText(QString::number(m_doc.preview.counter));
    const QSignalBlocker quiet(m_transparent);
    m_transparent->setChecked(m_doc.preview.transparent);
}

void TQuickPreviewF::run(const char* button)
{
    const std::string path = std::string("TQuickPreviewF > ") + button;
    for (const app::CommandRow& row : io::previewWindowRows())
        if (row.path == path) {
            app::CommandContext ctx{m_doc, *m_host};
            app::runCommand(ctx, row);
        }
    followDocument();
}

void TQuickPreviewF::UseClick()
{
    run("Use");
}

void TQuickPreviewF::SaveClick()
{
    run("Save...");
}

void TQuickPreviewF::CounterClick()
{
    run("CounterButton");
}

void TQuickPreviewF::transparentClick(bool checked)
{
    m_doc.preview.transparent = checked;
}

} // namespace daubix::ui
