#include "ui/TDaubixQBF.h"

#include "DialogAnswers.h"

#include "app/Document.h"
#include "generators/Backdrop.h"
#include "generators/QuickBackdrops.h"
#include "io/FileWriter.h"
#include "ui/TDaubixF.h"
#include "ui/TQuickPreviewF.h"

#include <QAction>
#include <QComboBox>
#include <QDir>
#include <QListWidget>
#include <QMenu>
#include <QMessageBox>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollBar>
#include <QTemporaryDir>
#include <QTest>

using namespace daubix;
using test::answerNextInputBox;
using test::answerNextMessageBox;
using test::InputBoxSeen;

namespace {

std::string fileText(const QString& path)
{
    auto bytes = io::readFile(path.toStdString(), 1 << 20);
    return bytes.ok() ? std::string(bytes.value().begin(), bytes.value().end()) : std::string();
}

void writeText(const QString& path, const std::string& text)
{
    (void)io::writeFileAtomically(path.toStdString(), {reinterpret_cast<const std::uint8_t*>(text.data()), text.size()});
}

} // namespace

class TDaubixQBFTest : public QObject {
    Q_OBJECT
private:
    struct Windows {
        std::unique_ptr<QTemporaryDir> home = std::make_unique<QTemporaryDir>();
        std::unique_ptr<ui::TDaubixF> main;
        ui::TDaubixQBF* window = nullptr;
        QListWidget* list = nullptr;
        std::array<QRadioButton*, 3> radios{};
        std::array<QScrollBar*, 4> bars{};
        QComboBox* presets = nullptr;
        QMenu* presetMenu = nullptr;

        app::Document& doc() { return main->document(); }
        QString presetFile() const { return home->filePath("DaubixQB.txt"); }
        const gfx::Bitmap& shown() { return doc().preview.picture; }
        QAction* presetItem(const QString& text)
        {
            for (QAction* a : presetMenu->actions())
                if (a->text() == text)
                    return a;
            return nullptr;
        }
        void click(QWidget* w) { QTest::mouseClick(w, Qt::LeftButton, {}, QPoint(8, w->height() / 2)); }
        void clickEntry(const char* name)
        {
            QListWidgetItem* item = list->findItems(name, Qt::MatchExactly).value(0);
            QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, list->visualItemRect(item).center());
        }
        gfx::Bitmap expected(const app::BackdropSettings& s)
        {
            return generators::generateBackdrop(s, doc().image.width(), doc().image.height());
        }
    };
    Windows opened(const std::string& presets, bool show = true)
    {
        Windows w;
        writeText(w.presetFile(), presets);
        w.main = std::make_unique<ui::TDaubixF>(w.home->path().toStdString());
        w.main->show();
        w.doc().image = gfx::Bitmap(21, 13);
        w.window = w.main->findChild<ui::TDaubixQBF*>("TDaubixQBF");
        if (!w.window)
            return w;
        w.list = w.window->findChild<QListWidget*>("QBList");
        w.radios = {w.window->findChild<QRadioButton*>("redradio"), w.window->findChild<QRadioButton*>("greenradio"),
            w.window->findChild<QRadioButton*>("blueradio")};
        const char* bars[] = {"trkred", "trkgreen", "trkblue", "trkfactor"};
        for (std::size_t b = 0; b < 4; ++b)
            w.bars[b] = w.window->findChild<QScrollBar*>(bars[b]);
        w.presets = w.window->findChild<QComboBox*>("qbpresets");
        w.presetMenu = w.window->findChild<QMenu*>("PresetPopup");
        if (show) {
            if (QAction* f2 = w.main->action("Image > Quick > Quick Background..."))
                f2->trigger();
            (void)QTest::qWaitForWindowExposed(w.window);
        }
        return w;
    }

private slots:
    void theWindowIsCreatedHiddenAndF2ShowsIt()
    {
        Windows w = opened("b=1,1,1,1,1,1,99\nA=0,0,0,0,0,0,255\n", false);
        QVERIFY(w.window && w.list && w.radios[0] && w.radios[1] && w.radios[2] && w.presets && w.presetMenu);
        for (QScrollBar* bar : w.bars)
            QVERIFY(bar && bar->orientation() == Qt::Vertical);
        QVERIFY(!w.window->isVisible());
        QCOMPARE(w.window->windowTitle(), QString("QuickBack"));
        QCOMPARE(w.window->windowType(), Qt::Tool);
        QVERIFY(w.window->windowFlags() & Qt::WindowStaysOnTopHint);
        QCOMPARE(w.list->count(), 41);
        QCOMPARE(w.list->item(0)->text(), QString("Prod"));
        QCOMPARE(w.list->item(40)->text(), QString("DrawXor"));
        for (QRadioButton* radio : w.radios)
            QVERIFY(!radio->isChecked());
        QCOMPARE(w.radios[0]->palette().color(QPalette::WindowText), QColor(Qt::red));
        QCOMPARE(w.radios[2]->palette().color(QPalette::WindowText), QColor(Qt::blue));
        for (std::size_t b = 0; b < 3; ++b) {
            QCOMPARE(w.bars[b]->minimum(), 0);
            QCOMPARE(w.bars[b]->maximum(), 255);
            QCOMPARE(w.bars[b]->value(), 0);
        }
        QCOMPARE(w.bars[3]->minimum(), 16);
        QCOMPARE(w.bars[3]->maximum(), 255);
        QCOMPARE(w.bars[3]->value(), 255);
        QCOMPARE(w.presets->count(), 2); // read when the window was made, sorted
        QCOMPARE(w.presets->itemText(0), QString("A"));
        QCOMPARE(w.presets->contextMenuPolicy(), Qt::CustomContextMenu);
        QStringList items;
        for (QAction* a : w.presetMenu->actions())
            items << a->text();
        QCOMPARE(items, QStringList({"&Add Backdrop", "&Delete Backdrop", "&Update Backdrop"}));

        QAction* f2 = w.main->action("Image > Quick > Quick Background...");
        QVERIFY(f2 && f2->isEnabled());
        QCOMPARE(f2->shortcut(), QKeySequence(Qt::Key_F2));
        f2->trigger();
        QVERIFY(w.window->isVisible());
        QCOMPARE(w.radios[1]->text(), QString("Prod")); // captions set when shown
        QVERIFY(!w.main->quickPreview()->isVisible()); // showing previews nothing
    }

    void theControlsPreviewWhatTheyChange()
    {
        Windows w = opened("");
        const int undoBefore = w.doc().undo.index();
        w.click(w.radios[1]);
        QVERIFY(w.radios[1]->isChecked());
        QCOMPARE(w.list->currentRow(), 0);
        QVERIFY(!w.main->quickPreview()->isVisible()); // a radio button previews nothing
        w.clickEntry("Outer");
        QCOMPARE(w.radios[1]->text(), QString("Outer"));
        QCOMPARE(w.radios[0]->text(), QString("Prod"));
        QVERIFY(w.main->quickPreview()->isVisible());
        QCOMPARE(w.shown(), w.expected({{0, 18, 0}, {0, 0, 0}, 255}));

        w.bars[2]->setValue(77);
        w.bars[3]->setValue(40);
        QCOMPARE(w.shown(), w.expected({{0, 18, 0}, {0, 0, 77}, 40}));
        QCOMPARE(w.doc().undo.index(), undoBefore);

        // "Use" in the preview window draws it, as one undo step.
        const gfx::Bitmap picture = w.shown();
        auto* use = w.main->quickPreview()->findChild<QPushButton*>("UseButton");
        QVERIFY(use);
        use->click();
        QCOMPARE(w.doc().image, picture);
        QCOMPARE(w.doc().undo.index(), undoBefore + 1);
    }

    // A preset moves the bars and captions it sets; a bad value stops the loading with a message.
    void presetsLoadAndAreKeptInTheFile()
    {
        Windows w = opened("bad=1,2,3,4,x,6,7\nsky=39,17,2,10,20,30,64\n");
        w.presets->setCurrentIndex(1);
        emit w.presets->activated(1);
        QCOMPARE(w.radios[0]->text(), QString("ProdProdSum"));
        QCOMPARE(w.radios[2]->text(), QString("Sub"));
        QCOMPARE(w.bars[1]->value(), 20);
        QCOMPARE(w.bars[3]->value(), 64);
        QCOMPARE(w.shown(), w.expected({{39, 17, 2}, {10, 20, 30}, 64}));

        QString said;
        answerNextMessageBox(QMessageBox::NoButton, &said);
        w.presets->setCurrentIndex(0);
        emit w.presets->activated(0);
        QCOMPARE(said, QString("Error in Presets"));
        QCOMPARE(w.doc().backdrop.settings, (app::BackdropSettings{{1, 2, 3}, {4, 20, 30}, 64}));
        QCOMPARE(w.bars[0]->value(), 4); // read before the bad value
        QCOMPARE(w.bars[1]->value(), 20); // not reached
        QCOMPARE(w.radios[0]->text(), QString("ProdProdSum")); // the captions wait for a whole line
        QCOMPARE(w.shown(), w.expected({{39, 17, 2}, {10, 20, 30}, 64})); // no new preview

        InputBoxSeen seen;
        answerNextInputBox("new", &seen);
        w.presetItem("&Update Backdrop")->trigger();
        QCOMPARE(seen.caption, QString("Daubix Quick Backdrops"));
        QCOMPARE(seen.prompt, QString("Enter Name:"));
        QCOMPARE(seen.initial, QString("bad"));
        QCOMPARE(fileText(w.presetFile()), std::string("new=1,2,3,4,20,30,64\nsky=39,17,2,10,20,30,64\n"));
        QCOMPARE(w.presets->count(), 2);
        QCOMPARE(w.presets->itemText(0), QString("new"));
        QCOMPARE(w.presets->currentIndex(), 0);
    }

    // A line without "=" is passed over; Delete takes the chosen preset out of the file.
    void aLineWithoutANameIsIgnoredAndDeleteRemovesTheChosenOne()
    {
        Windows w = opened("just words\nsky=39,17,2,10,20,30,64\n");
        w.bars[0]->setValue(9);
        const gfx::Bitmap before = w.shown();
        w.presets->setCurrentIndex(0);
        emit w.presets->activated(0);
        QCOMPARE(w.bars[0]->value(), 9);
        QCOMPARE(w.doc().backdrop.settings.offsets[0], 9);
        QCOMPARE(w.shown(), before);
        w.presetItem("&Delete Backdrop")->trigger();
        QCOMPARE(fileText(w.presetFile()), std::string("sky=39,17,2,10,20,30,64\n"));
        QCOMPARE(w.presets->count(), 1);
        QCOMPARE(w.presets->currentIndex(), -1);
    }

    // A preset file that cannot be read leaves the list empty and says why when the window first shows.
    void anUnreadablePresetFileIsToldOnce()
    {
        QTemporaryDir home;
        QVERIFY(QDir(home.path()).mkdir("DaubixQB.txt"));
        ui::TDaubixF main(home.path().toStdString());
        main.show();
        auto* window = main.findChild<ui::TDaubixQBF*>("TDaubixQBF");
        QVERIFY(window);
        QCOMPARE(window->findChild<QComboBox*>("qbpresets")->count(), 0);
        QString said;
        answerNextMessageBox(QMessageBox::NoButton, &said);
        main.action("Image > Quick > Quick Background...")->trigger();
        QVERIFY(QTest::qWaitFor([&said] { return !said.isEmpty(); }));
        QVERIFY(said.contains(home.filePath("DaubixQB.txt")));
        window->close();
        said.clear();
        main.action("Image > Quick > Quick Background...")->trigger();
        QTest::qWait(20);
        QVERIFY(said.isEmpty());
    }

    // A script's request changes the settings but not the window's controls.
    void aScriptRequestLeavesTheControlsAsTheyAre()
    {
        Windows w = opened("sky=39,17,2,10,20,30,64\n");
        QVERIFY(generators::requestBackdrop(w.doc(), w.doc().backdrop.presets, "SKY"));
        QCOMPARE(w.bars[0]->value(), 0);
        QCOMPARE(w.radios[0]->text(), QString("Prod"));
        w.bars[0]->setValue(1);
        QCOMPARE(w.shown(), w.expected({{39, 17, 2}, {1, 20, 30}, 64}));
    }
};

QTEST_MAIN(TDaubixQBFTest)
#include "TDaubixQBFTest.moc"
