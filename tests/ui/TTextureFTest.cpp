#include "ui/TTextureF.h"

#include "DialogAnswers.h"
#include "app/Document.h"
#include "ui/TDaubixF.h"
#include "ui/TTexturePanel.h"

#include <QAction>
#include <QCheckBox>
#include <QLabel>
#include <QPushButton>
#include <QScrollArea>
#include <QScrollBar>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <functional>

using namespace daubix;
using test::pattern;

class TTextureFTest : public QObject {
    Q_OBJECT
private:
    struct Windows {
        std::unique_ptr<QTemporaryDir> home = std::make_unique<QTemporaryDir>();
        std::unique_ptr<ui::TDaubixF> main;
        ui::TTextureF* texture = nullptr;

        app::Document& doc() { return main->document(); }
        template <typename T> T* control(const char* name) { return texture->findChild<T*>(name); }
        // "Quick Texture...", with what to do while the window shows; the dialog's result.
        // A check that fails inside returns from whileShown alone, and the window still closes.
        int open(const std::function<void()>& whileShown)
        {
            bool shown = false;
            QTimer::singleShot(0, [this, whileShown, &shown] {
                shown = texture->isVisible();
                if (shown)
                    whileShown();
                if (texture->isVisible())
                    texture->reject();
            });
            main->action("Image > Quick > Quick Texture...")->trigger();
            return shown ? texture->result() : -1;
        }
    };
    Windows started(const gfx::Bitmap& image)
    {
        Windows w;
        w.main = std::make_unique<ui::TDaubixF>(w.home->path().toStdString());
        w.main->show();
        w.doc().image = image;
        w.doc().random.seedFixed(11);
        w.texture = w.main->findChild<ui::TTextureF*>("TTextureF");
        return w;
    }

private slots:
    // Made hidden at start, with the panel and the controls as the window's table has them.
    void theWindowIsBuiltAtStart()
    {
        Windows w = started(pattern(40, 30, 1));
        QVERIFY(w.texture);
        QVERIFY(!w.texture->isVisible());
        QCOMPARE(w.texture->windowTitle(), QString("Texture"));
        QVERIFY(w.texture->isModal());
        QCOMPARE(w.texture->size(), QSize(508, 330));
        w.texture->show();
        (void)QTest::qWaitForWindowExposed(w.texture);
        auto* scrollBox = w.control<QScrollArea>("ScrollBox1");
        auto* panel1 = w.control<QWidget>("Panel1");
        auto* tex = w.control<ui::TTexturePanel>("tex");
        QVERIFY(scrollBox && panel1 && tex);
        QCOMPARE(scrollBox->widget(), tex);
        QCOMPARE(panel1->geometry(), QRect(323, 0, 185, 330));
        QCOMPARE(scrollBox->geometry(), QRect(0, 0, 323, 330));
        QCOMPARE(tex->geometry(), QRect(0, 0, 256, 256));
        QCOMPARE(tex->bevelOuter(), ui::TTexturePanel::Bevel::None);
        QVERIFY(tex->caption().isEmpty());
        QCOMPARE(tex->inside(), tex->rect());
        struct Bar {
            const char* name;
            const char* label;
            const char* text;
            int lo, hi, value;
        };
        for (const Bar& b :
            {Bar{"noisebar", "Label1", "Noise", 0, 100, 40}, Bar{"texsize", "Label2", "Texture Size", 8, 240, 60}}) {
            auto* bar = w.control<QScrollBar>(b.name);
            QVERIFY2(bar, b.name);
            QCOMPARE(bar->parentWidget(), panel1);
            QCOMPARE(bar->minimum(), b.lo);
            QCOMPARE(bar->maximum(), b.hi);
            QCOMPARE(bar->value(), b.value);
            auto* label = w.control<QLabel>(b.label);
            QCOMPARE(label->text(), QString(b.text));
            QVERIFY(label->geometry().bottom() < bar->geometry().top()); // the label names the bar below it
        }
        auto* mono = w.control<QCheckBox>("mononoise");
        QCOMPARE(mono->text(), QString("mononoise"));
        QVERIFY(!mono->isChecked());
        QCOMPARE(w.control<QPushButton>("gocolor")->text(), QString("Color"));
        QCOMPARE(w.control<QPushButton>("goUse")->text(), QString("Use"));
        for (QWidget* c :
            std::initializer_list<QWidget*>{mono, w.control<QPushButton>("gocolor"), w.control<QPushButton>("goUse")})
            QVERIFY(panel1->rect().contains(c->geometry()));
        // The tile is olive, 60 pixels, from the start.
        QCOMPARE(w.doc().texture.tile.width(), 60);
        QCOMPARE(w.doc().texture.color, gfx::clOlive);
    }

    // The panel shows the image's size, each pixel the tile's at (x mod s, y mod s); the bars and the box
    // set the panel; "Use" tiles the image as one undo step and closes with OK.
    void theControlsSetThePanelAndUseTilesTheImage()
    {
        const gfx::Bitmap image = pattern(300, 280, 2);
        Windows w = started(image);
        auto* tex = w.control<ui::TTexturePanel>("tex");
        const int undo = w.doc().undo.index();
        QImage shown;
        int revision = 0;
        const int result = w.open([&] {
            QCOMPARE(tex->size(), QSize(300, 280));
            revision = w.doc().texture.revision;
            w.control<QScrollBar>("noisebar")->setValue(70);
            QCOMPARE(w.doc().texture.noiseAmount, 70);
            QVERIFY(w.doc().texture.revision > revision);
            w.control<QScrollBar>("texsize")->setValue(100);
            QCOMPARE(w.doc().texture.textureSize, 100);
            w.control<QCheckBox>("mononoise")->click();
            QVERIFY(w.doc().texture.noiseMonoChrome);
            revision = w.doc().texture.revision;
            shown = tex->grab(QRect(0, 0, 300, 280)).toImage();
            w.control<QPushButton>("goUse")->click();
        });
        QCOMPARE(result, int(QDialog::Accepted));
        QVERIFY(!w.texture->isVisible());
        QCOMPARE(w.doc().texture.revision, revision); // Use made no new tile
        const gfx::Bitmap& tile = w.doc().texture.tile;
        QCOMPARE(tile.width(), 100);
        for (int y = 0; y < 280; ++y)
            for (int x = 0; x < 300; ++x) {
                const gfx::Color expected = tile.pixel(x % 100, y % 100);
                QCOMPARE(w.doc().image.pixel(x, y), expected);
                const QRgb seen = shown.pixel(x, y);
                QCOMPARE(gfx::rgb(qRed(seen), qGreen(seen), qBlue(seen)), expected);
            }
        QCOMPARE(w.doc().undo.index(), undo + 1);
        w.main->action("goUndo")->trigger();
        QCOMPARE(w.doc().image, image);
    }

    // Closing without "Use" changes nothing, and the window keeps its settings and its tile.
    void closingKeepsTheImageAndReopeningShowsTheSameTile()
    {
        const gfx::Bitmap image = pattern(50, 40, 3);
        Windows w = started(image);
        int revision = 0;
        QCOMPARE(w.open([&] {
            w.control<QScrollBar>("texsize")->setValue(33);
            revision = w.doc().texture.revision;
        }),
            int(QDialog::Rejected));
        QCOMPARE(w.doc().image, image);
        QCOMPARE(w.open([&] {
            QCOMPARE(w.control<QScrollBar>("texsize")->value(), 33);
            QCOMPARE(w.doc().texture.revision, revision);
        }),
            int(QDialog::Rejected));
        QCOMPARE(w.doc().image, image);
    }
};

QTEST_MAIN(TTextureFTest)
#include "TTextureFTest.moc"
