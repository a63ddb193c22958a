#include "ui/TQuickPreviewF.h"

#include "DialogAnswers.h"

#include "app/Document.h"
#include "io/FileWriter.h"
#include "io/GifCodec.h"
#include "ui/MyPaint.h"
#include "ui/TDaubixF.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QFileDialog>
#include <QMessageBox>
#include <QPushButton>
#include <QScrollArea>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <filesystem>

using namespace daubix;
using test::answerNextFileDialog;
using test::FileDialogSeen;
using test::answerNextMessageBox;
using test::pattern;

namespace {

QColor qcolor(gfx::Color c)
{
    return QColor(gfx::red(c), gfx::green(c), gfx::blue(c));
}

std::vector<std::uint8_t> fileBytes(const QString& path)
{
    auto bytes = io::readFile(path.toStdString(), 1 << 20);
    return bytes.ok() ? bytes.value() : std::vector<std::uint8_t>{};
}

std::vector<std::uint8_t> gifBytes(const gfx::Bitmap& picture, io::GifControl control)
{
    auto bytes = io::encodeGif(picture, app::GifSettings{}, {.control = control});
    return bytes.ok() ? bytes.value() : std::vector<std::uint8_t>{};
}

} // namespace

class TQuickPreviewFTest : public QObject {
    Q_OBJECT
private:
    QTemporaryDir home;

    // The main window with its preview window and the preview's controls.
    struct Windows {
        std::unique_ptr<ui::TDaubixF> main;
        ui::TQuickPreviewF* preview = nullptr;
        QPushButton* use = nullptr;
        QPushButton* save = nullptr;
        QPushButton* counter = nullptr;
        QCheckBox* transparent = nullptr;
        ui::MyPaint* view = nullptr;
    };
    Windows start(const gfx::Bitmap& image)
    {
        Windows w;
        w.main = std::make_unique<ui::TDaubixF>(home.path().toStdString());
        w.main->show();
        w.main->document().image = image;
        w.main->paintView()->imageChanged({0, 0, image.width(), image.height()});
        w.preview = w.main->quickPreview();
        if (!w.preview)
            return w;
        w.use = w.preview->findChild<QPushButton*>("UseButton");
        w.save = w.preview->findChild<QPushButton*>("SaveButton");
        w.counter = w.preview->findChild<QPushButton*>("CounterButton");
        w.transparent = w.preview->findChild<QCheckBox*>("transparent");
        w.view = w.preview->findChild<ui::MyPaint*>("PreviewImage");
        return w;
    }

private slots:
    void theWindowExistsHiddenFromTheStart()
    {
        Windows w = start(gfx::Bitmap(40, 30));
        QVERIFY(w.preview && w.use && w.save && w.counter && w.transparent && w.view);
        QVERIFY(!w.preview->isVisible());
        QCOMPARE(w.preview->parentWidget(), w.main.get());
        QCOMPARE(w.preview->windowTitle(), QString("Daubix Preview"));
        QCOMPARE(w.preview->windowType(), Qt::Tool);
        QVERIFY(w.preview->windowFlags() & Qt::WindowStaysOnTopHint);
        QCOMPARE(w.use->text(), QString("Use"));
        QCOMPARE(w.save->text(), QString("Save..."));
        QCOMPARE(w.counter->text(), QString("0"));
        QCOMPARE(w.transparent->text(), QString("transparent"));
        QVERIFY(!w.transparent->isChecked());
        QCOMPARE(w.view->parentWidget()->parentWidget(), w.preview->findChild<QScrollArea*>("ScrollBox1"));
    }

    // The picture is moved in, not copied, and painted one to one from the document's own bitmap.
    void showPictureTakesThePictureOverAndShowsIt()
    {
        Windows w = start(gfx::Bitmap(40, 30));
        QVERIFY(w.preview);
        gfx::Bitmap picture = pattern(53, 37, 1);
        const gfx::Bitmap expected = picture;
        const std::uint8_t* bits = picture.bits();
        w.preview->showPicture(std::move(picture));
        QVERIFY(w.preview->isVisible());
        const app::Document& doc = w.main->document();
        QCOMPARE(doc.preview.picture.bits(), bits);
        QCOMPARE(doc.preview.picture, expected);
        QCOMPARE(w.view->size(), QSize(53, 37));
        const QImage shown = w.view->grab().toImage();
        for (const auto& [x, y] : {std::pair{0, 0}, std::pair{52, 36}, std::pair{20, 11}})
            QCOMPARE(shown.pixelColor(x, y), qcolor(expected.pixel(x, y)));
        QCOMPARE(doc.image, gfx::Bitmap(40, 30)); // nothing changes before Use
    }

    void saveAndTheCounterButtonWriteNumberedFrames()
    {
        QTemporaryDir place;
        Windows w = start(gfx::Bitmap(40, 30));
        QVERIFY(w.preview);
        const gfx::Bitmap first = pattern(40, 30, 2), second = pattern(40, 30, 3);
        w.preview->showPicture(first);
        FileDialogSeen seen;
        answerNextFileDialog(place.filePath("base.gif"), &seen);
        w.save->click();
        QCOMPARE(seen.filters, QStringList{"GIF Images (*.gif)"});
        QCOMPARE(seen.suffix, QString("gif"));
        QCOMPARE(seen.parent, w.preview);
        QCOMPARE(w.counter->text(), QString("2"));
        w.preview->showPicture(second);
        QCOMPARE(w.counter->text(), QString("2")); // a new picture carries on with the frames
        w.counter->click();
        QCOMPARE(w.counter->text(), QString("3"));
        QCOMPARE(QDir(place.path()).entryList(QDir::Files), QStringList({"base1.gif", "base2.gif"}));
        QCOMPARE(fileBytes(place.filePath("base1.gif")), gifBytes(first, io::GifControl::None));
        QCOMPARE(fileBytes(place.filePath("base2.gif")), gifBytes(second, io::GifControl::None));
        QCOMPARE(w.main->document().image, gfx::Bitmap(40, 30));

        // Closing forgets the base name: the counter button then asks, like Save... (cancelled here).
        w.preview->close();
        QCOMPARE(w.counter->text(), QString("0"));
        QCOMPARE(w.main->document().preview.baseName, std::string());
        w.preview->showPicture(second);
        answerNextFileDialog({});
        w.counter->click();
        QCOMPARE(w.counter->text(), QString("0"));
        QCOMPARE(QDir(place.path()).entryList(QDir::Files).size(), 2);

        // A name typed without an extension takes the dialog's "gif"; the base is the same either way.
        answerNextFileDialog(place.filePath("sky"));
        w.counter->click();
        QCOMPARE(w.counter->text(), QString("2"));
        QCOMPARE(fileBytes(place.filePath("sky1.gif")), gifBytes(second, io::GifControl::None));
    }

    void theTransparentBoxGoesIntoTheFrames()
    {
        QTemporaryDir place;
        Windows w = start(gfx::Bitmap(40, 30));
        QVERIFY(w.transparent);
        const gfx::Bitmap picture = pattern(17, 9, 4);
        w.preview->showPicture(picture);
        w.transparent->click();
        QVERIFY(w.main->document().preview.transparent);
        answerNextFileDialog(place.filePath("t.gif"));
        w.save->click();
        QCOMPARE(fileBytes(place.filePath("t1.gif")), gifBytes(picture, io::GifControl::BottomLeftTransparent));
        // Closing keeps the box as it is.
        w.preview->close();
        w.preview->showPicture(picture);
        QVERIFY(w.transparent->isChecked());
    }

    void aFailedFrameSaysWhyOverThePreviewAndKeepsTheCounter()
    {
        QTemporaryDir place;
        Windows w = start(gfx::Bitmap(40, 30));
        QVERIFY(w.preview);
        w.preview->showPicture(pattern(40, 30, 5));
        QVERIFY(QDir(place.path()).mkdir("f1.gif"));
        QString text;
        QWidget* parent = nullptr;
        answerNextMessageBox(QMessageBox::Ok, &text, &parent);
        answerNextFileDialog(place.filePath("f.gif"));
        w.save->click();
        QCOMPARE(text, "Cannot write \"" + place.filePath("f1.gif") + "\": Is a directory");
        QCOMPARE(parent, w.preview);
        QCOMPARE(w.counter->text(), QString("1"));
        QVERIFY(QDir(place.path()).rmdir("f1.gif"));
        w.counter->click();
        QCOMPARE(w.counter->text(), QString("2"));
        QVERIFY(QFile::exists(place.filePath("f1.gif")));
    }

    // Under Source Invert the picture is combined with the image, as one undo step; the window closes.
    void useDrawsWithTheCanvasCopyModeAsOneUndoStep()
    {
        const gfx::Bitmap image = pattern(40, 30, 6);
        Windows w = start(image);
        QVERIFY(w.use);
        app::Document& doc = w.main->document();
        doc.modified = false;
        QAction* invert = w.main->action("copymodes > Source Invert");
        QVERIFY(invert && invert->isEnabled());
        invert->trigger();
        QCOMPARE(doc.canvas.copyMode, gfx::kSrcInvert);
        const gfx::Bitmap picture = pattern(25, 20, 7);
        QTemporaryDir place;
        w.preview->showPicture(picture);
        answerNextFileDialog(place.filePath("u.gif"));
        w.save->click();
        QCOMPARE(w.counter->text(), QString("2"));

        const int index = doc.undo.index();
        w.use->click();
        gfx::Bitmap expected = image;
        for (int y = 0; y < 20; ++y)
            for (int i = 0; i < 25 * 3; ++i)
                expected.scanLine(y)[i] ^= picture.scanLine(y)[i];
        QCOMPARE(doc.image, expected);
        QVERIFY(doc.image != image);
        QCOMPARE(doc.undo.index(), index % app::UndoRing::kSlots + 1);
        QCOMPARE(doc.undo.newest(), image);
        QVERIFY(doc.modified);
        QVERIFY(!w.preview->isVisible());
        QCOMPARE(w.counter->text(), QString("0"));
        QCOMPARE(doc.preview.baseName, std::string());
        QVERIFY(doc.preview.picture.isEmpty());
        const QImage shown = w.main->paintView()->grab().toImage();
        for (const auto& [x, y] : {std::pair{3, 4}, std::pair{24, 19}, std::pair{30, 25}})
            QCOMPARE(shown.pixelColor(x, y), qcolor(expected.pixel(x, y)));

        w.main->findChild<QAction*>("goUndo")->trigger();
        QCOMPARE(doc.image, image);
    }
};

QTEST_MAIN(TQuickPreviewFTest)
#include "TQuickPreviewFTest.moc"
