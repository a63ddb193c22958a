#include "ui/TDaubixEffectsF.h"

#include "DialogAnswers.h"

#include "app/Arithmetic.h"
#include "app/Document.h"
#include "effects/TketPaintFX.h"
#include "ui/TDaubixF.h"
#include "ui/TQuickPreviewF.h"

#include <QAction>
#include <QLabel>
#include <QPushButton>
#include <QScrollBar>
#include <QTemporaryDir>
#include <QTest>
#include <QTreeWidget>

using namespace daubix;
using test::pattern;

class TDaubixEffectsFTest : public QObject {
    Q_OBJECT
private:
    struct Windows {
        std::unique_ptr<QTemporaryDir> home = std::make_unique<QTemporaryDir>();
        std::unique_ptr<ui::TDaubixF> main;
        ui::TDaubixEffectsF* panel = nullptr;
        QTreeWidget* tree = nullptr;
        QScrollBar* eBar = nullptr;
        QScrollBar* extraBar = nullptr;
        QScrollBar* cxBar = nullptr;
        QScrollBar* cyBar = nullptr;

        app::Document& doc() { return main->document(); }
        const gfx::Bitmap& shown() { return doc().preview.picture; }
        QTreeWidgetItem* item(const QString& caption)
        {
            return tree->findItems(caption, Qt::MatchExactly | Qt::MatchRecursive).value(0);
        }
        void clickEntry(const QString& caption)
        {
            QTreeWidgetItem* entry = item(caption);
            for (QTreeWidgetItem* parent = entry->parent(); parent; parent = parent->parent())
                parent->setExpanded(true);
            tree->scrollToItem(entry);
            QTest::mouseClick(tree->viewport(), Qt::LeftButton, {}, tree->visualItemRect(entry).center());
        }
    };
    // F3 shows the panel; the offscreen platform lays it out and takes clicks.
    Windows opened(const gfx::Bitmap& image)
    {
        Windows w;
        w.main = std::make_unique<ui::TDaubixF>(w.home->path().toStdString());
        w.main->show();
        w.doc().image = image;
        w.panel = w.main->findChild<ui::TDaubixEffectsF*>("TDaubixEffectsF");
        if (!w.panel)
            return w;
        w.tree = w.panel->findChild<QTreeWidget*>("ETree");
        w.eBar = w.panel->findChild<QScrollBar*>("EBar");
        w.extraBar = w.panel->findChild<QScrollBar*>("extrabar");
        w.cxBar = w.panel->findChild<QScrollBar*>("cxbar");
        w.cyBar = w.panel->findChild<QScrollBar*>("cybar");
        if (QAction* f3 = w.main->action("Image > Quick > Quick Effects..."))
            f3->trigger();
        (void)QTest::qWaitForWindowExposed(w.panel);
        return w;
    }

private slots:
    void f3ShowsThePanelWithItsTreeAndBars()
    {
        Windows w = opened(pattern(40, 30, 1));
        QVERIFY(w.panel && w.tree && w.eBar && w.extraBar && w.cxBar && w.cyBar);
        QAction* f3 = w.main->action("Image > Quick > Quick Effects...");
        QVERIFY(f3->isEnabled());
        QCOMPARE(f3->shortcut(), QKeySequence(Qt::Key_F3));
        QVERIFY(w.panel->isVisible());
        QCOMPARE(w.panel->windowTitle(), QString("Daubix Effects"));
        QCOMPARE(w.panel->windowType(), Qt::Tool);
        QVERIFY(w.panel->windowFlags() & Qt::WindowStaysOnTopHint);
        QCOMPARE(w.panel->size(), QSize(222, 373));
        QCOMPARE(w.tree->geometry(), QRect(16, 8, 161, 281));
        QCOMPARE(w.eBar->geometry(), QRect(187, 8, 20, 217));
        QCOMPARE(w.eBar->orientation(), Qt::Vertical);
        QCOMPARE(w.extraBar->geometry(), QRect(16, 304, 145, 15));
        QCOMPARE(w.cxBar->geometry(), QRect(16, 328, 145, 15));
        QCOMPARE(w.cyBar->geometry(), QRect(16, 350, 145, 15));
        QCOMPARE(w.panel->findChild<QLabel*>("Label3")->text(), QString("turb"));
        QCOMPARE(w.panel->findChild<QLabel*>("Label1")->text(), QString("rot cx"));
        QCOMPARE(w.panel->findChild<QLabel*>("Label2")->text(), QString("rot cy"));
        QCOMPARE(w.extraBar->minimum(), 1);
        QCOMPARE(w.extraBar->maximum(), 300);
        QCOMPARE(w.extraBar->value(), 1);
        // The centre bars reach the image's size and stand at its middle.
        QCOMPARE(w.cxBar->maximum(), 40);
        QCOMPARE(w.cxBar->value(), 20);
        QCOMPARE(w.cyBar->maximum(), 30);
        QCOMPARE(w.cyBar->value(), 15);
        // Effects carry their number; groups -1, but Ripple and Texturize 0.
        QCOMPARE(w.item("Fisheye")->data(0, Qt::UserRole).toInt(), 11);
        QCOMPARE(w.item("Julia")->data(0, Qt::UserRole).toInt(), 44);
        QCOMPARE(w.item("Wings")->data(0, Qt::UserRole).toInt(), -1);
        QCOMPARE(w.item("Ripple")->data(0, Qt::UserRole).toInt(), 0);
        QCOMPARE(w.item("Texturize")->data(0, Qt::UserRole).toInt(), 0);
        QCOMPARE(w.item("Overlap")->parent()->text(0), QString("Texturize"));
        QVERIFY(!w.main->quickPreview()->isVisible()); // nothing chosen: nothing previewed
    }

    // Choosing Fisheye sets EBar to 55..100 at 60 and previews it at 0.60; the bar previews again, and
    // the preview's Use draws the picture into the image as one undo step.
    void choosingAnEffectPreviewsItAndUseDrawsIt()
    {
        const gfx::Bitmap image = pattern(40, 30, 2);
        Windows w = opened(image);
        QVERIFY(w.tree);
        w.clickEntry("Fisheye");
        QCOMPARE(w.eBar->minimum(), 55);
        QCOMPARE(w.eBar->maximum(), 100);
        QCOMPARE(w.eBar->value(), 60);
        app::Random random(1);
        effects::TketPaintFX fx(random);
        gfx::Bitmap at60(40, 30), at80(40, 30);
        fx.Fisheye(image, at60, 0.60);
        fx.Fisheye(image, at80, 0.80);
        QVERIFY(w.main->quickPreview()->isVisible());
        QCOMPARE(w.shown(), at60);
        w.eBar->setValue(80);
        QCOMPARE(w.shown(), at80);
        QCOMPARE(w.doc().image, image); // the panel never touches the image
        const int index = w.doc().undo.index();
        w.main->quickPreview()->findChild<QPushButton*>("UseButton")->click();
        QCOMPARE(w.doc().image, at80);
        QCOMPARE(w.doc().undo.index(), index % app::UndoRing::kSlots + 1);
        // The panel keeps its choice and bars for the next time.
        w.panel->close();
        w.main->action("Image > Quick > Quick Effects...")->trigger();
        QCOMPARE(w.tree->currentItem()->text(0), QString("Fisheye"));
        QCOMPARE(w.eBar->value(), 80);
    }

    void plasmaMovesTurbToTenAndTheRippleGroupRunsContrast()
    {
        const gfx::Bitmap image = pattern(40, 30, 3);
        Windows w = opened(image);
        QVERIFY(w.tree);
        QCOMPARE(w.extraBar->value(), 1);
        w.clickEntry("Plasma");
        QCOMPARE(w.extraBar->value(), 10);
        QCOMPARE(w.eBar->maximum(), 100);
        QCOMPARE(w.eBar->minimum(), 1);

        w.clickEntry("Ripple");
        gfx::Bitmap contrast = image;
        app::Random random(1);
        effects::TketPaintFX(random).Contrast(contrast, 0);
        QCOMPARE(w.shown(), contrast);
        QCOMPARE(w.eBar->maximum(), 100);
        QCOMPARE(w.eBar->minimum(), 0);
    }

    // A click sets the bar's range and position and runs the effect once: the colour noise draws three
    // numbers a pixel, so the generator shows how often it ran.
    void aClickPreviewsOnce()
    {
        Windows w = opened(pattern(40, 30, 4));
        QVERIFY(w.tree);
        w.doc().random.seed(5);
        w.clickEntry("Color");
        app::Random once(5);
        for (int i = 0; i < 3 * 40 * 30; ++i)
            once(1);
        QCOMPARE(w.doc().random.state(), once.state());
        QCOMPARE(w.eBar->maximum(), 200);
    }

    // The keys move the selection; the bar then previews the entry they reached.
    void theKeysChooseWhatTheBarRuns()
    {
        const gfx::Bitmap image = pattern(40, 30, 5);
        Windows w = opened(image);
        QVERIFY(w.tree);
        w.clickEntry("Saturation");
        QTest::keyClick(w.tree, Qt::Key_Up); // to Contrast
        QCOMPARE(w.tree->currentItem()->text(0), QString("Contrast"));
        w.eBar->setValue(70);
        gfx::Bitmap contrast = image;
        app::Random random(1);
        effects::TketPaintFX(random).Contrast(contrast, 70);
        QCOMPARE(w.shown(), contrast);
        QCOMPARE(w.tree->currentItem()->text(0), QString("Contrast"));
    }
};

QTEST_MAIN(TDaubixEffectsFTest)
#include "TDaubixEffectsFTest.moc"
