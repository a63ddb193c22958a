#include "ui/TDaubixScriptF.h"

#include "app/Document.h"
#include "app/Host.h"
#include "app/IniFile.h"
#include "app/ProgramFolder.h"
#include "app/WindowPlacement.h"
#include "commands/ScriptCommands.h"
#include "script/Highlighter.h"
#include "ui/ScriptHighlighter.h"
#include "ui/WindowParts.h"

#include <QKeyEvent>
#include <QListWidget>
#include <QPainter>
#include <QPlainTextEdit>
#include <QSplitter>
#include <QTextBlock>
#include <QVBoxLayout>

#include <utility>

namespace daubix::ui {

namespace {

constexpr const char* kSection = "DaubixScriptF";

// The editor with its line numbers in a gutter on the left.
class ScriptEdit : public QPlainTextEdit {
public:
    explicit ScriptEdit(QWidget* parent)
        : QPlainTextEdit(parent)
        , m_gutter(new Gutter(this))
    {
        connect(this, &QPlainTextEdit::blockCountChanged, this, [this] {
            setViewportMargins(gutterWidth(), 0, 0, 0);
            const QRect r = contentsRect();
            m_gutter->setGeometry(r.left(), r.top(), gutterWidth(), r.height());
        });
        connect(this, &QPlainTextEdit::updateRequest, this, [this](const QRect& rect, int dy) {
            if (dy)
                m_gutter->scroll(0, dy);
            else
                m_gutter->update(0, rect.y(), m_gutter->width(), rect.height());
        });
        setViewportMargins(gutterWidth(), 0, 0, 0);
    }

    int gutterWidth() const
    {
        int digits = 1;
        for (int n = std::max(1, blockCount()); n >= 10; n /= 10)
            ++digits;
        return 8 + fontMetrics().horizontalAdvance(QLatin1Char('9')) * std::max(digits, 2);
    }

protected:
    void resizeEvent(QResizeEvent* event) override
    {
        QPlainTextEdit::resizeEvent(event);
        const QRect r = contentsRect();
        m_gutter->setGeometry(r.left(), r.top(), gutterWidth(), r.height());
    }

private:
    class Gutter : public QWidget {
    public:
        explicit Gutter(ScriptEdit* edit)
            : QWidget(edit)
            , m_edit(edit)
        {
        }

    protected:
        void paintEvent(QPaintEvent* event) override
        {
            QPainter p(this);
            p.fillRect(event->rect(), QColor(0xE8, 0xE8, 0xE8));
            p.setPen(Qt::darkGray);
            p.setFont(m_edit->font());
            QTextBlock block = m_edit->firstVisibleBlock();
            int top = qRound(m_edit->blockBoundingGeometry(block).translated(m_edit->contentOffset()).top());
            while (block.isValid() && top <= event->rect().bottom()) {
                const int height = qRound(m_edit->blockBoundingRect(block).height());
                if (block.isVisible() && top + height >= event->rect().top())
                    p.drawText(0, top, width() - 4, m_edit->fontMetrics().height(), Qt::AlignRight,
                        QString::number(block.blockNumber() + 1));
                block = block.next();
                top += height;
            }
        }

    private:
        ScriptEdit* m_edit;
    };

    Gutter* m_gutter;
};

// The editor's characters to the core's text: UTF-8 with CR LF breaks.
std::string coreText(QString text)
{
    text.replace(QChar::ParagraphSeparator, QLatin1Char('\n'));
    return app::editorText(text.toStdString());
}

} // namespace

TDaubixScriptF::TDaubixScriptF(
    app::Document& doc, app::Host& host, const std::string& programFolder, const app::IniFile& ini, QWidget* parent)
    : QWidget(parent, Qt::Tool) // above the main window, not above every other program
    , m_doc(doc)
    , m_host(host)
{
    setObjectName("TDaubixScriptF");
    setWindowTitle("DaubixScript");

    auto* column = new QVBoxLayout(this);
    column->setContentsMargins(0, 0, 0, 0);
    m_splitter = new QSplitter(Qt::Horizontal, this);
    m_splitter->setObjectName("Splitter1");
    column->addWidget(m_splitter);

    m_editor = new ScriptEdit(m_splitter);
    m_editor->setObjectName("script");
    QFont mono("Courier New");
    mono.setStyleHint(QFont::TypeWriter);
    mono.setFamilies({"Courier New", "Liberation Mono"});
    mono.setPixelSize(17);
    m_editor->setFont(mono);
    m_editor->setTabChangesFocus(false);
    m_editor->setLineWrapMode(QPlainTextEdit::NoWrap);
    m_editor->setWordWrapMode(QTextOption::NoWrap);
    m_editor->setTabStopDistance(4 * m_editor->fontMetrics().horizontalAdvance(QLatin1Char(' ')));
    auto* highlighter = new ScriptHighlighter(m_editor->document(),
        script::loadHighlighterSettings(app::programFile(programFolder, "DaubixScript.ini")));
    highlighter->setObjectName("ketGeneralSyn1");

    m_library = new QListWidget(m_splitter);
    m_library->setObjectName("ScriptLib");
    QFont arial("Arial");
    arial.setFamilies({"Arial", "Liberation Sans"});
    arial.setPixelSize(15);
    m_library->setFont(arial);
    m_library->setUniformItemSizes(true);
    m_library->setStyleSheet("QListWidget#ScriptLib { background: #BEDBB3; }");
    m_library->installEventFilter(this);
    connect(m_library, &QListWidget::currentRowChanged, this,
        [this](int row) { commands::scriptSession(m_doc).library.select(row); });
    connect(m_library, &QListWidget::itemDoubleClicked, this,
        [this] { commands::insertLibraryEntry(m_doc, m_host); });
    m_splitter->setStretchFactor(0, 1);
    m_splitter->setStretchFactor(1, 0);

    if (gfx::Status read = commands::readScriptLibrary(m_doc, programFolder); !read)
        m_loadFailure = read.error();
    showLibrary();

    const app::Placement p = app::TzoFormIni::read(ini, kSection, {false, 94, 630, 611, 206});
    setGeometry(p.left, p.top, p.width, p.height);
    m_splitter->setSizes({std::max(p.width - 178, 100), 178});
    if (p.maximized)
        setWindowState(Qt::WindowMaximized);
}

void TDaubixScriptF::savePlacement(app::IniFile& ini) const
{
    const QRect g = normalGeometry().isValid() ? normalGeometry() : geometry();
    app::TzoFormIni::write(ini, kSection, {isMaximized(), g.x(), g.y(), g.width(), g.height()});
}

void TDaubixScriptF::showLibrary()
{
    const script::ScriptLibrary& lib = commands::scriptSession(m_doc).library;
    const QSignalBlocker quiet(m_library);
    m_library->clear();
    for (const std::string& entry : lib.entries()) {
        auto* item = new QListWidgetItem(qstring(app::utf8FromScriptBytes(script::ScriptLibrary::tag(entry))), m_library);
        item->setSizeHint(QSize(0, 18));
    }
    m_library->setCurrentRow(lib.selected());
}

void TDaubixScriptF::showEvent(QShowEvent* event)
{
    QWidget::showEvent(event);
    if (!m_loadFailure.empty())
        m_host.showFailure(std::exchange(m_loadFailure, {}));
}

bool TDaubixScriptF::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == m_library && event->type() == QEvent::KeyPress
        && static_cast<QKeyEvent*>(event)->key() == Qt::Key_F1) {
        emit helpRequested("topic400");
        return true;
    }
    return QWidget::eventFilter(watched, event);
}

bool TDaubixScriptF::showing() const
{
    return isVisible();
}

void TDaubixScriptF::show()
{
    QWidget::show();
    raise();
    activateWindow();
}

std::string TDaubixScriptF::text() const
{
    return coreText(m_editor->toPlainText());
}

void TDaubixScriptF::setText(const std::string& text)
{
    m_editor->setPlainText(qstring(app::editorText(text)).replace(QLatin1String("\r\n"), QLatin1String("\n")));
    m_editor->moveCursor(QTextCursor::Start);
}

std::string TDaubixScriptF::selectedText() const
{
    return coreText(m_editor->textCursor().selectedText());
}

void TDaubixScriptF::replaceSelection(const std::string& text)
{
    QTextCursor cursor = m_editor->textCursor();
    cursor.beginEditBlock();
    cursor.insertText(qstring(app::editorText(text)).replace(QLatin1String("\r\n"), QLatin1String("\n")));
    cursor.endEditBlock();
    m_editor->setTextCursor(cursor);
}

void TDaubixScriptF::select(std::size_t from, std::size_t to)
{
    const std::string all = text();
    QTextCursor cursor = m_editor->textCursor();
    cursor.setPosition(static_cast<int>(app::editorCharacterOffset(all, from)));
    cursor.setPosition(static_cast<int>(app::editorCharacterOffset(all, to)), QTextCursor::KeepAnchor);
    m_editor->setTextCursor(cursor);
    m_editor->ensureCursorVisible();
}

void TDaubixScriptF::focus()
{
    // The keys come here next, even after a click on the image or a message over the main window.
    raise();
    activateWindow();
    m_editor->setFocus();
}

} // namespace daubix::ui
