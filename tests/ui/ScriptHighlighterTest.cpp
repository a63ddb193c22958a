#include "ui/ScriptHighlighter.h"

#include <QCoreApplication>
#include <QPlainTextEdit>
#include <QTest>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextLayout>

using namespace daubix;

namespace {

// Counts the blocks Qt hands to the highlighter.
class CountingHighlighter : public ui::ScriptHighlighter {
public:
    using ScriptHighlighter::ScriptHighlighter;
    int calls = 0;

protected:
    void highlightBlock(const QString& text) override
    {
        ++calls;
        ScriptHighlighter::highlightBlock(text);
    }
};

script::HighlighterSettings settings()
{
    script::HighlighterSettings s;
    s.keywords = {"go", "right"};
    s.commentStyles.set(static_cast<std::size_t>(script::CommentStyle::Pas));
    s.attribute(script::TokenKind::Key) = {true, false, true, gfx::clYellow, gfx::rgb(0x12, 0x34, 0x56)};
    return s;
}

// The format Qt lays out at a position of a block; an empty one where the highlighter set none.
QTextCharFormat formatAt(const QTextDocument& doc, int block, int position)
{
    for (const QTextLayout::FormatRange& r : doc.findBlockByNumber(block).layout()->formats())
        if (position >= r.start && position < r.start + r.length)
            return r.format;
    return {};
}

bool isKey(const QTextDocument& doc, int block, int position)
{
    const QTextCharFormat f = formatAt(doc, block, position);
    return f.fontWeight() == QFont::Bold && f.fontUnderline() && f.foreground().color() == QColor(0x12, 0x34, 0x56)
        && f.background().color() == QColor(Qt::yellow);
}

bool isComment(const QTextDocument& doc, int block, int position)
{
    return formatAt(doc, block, position).fontItalic();
}

} // namespace

class ScriptHighlighterTest : public QObject {
    Q_OBJECT
private slots:
    void keywordsTakeTheKeyFormatAndOtherWordsNone()
    {
        QTextDocument doc("pos 1 2\ngo 10 { note }");
        CountingHighlighter h(&doc, settings());
        QCoreApplication::processEvents(); // Qt colours a new document from the event loop
        QVERIFY(isKey(doc, 1, 0));
        QVERIFY(isKey(doc, 1, 1));
        QVERIFY(formatAt(doc, 0, 0).properties().isEmpty());
        QVERIFY(!isKey(doc, 1, 2));
        QVERIFY(isComment(doc, 1, 6));
        QVERIFY(isComment(doc, 1, 13));
    }

    // Qt asks again only for the edited block, and for those after it while the open comment changes.
    void anEditReHighlightsOnlyTheBlocksItChanges()
    {
        QPlainTextEdit editor(
            "pos 1 2\ngo 10\nright 90\n{ open\nstill\n} go"); // Qt reports edits of laid-out text only
        QTextDocument& doc = *editor.document();
        CountingHighlighter h(&doc, settings());
        QCoreApplication::processEvents();
        QCOMPARE(h.calls, 6);
        QVERIFY(isKey(doc, 2, 0));
        QVERIFY(isComment(doc, 4, 0));
        QVERIFY(isKey(doc, 5, 2));

        h.calls = 0;
        QTextCursor cursor(doc.findBlockByNumber(1));
        cursor.movePosition(QTextCursor::EndOfBlock);
        cursor.insertText(" go");
        QCOMPARE(h.calls, 1);
        QVERIFY(isKey(doc, 1, 6));

        // Opening a comment on the first line runs on until the line that was already inside one.
        h.calls = 0;
        cursor.setPosition(0);
        cursor.insertText("{ ");
        QCOMPARE(h.calls, 4);
        QVERIFY(isComment(doc, 2, 0));
        QVERIFY(isKey(doc, 5, 2));

        h.calls = 0;
        cursor.setPosition(0);
        cursor.deleteChar();
        QCOMPARE(h.calls, 4);
        QVERIFY(isKey(doc, 2, 0));
    }
};

QTEST_MAIN(ScriptHighlighterTest)
#include "ScriptHighlighterTest.moc"
