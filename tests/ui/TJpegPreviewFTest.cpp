#include "ui/TJpegPreviewF.h"

#include "DialogAnswers.h"

#include "app/Document.h"
#include "io/FileWriter.h"
#include "io/JpegCodec.h"
#include "ui/MyPaint.h"
#include "ui/TDaubixF.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>
#include <QScrollArea>
#include <QScrollBar>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

using namespace daubix;
using test::answerNextMessageBox;

namespace {

// Smooth colour with a few edges: a picture whose size in bytes moves with the quality.
gfx::Bitmap shaded(int width, int height)
{
    gfx::Bitmap b(width, height);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            b.setPixel(x, y, gfx::rgb((x * 255) / width, (y * 255) / height, (x / 16 + y / 16) % 2 ? 230 : 20));
    return b;
}

std::vector<std::uint8_t> encoded(const gfx::Bitmap& image, int quality, bool grey)
{
    auto bytes = io::encodeJpeg(image, quality, grey);
    return bytes.ok() ? bytes.value() : std::vector<std::uint8_t>{};
}

QString sizeText(const gfx::Bitmap& image, int quality, bool grey)
{
    return "Size=" + QString::number(encoded(image, quality, grey).size());
}

gfx::Bitmap decoded(const gfx::Bitmap& image, int quality, bool grey)
{
    auto picture = io::decodeJpeg(encoded(image, quality, grey));
    return picture.ok() ? picture.value() : gfx::Bitmap();
}

} // namespace

class TJpegPreviewFTest : public QObject {
    Q_OBJECT
private:
    QTemporaryDir home;

    // The main window with a picture of its own, and the preview opened as Quick JPEG opens it.
    struct Opened {
        std::unique_ptr<ui::TDaubixF> main;
        ui::TJpegPreviewF* preview = nullptr;
        QLabel* size = nullptr;
        QScrollBar* quality = nullptr;
        QCheckBox* grey = nullptr;
        QPushButton* use = nullptr;
        QPushButton* save = nullptr;
    };
    Opened open(const gfx::Bitmap& image)
    {
        Opened o;
        o.main = std::make_unique<ui::TDaubixF>(home.path().toStdString());
        o.main->show();
        o.main->document().image = image;
        o.main->paintView()->imageChanged({0, 0, image.width(), image.height()});
        QAction* item = o.main->action("Image > Quick > Quick JPEG...");
        if (!item || !item->isEnabled())
            return o;
        item->trigger();
        o.preview = o.main->findChild<ui::TJpegPreviewF*>("TJpegPreviewF");
        if (!o.preview)
            return o;
        o.size = o.preview->findChild<QLabel*>("SizeLabel");
        o.quality = o.preview->findChild<QScrollBar*>("QualityBar");
        o.grey = o.preview->findChild<QCheckBox*>("Grayscale");
        o.use = o.preview->findChild<QPushButton*>("UseButton");
        o.save = o.preview->findChild<QPushButton*>("SaveButton");
        return o;
    }

private slots:
    void quickJpegShowsTheCompressedSizeAndPicture()
    {
        const gfx::Bitmap image = shaded(97, 61);
        Opened o = open(image);
        QVERIFY(o.preview && o.size && o.quality && o.grey && o.use && o.save);
        QVERIFY(o.preview->isVisible());
        QCOMPARE(o.preview->windowTitle(), QString("JPEG Preview"));
        QVERIFY(o.preview->windowFlags() & Qt::WindowStaysOnTopHint);
        QCOMPARE(o.preview->windowType(), Qt::Tool);
        QCOMPARE(o.quality->orientation(), Qt::Vertical);
        QCOMPARE(o.quality->minimum(), 1);
        QCOMPARE(o.quality->maximum(), 100);
        QCOMPARE(o.quality->value(), 10);
        QCOMPARE(o.grey->text(), QString("Grayscale"));
        QVERIFY(!o.grey->isChecked());
        QCOMPARE(o.save->text(), QString("Save"));
        QCOMPARE(o.use->text(), QString("Use"));
        QCOMPARE(o.use->toolTip(), QString("Assign to Drawing"));

        QCOMPARE(o.size->text(), sizeText(image, 10, false));
        QCOMPARE(o.preview->previewPicture(), decoded(image, 10, false));
        // The picture is shown one to one in the scroll box on the left.
        auto* view = o.preview->findChild<ui::MyPaint*>("PreviewImage");
        QVERIFY(view);
        QCOMPARE(view->parentWidget()->parentWidget(), o.preview->findChild<QScrollArea*>("ScrollBox1"));
        QCOMPARE(view->size(), QSize(97, 61));
        const gfx::Color c = o.preview->previewPicture().pixel(40, 30);
        QCOMPARE(view->grab().toImage().pixelColor(40, 30), QColor(gfx::red(c), gfx::green(c), gfx::blue(c)));
    }

    void grayscaleGivesEqualChannelsAndItsOwnSize()
    {
        const gfx::Bitmap image = shaded(50, 40);
        Opened o = open(image);
        QVERIFY(o.grey);
        o.grey->click();
        QVERIFY(o.main->document().jpegPreview.grey);
        QCOMPARE(o.size->text(), sizeText(image, 10, true));
        const gfx::Bitmap& p = o.preview->previewPicture();
        QCOMPARE(p, decoded(image, 10, true));
        for (int y = 0; y < p.height(); ++y)
            for (int x = 0; x < p.width(); ++x) {
                const gfx::Color c = p.pixel(x, y);
                QVERIFY(gfx::red(c) == gfx::green(c) && gfx::green(c) == gfx::blue(c));
            }
        o.grey->click();
        QCOMPARE(o.size->text(), sizeText(image, 10, false));
    }

    void barMovesAreCoalescedAndKeptInTheDocument()
    {
        const gfx::Bitmap image = shaded(64, 64);
        Opened o = open(image);
        QVERIFY(o.quality);
        const QString atTen = o.size->text();
        for (const int q : {30, 55, 80})
            o.quality->setValue(q);
        // Nothing is compressed while the moves come in; then once, at the newest position.
        QCOMPARE(o.size->text(), atTen);
        QCOMPARE(o.main->document().jpegPreview.quality, 80);
        QTRY_COMPARE(o.size->text(), sizeText(image, 80, false));
        QCOMPARE(o.preview->previewPicture(), decoded(image, 80, false));

        // Closed and opened again, the window keeps the bar where it was.
        o.preview->close();
        QVERIFY(o.preview->previewPicture().isEmpty()); // a closed window holds no picture
        o.main->action("Image > Quick > Quick JPEG...")->trigger();
        QCOMPARE(o.quality->value(), 80);
        QCOMPARE(o.size->text(), sizeText(image, 80, false));
    }

    void useReplacesTheImageAsOneUndoStep()
    {
        const gfx::Bitmap image = shaded(80, 50);
        Opened o = open(image);
        QVERIFY(o.use);
        app::Document& doc = o.main->document();
        doc.modified = false;
        o.quality->setValue(3);
        // Use takes the picture for the bar's newest position even when the step has not run yet.
        const gfx::Bitmap expected = decoded(image, 3, false);
        const int index = doc.undo.index();
        o.use->click();
        QCOMPARE(doc.image, expected);
        QVERIFY(doc.modified);
        QCOMPARE(doc.undo.index(), index % app::UndoRing::kSlots + 1);
        QCOMPARE(doc.undo.newest(), image);
        QVERIFY(!o.preview->isVisible());
        const gfx::Color c = expected.pixel(70, 10);
        QCOMPARE(
            o.main->paintView()->grab().toImage().pixelColor(70, 10), QColor(gfx::red(c), gfx::green(c), gfx::blue(c)));
        o.main->findChild<QAction*>("goUndo")->trigger();
        QCOMPARE(doc.image, image);
    }

    void saveForcesJpgAsksBeforeReplacingAndWritesColour()
    {
        QTemporaryDir place;
        const gfx::Bitmap image = shaded(33, 21);
        Opened o = open(image);
        QVERIFY(o.save);
        o.quality->setValue(60);
        o.grey->click(); // Save ignores it
        const QString before = o.size->text();
        const std::vector<std::uint8_t> old{'o', 'l', 'd'};
        QVERIFY(io::writeFileAtomically(place.filePath("pic.jpg").toStdString(), old).ok());
        const auto bytesOf = [&](const QString& name) {
            auto bytes = io::readFile(place.filePath(name).toStdString(), 1 << 20);
            return bytes.ok() ? bytes.value() : std::vector<std::uint8_t>{};
        };
        o.preview->askSaveName = [&] { return place.filePath("pic.png"); };

        QString asked;
        answerNextMessageBox(QMessageBox::No, &asked);
        o.save->click();
        QCOMPARE(asked, QString("Replace pic.jpg?"));
        QCOMPARE(bytesOf("pic.jpg"), old);
        QVERIFY(!QFile::exists(place.filePath("pic.png")));
        QCOMPARE(o.size->text(), before);

        answerNextMessageBox(QMessageBox::Yes);
        o.save->click();
        QCOMPARE(bytesOf("pic.jpg"), encoded(image, 60, false));
        QVERIFY(!QFile::exists(place.filePath("pic.png")));
        QCOMPARE(o.size->text(), QString("jpeg size"));

        // A name the dialog confirmed as it is, and a cancelled dialog.
        o.preview->askSaveName = [&] { return place.filePath("new.jpg"); };
        o.save->click();
        QCOMPARE(bytesOf("new.jpg"), encoded(image, 60, false));
        o.preview->askSaveName = [] { return QString(); };
        o.save->click();
        QCOMPARE(QDir(place.path()).entryList(QDir::Files), QStringList({"new.jpg", "pic.jpg"}));
    }

    void aFailedStepShowsItsMessageAndOffersNothingToUse()
    {
        Opened o;
        QString shown;
        answerNextMessageBox(QMessageBox::Ok, &shown);
        o = open(gfx::Bitmap(65501, 1));
        QVERIFY(o.use);
        QCOMPARE(shown, QString("A JPEG picture can be at most 65500 pixels wide and high."));
        QVERIFY(!o.use->isEnabled());
        QVERIFY(o.preview->previewPicture().isEmpty());
        QCOMPARE(o.main->document().image, gfx::Bitmap(65501, 1));
        QVERIFY(!o.main->document().modified);
    }
};

QTEST_MAIN(TJpegPreviewFTest)
#include "TJpegPreviewFTest.moc"
