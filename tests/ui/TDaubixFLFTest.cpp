#include "ui/TDaubixFLF.h"

#include "DialogAnswers.h"

#include "app/Arithmetic.h"
#include "app/Document.h"
#include "effects/UserFilters.h"
#include "io/FileWriter.h"
#include "ui/TDaubixF.h"
#include "ui/TQuickPreviewF.h"

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QHeaderView>
#include <QInputDialog>
#include <QListWidget>
#include <QMenu>
#include <QMessageBox>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollBar>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

using namespace daubix;
using test::answerNextInputBox;
using test::InputBoxSeen;
using test::answerNextMessageBox;
using test::pattern;

namespace {

// The filter run on its own, as the preview should show it.
gfx::Bitmap filtered(
    gfx::Bitmap image, std::array<int, 3> channels, int selection, int v, std::array<std::int16_t, 25> matrix = {})
{
    effects::UserFilterSettings s;
    s.channels = channels;
    s.selection = selection;
    s.v = v;
    s.matrix = matrix;
    app::Random random(1);
    if (!effects::applyUserFilter(image, s, random))
        return {};
    return image;
}

std::string fileText(const QString& path)
{
    auto bytes = io::readFile(path.toStdString(), 1 << 20);
    return bytes.ok() ? std::string(bytes.value().begin(), bytes.value().end()) : std::string();
}

void writeText(const QString& path, const std::string& text)
{
    (void)io::writeFileAtomically(
        path.toStdString(), {reinterpret_cast<const std::uint8_t*>(text.data()), text.size()});
}

const std::string kDown = "Down=0,0,1,0,0,0,0,0,0,0,0,0,0,0,0,0,0,0,0,0,0,0,0,0,0"; // the pixel two rows up

} // namespace

class TDaubixFLFTest : public QObject {
    Q_OBJECT
private:
    // The main window with the Filters window and its controls; the preset file is written first.
    struct Windows {
        std::unique_ptr<QTemporaryDir> home = std::make_unique<QTemporaryDir>();
        std::unique_ptr<ui::TDaubixF> main;
        ui::TDaubixFLF* filters = nullptr;
        QListWidget* list = nullptr;
        std::array<QRadioButton*, 3> radios{};
        QScrollBar* bar = nullptr;
        QTableWidget* matrix = nullptr;
        QPushButton* show = nullptr;
        QComboBox* presets = nullptr;
        QMenu* presetMenu = nullptr;

        app::Document& doc() { return main->document(); }
        QString presetFile() const { return home->filePath("DaubixFL.txt"); }
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
    };
    Windows start(const gfx::Bitmap& image, const std::string& presets = {})
    {
        Windows w;
        if (!presets.empty())
            writeText(w.presetFile(), presets);
        w.main = std::make_unique<ui::TDaubixF>(w.home->path().toStdString());
        w.main->show();
        w.doc().image = image;
        w.filters = w.main->findChild<ui::TDaubixFLF*>("TDaubixFLF");
        if (!w.filters)
            return w;
        w.list = w.filters->findChild<QListWidget*>("QFList");
        w.radios = {w.filters->findChild<QRadioButton*>("redradio"), w.filters->findChild<QRadioButton*>("greenradio"),
            w.filters->findChild<QRadioButton*>("blueradio")};
        w.bar = w.filters->findChild<QScrollBar*>("trkred");
        w.matrix = w.filters->findChild<QTableWidget*>("matrix");
        w.show = w.filters->findChild<QPushButton*>("btnshow");
        w.presets = w.filters->findChild<QComboBox*>("FilterPresets");
        w.presetMenu = w.filters->findChild<QMenu*>("PresetPopup");
        return w;
    }
    // F4 shows the window; the offscreen platform lays it out and takes clicks.
    Windows opened(const gfx::Bitmap& image, const std::string& presets = {})
    {
        Windows w = start(image, presets);
        if (QAction* f4 = w.main->action("Image > Quick > Quick Filter..."))
            f4->trigger();
        if (w.filters)
            (void)QTest::qWaitForWindowExposed(w.filters);
        return w;
    }

private slots:
    void theWindowIsCreatedHiddenAndF4ShowsIt()
    {
        Windows w = start(pattern(20, 10, 1), kDown + "\nblur=1,1,1,1,1,1,1,1,1,1,1,1,1,1,1,1,1,1,1,1,1,1,1,1,1\n");
        QVERIFY(w.filters && w.list && w.radios[0] && w.radios[1] && w.radios[2] && w.bar && w.matrix && w.show
            && w.presets && w.presetMenu);
        QVERIFY(!w.filters->isVisible());
        QCOMPARE(w.filters->windowTitle(), QString("Filters"));
        QCOMPARE(w.filters->windowType(), Qt::Tool);
        QVERIFY(w.filters->windowFlags() & Qt::WindowStaysOnTopHint);
        QCOMPARE(w.list->count(), effects::kUserFilterCount);
        for (int i = 0; i < effects::kUserFilterCount; ++i)
            QCOMPARE(w.list->item(i)->text().toStdString(), effects::userFilterNames()[static_cast<std::size_t>(i)]);
        QCOMPARE(w.list->currentRow(), 7);
        for (QRadioButton* radio : w.radios)
            QCOMPARE(radio->text(), QString("Reduce"));
        QVERIFY(w.radios[0]->isChecked());
        QCOMPARE(w.radios[0]->palette().color(QPalette::WindowText), QColor(Qt::red));
        QCOMPARE(w.radios[2]->palette().color(QPalette::WindowText), QColor(Qt::blue));
        QCOMPARE(w.bar->orientation(), Qt::Vertical);
        QCOMPARE(w.bar->minimum(), 16);
        QCOMPARE(w.bar->maximum(), 255);
        QCOMPARE(w.bar->value(), 16);
        QCOMPARE(w.matrix->rowCount(), 5);
        QCOMPARE(w.matrix->columnCount(), 5);
        QCOMPARE(w.matrix->columnWidth(3), 32);
        for (int i = 0; i < 25; ++i)
            QCOMPARE(w.matrix->item(i / 5, i % 5)->text(), QString("1"));
        QCOMPARE(w.show->text(), QString("Show"));
        QCOMPARE(w.presets->count(), 2); // read when the window was made, sorted
        QCOMPARE(w.presets->itemText(0), QString("blur"));
        QCOMPARE(w.presets->currentIndex(), -1);
        QStringList items;
        for (QAction* a : w.presetMenu->actions())
            items << a->text();
        QCOMPARE(items, QStringList({"&Add", "&Delete", "&Update"}));

        QAction* f4 = w.main->action("Image > Quick > Quick Filter...");
        QVERIFY(f4 && f4->isEnabled());
        QCOMPARE(f4->shortcut(), QKeySequence(Qt::Key_F4));
        f4->trigger();
        QVERIFY(w.filters->isVisible());
        QVERIFY(!w.main->quickPreview()->isVisible()); // opening previews nothing
    }

    // A preset file that cannot be read leaves the list empty and says why when the window first shows.
    void anUnreadablePresetFileIsToldWhenTheWindowShows()
    {
        QTemporaryDir home;
        QVERIFY(QDir(home.path()).mkdir("DaubixFL.txt"));
        ui::TDaubixF main(home.path().toStdString());
        main.show();
        auto* filters = main.findChild<ui::TDaubixFLF*>("TDaubixFLF");
        QVERIFY(filters);
        QCOMPARE(filters->findChild<QComboBox*>("FilterPresets")->count(), 0);
        QString said;
        answerNextMessageBox(QMessageBox::NoButton, &said);
        main.action("Image > Quick > Quick Filter...")->trigger();
        QVERIFY(QTest::qWaitFor([&said] { return !said.isEmpty(); }));
        QVERIFY(said.contains(home.filePath("DaubixFL.txt")));
        filters->close();
        said.clear();
        main.action("Image > Quick > Quick Filter...")->trigger();
        QTest::qWait(20);
        QVERIFY(said.isEmpty()); // told once
    }

    // The checked channel takes the clicked entry, its radio shows it, and the preview window shows the
    // filtered copy; the image waits for Use.
    void aClickInTheListPreviewsTheCheckedChannelsFilter()
    {
        const gfx::Bitmap image = pattern(30, 20, 2);
        Windows w = opened(image);
        QVERIFY(w.list);
        w.clickEntry("Xor");
        QCOMPARE(w.radios[0]->text(), QString("Xor"));
        QCOMPARE(w.list->currentRow(), 2);
        QVERIFY(w.main->quickPreview()->isVisible());
        QCOMPARE(w.shown(), filtered(image, {2, 7, 7}, 2, 16));

        w.click(w.radios[2]);
        w.clickEntry("ShiftLeft");
        QCOMPARE(w.radios[2]->text(), QString("ShiftLeft"));
        QCOMPARE(w.radios[0]->text(), QString("Xor"));
        QCOMPARE(w.shown(), filtered(image, {2, 7, 3}, 3, 16));
        QCOMPARE(w.doc().image, image);
    }

    void aRadioClickOnlyMovesTheSelection()
    {
        Windows w = opened(pattern(30, 20, 3));
        QVERIFY(w.list);
        w.click(w.radios[1]);
        w.clickEntry("Glas");
        w.main->quickPreview()->close();
        w.click(w.radios[0]);
        QVERIFY(w.radios[0]->isChecked());
        QCOMPARE(w.list->currentRow(), 7);
        QCOMPARE(w.doc().userFilter.checkedChannel, 0);
        w.click(w.radios[1]);
        QVERIFY(w.radios[1]->isChecked() && !w.radios[0]->isChecked());
        QCOMPARE(w.list->currentRow(), 22);
        QVERIFY(!w.main->quickPreview()->isVisible());
    }

    void theBarPreviewsWithItsValue()
    {
        const gfx::Bitmap image = pattern(30, 20, 4);
        Windows w = opened(image);
        QVERIFY(w.bar);
        w.clickEntry("Add");
        w.bar->setValue(200);
        QCOMPARE(w.doc().userFilter.v, 200);
        QCOMPARE(w.shown(), filtered(image, {16, 7, 7}, 16, 200));
        // A page down steps by 16 from there, as a click beside the handle does.
        w.bar->triggerAction(QAbstractSlider::SliderPageStepAdd);
        QCOMPARE(w.shown(), filtered(image, {16, 7, 7}, 16, 216));
    }

    // Typed cells are read by Show: one cell in row 4 column 2 shows the pixel two rows below.
    void editedCellsAndShowPreviewTheUserMatrix()
    {
        const gfx::Bitmap image = pattern(30, 20, 5);
        Windows w = opened(image);
        QVERIFY(w.matrix);
        for (int i = 0; i < 25; ++i)
            w.matrix->item(i / 5, i % 5)->setText(i == 22 ? "1" : "0");
        QCOMPARE(w.doc().userFilter.cells[22], std::string("1"));
        QCOMPARE(w.doc().userFilter.cells[0], std::string("0"));
        QVERIFY(!w.main->quickPreview()->isVisible());
        w.show->click();
        QCOMPARE(w.list->currentRow(), 25);
        for (int y = 0; y < 20; y += 3)
            for (int x = 0; x < 30; x += 4)
                QCOMPARE(w.shown().pixel(x, y), image.pixel(x, std::min(y + 2, 19)));

        // A cell that is no integer says so and leaves the preview as it was.
        const gfx::Bitmap before = w.shown();
        w.matrix->item(0, 0)->setText("one");
        QString said;
        answerNextMessageBox(QMessageBox::NoButton, &said);
        w.show->click();
        QCOMPARE(said, QString("invalid integer in UserMatrix"));
        QCOMPARE(w.shown(), before);
    }

    void choosingAPresetFillsTheGridAndSelectsTheUserMatrix()
    {
        const gfx::Bitmap image = pattern(30, 20, 6);
        Windows w = opened(image, kDown + "\n");
        QVERIFY(w.presets);
        w.clickEntry("Or");
        emit w.presets->activated(0);
        QCOMPARE(w.list->currentRow(), 25);
        QCOMPARE(w.matrix->item(0, 2)->text(), QString("1"));
        QCOMPARE(w.matrix->item(2, 2)->text(), QString("0"));
        QCOMPARE(w.presets->currentIndex(), 0);
        for (int y = 0; y < 20; y += 3)
            for (int x = 0; x < 30; x += 4)
                QCOMPARE(w.shown().pixel(x, y), image.pixel(x, std::max(y - 2, 0)));
    }

    // The pop-up menu's items ask in the box the window owns and rewrite the file each time.
    void addDeleteAndUpdateRewriteThePresetFile()
    {
        Windows w = opened(pattern(10, 10, 7), kDown + "\n");
        QVERIFY(w.presetMenu);
        w.matrix->item(4, 4)->setText("9");
        InputBoxSeen seen;
        answerNextInputBox("blur", &seen);
        w.presetItem("&Add")->trigger();
        QCOMPARE(seen.caption, QString("Daubix User Filter"));
        QCOMPARE(seen.prompt, QString("Enter Filter Name:"));
        QCOMPARE(seen.initial, QString());
        const std::string blur = "blur=1,1,1,1,1,1,1,1,1,1,1,1,1,1,1,1,1,1,1,1,1,1,1,1,9";
        QCOMPARE(fileText(w.presetFile()), blur + "\n" + kDown + "\n");
        QCOMPARE(w.presets->count(), 2);
        QCOMPARE(w.presets->itemText(0), QString("blur"));

        // An empty answer changes nothing.
        answerNextInputBox({});
        w.presetItem("&Add")->trigger();
        QCOMPARE(w.presets->count(), 2);

        emit w.presets->activated(1);
        w.matrix->item(0, 0)->setText("5");
        answerNextInputBox("Up", &seen);
        w.presetItem("&Update")->trigger();
        QCOMPARE(seen.initial, QString("Down"));
        QCOMPARE(w.presets->itemText(1), QString("Up"));
        QCOMPARE(w.presets->currentIndex(), 1);
        QCOMPARE(fileText(w.presetFile()), blur + "\nUp=5,0,1,0,0,0,0,0,0,0,0,0,0,0,0,0,0,0,0,0,0,0,0,0,0\n");

        w.presetItem("&Delete")->trigger();
        QCOMPARE(w.presets->count(), 1);
        QCOMPARE(w.presets->currentIndex(), -1);
        QCOMPARE(fileText(w.presetFile()), blur + "\n");
        w.presetItem("&Delete")->trigger(); // none chosen: nothing happens
        QCOMPARE(fileText(w.presetFile()), blur + "\n");
    }

    // Use under Source Invert combines the filtered copy with the image, as one undo step.
    void useInThePreviewDrawsTheFilterWithTheCopyMode()
    {
        const gfx::Bitmap image = pattern(30, 20, 8);
        Windows w = opened(image);
        QVERIFY(w.list);
        app::Document& doc = w.doc();
        QAction* invert = w.main->action("copymodes > Source Invert");
        QVERIFY(invert);
        invert->trigger();
        w.clickEntry("Grain");
        const gfx::Bitmap picture = filtered(image, {24, 7, 7}, 24, 16);
        QCOMPARE(w.shown(), picture);
        const int index = doc.undo.index();
        auto* use = w.main->quickPreview()->findChild<QPushButton*>("UseButton");
        QVERIFY(use);
        use->click();
        gfx::Bitmap expected = image;
        for (int y = 0; y < 20; ++y)
            for (int i = 0; i < 30 * 3; ++i)
                expected.scanLine(y)[i] ^= picture.scanLine(y)[i];
        QCOMPARE(doc.image, expected);
        QCOMPARE(doc.undo.index(), index % app::UndoRing::kSlots + 1);
        QVERIFY(w.filters->isVisible()); // the Filters window stays for the next filter
        w.main->findChild<QAction*>("goUndo")->trigger();
        QCOMPARE(doc.image, image);
    }
};

QTEST_MAIN(TDaubixFLFTest)
#include "TDaubixFLFTest.moc"
