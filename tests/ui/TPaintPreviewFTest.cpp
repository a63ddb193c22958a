#include "ui/TPaintPreviewF.h"

#include "app/Document.h"
#include "app/Print.h"
#include "ui/MyPaint.h"
#include "ui/TDaubixF.h"

#include <QAction>
#include <QDialogButtonBox>
#include <QLabel>
#include <QMessageBox>
#include <QPrintDialog>
#include <QPrinter>
#include <QProcess>
#include <QPushButton>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

using namespace daubix;

namespace {

gfx::Bitmap stripes(int width, int height)
{
    gfx::Bitmap b(width, height);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            b.setPixel(x, y, gfx::rgb(x * 7 % 256, y * 11 % 256, (x + y) % 2 * 255));
    return b;
}

// The images pdfimages lists: one line each, split into its columns (page num type width height color
// comp bpc enc interp object ID x-ppi y-ppi size ratio).
QList<QStringList> pdfImages(const QString& pdf)
{
    QProcess run;
    run.start("pdfimages", {"-list", pdf});
    if (!run.waitForFinished(20000) || run.exitCode() != 0)
        return {};
    QList<QStringList> images;
    const QStringList lines = QString::fromLocal8Bit(run.readAllStandardOutput()).split('\n', Qt::SkipEmptyParts);
    for (const QString& line : lines.mid(2)) // a header and a rule
        images << line.split(' ', Qt::SkipEmptyParts);
    return images;
}

// The first image of the PDF, as pdfimages extracts it losslessly.
QImage firstPdfImage(const QString& pdf, const QString& prefix)
{
    if (QProcess::execute("pdfimages", {"-png", "-f", "1", "-l", "1", pdf, prefix}) != 0)
        return {};
    return QImage(prefix + "-000.png");
}

// Every pixel of the printed picture is the image's own, without lossy compression.
bool samePixels(const QImage& printed, const gfx::Bitmap& image)
{
    if (printed.size() != QSize(image.width(), image.height()))
        return false;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x) {
            const gfx::Color c = image.pixel(x, y);
            if (printed.pixel(x, y) != qRgb(gfx::red(c), gfx::green(c), gfx::blue(c)))
                return false;
        }
    return true;
}

QPushButton* button(QWidget& window, const char* name)
{
    return window.findChild<QPushButton*>(name);
}

} // namespace

class TPaintPreviewFTest : public QObject {
    Q_OBJECT
private:
    QTemporaryDir place;

    void pdfPrinter(QPrinter& printer, const QString& name)
    {
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(place.filePath(name));
    }

private slots:
    void initTestCase()
    {
        if (QStandardPaths::findExecutable("pdfimages").isEmpty())
            qWarning("pdfimages is missing: the PDF checks will be skipped");
    }

    // The print button's path into a PDF: the image goes in once at its own W x H, and its resolution
    // on the page is the printer's divided by the scale.
    void printsTheImageAtItsOwnSizeAndTheScale_data()
    {
        QTest::addColumn<int>("plusPresses");
        QTest::addColumn<int>("ppi");
        QTest::newRow("scale 2") << 0 << 600;
        QTest::newRow("scale 8") << 2 << 150;
    }
    void printsTheImageAtItsOwnSizeAndTheScale()
    {
        if (QStandardPaths::findExecutable("pdfimages").isEmpty())
            QSKIP("pdfimages is missing");
        QFETCH(int, plusPresses);
        QFETCH(int, ppi);
        app::Document doc;
        doc.image = stripes(37, 23);
        ui::TPaintPreviewF window(doc);
        QVERIFY(window.preparePreview());
        for (int i = 0; i < plusPresses; ++i)
            button(window, "PlusButton")->click();
        QPrinter printer(QPrinter::HighResolution);
        pdfPrinter(printer, QString("scale%1.pdf").arg(doc.printScale));
        QCOMPARE(printer.resolution(), 1200);
        QVERIFY(window.printTo(printer).ok());
        const QList<QStringList> images = pdfImages(printer.outputFileName());
        QCOMPARE(images.size(), 1);
        QCOMPARE(images[0].value(3), QString("37"));
        QCOMPARE(images[0].value(4), QString("23"));
        QCOMPARE(images[0].value(9), QString("no")); // no interpolation: enlarged pixels stay square
        QCOMPARE(images[0].value(12), QString::number(ppi));
        QCOMPARE(images[0].value(13), QString::number(ppi));
        QVERIFY(samePixels(firstPdfImage(printer.outputFileName(), place.filePath("scaled")), doc.image));
    }

    void thePrintButtonPrintsToTheChosenFile()
    {
        if (QStandardPaths::findExecutable("pdfimages").isEmpty())
            QSKIP("pdfimages is missing");
        app::Document doc;
        doc.image = stripes(5, 3).converted(gfx::PixelFormat::Bits8);
        ui::TPaintPreviewF window(doc);
        QVERIFY(window.preparePreview());
        pdfPrinter(window.printer(), "button.pdf");
        button(window, "PrintButton")->click();
        const QList<QStringList> images = pdfImages(window.printer().outputFileName());
        QCOMPARE(images.size(), 1);
        QCOMPARE(images[0].value(3), QString("5"));
        QCOMPARE(images[0].value(4), QString("3"));
        QVERIFY(samePixels(firstPdfImage(window.printer().outputFileName(), place.filePath("button")), doc.image));
    }

    void aJobThatCannotStartIsReported()
    {
        app::Document doc;
        ui::TPaintPreviewF window(doc);
        QPrinter printer(QPrinter::HighResolution);
        pdfPrinter(printer, "no such folder/out.pdf");
        const gfx::Status printed = window.printTo(printer);
        QVERIFY(!printed.ok());
        QCOMPARE(QString::fromStdString(printed.error()), QString("The print job could not start."));
    }

    // Without a printer or an output file the print button asks for one; the setup button asks the
    // same with an accepting button that does not promise to print. Cancelling prints nothing.
    void printingWithoutADestinationAsksForOneFirst()
    {
        app::Document doc;
        ui::TPaintPreviewF window(doc);
        QVERIFY(window.preparePreview());
        if (!window.printer().printerName().isEmpty())
            QSKIP("a default printer is configured");
        QStringList accepting;
        const auto cancelTheDialog = [&] {
            QTimer::singleShot(0, [&] {
                auto* dialog = window.findChild<QPrintDialog*>();
                if (!dialog || !dialog->isVisible())
                    return;
                accepting << dialog->findChild<QDialogButtonBox*>()->button(QDialogButtonBox::Ok)->text();
                dialog->reject();
            });
        };
        cancelTheDialog();
        button(window, "PrintButton")->click();
        cancelTheDialog();
        button(window, "SetupButton")->click();
        QCOMPARE(accepting, QStringList({"&Print", "OK"}));
        QVERIFY(window.printer().outputFileName().isEmpty());
    }

    void thePreviewIsAFifthOfThePrintableAreaWithTheScaleShown()
    {
        app::Document doc;
        doc.image = stripes(300, 200);
        doc.printScale = 16;
        ui::TPaintPreviewF window(doc);
        pdfPrinter(window.printer(), "unused.pdf");
        QVERIFY(window.preparePreview());
        QCOMPARE(doc.printScale, 2);
        auto* scale = window.findChild<QLabel*>("Label1");
        const int pageWidth = window.printer().width(), pageHeight = window.printer().height();
        QVERIFY(pageWidth > 5000); // 1200 dots per inch
        const auto expect = [&](int s) {
            QCOMPARE(scale->text(), QString::number(s));
            QCOMPARE(window.preview(), app::printPreview(doc.image, pageWidth, pageHeight, s));
            QCOMPARE(window.findChild<ui::MyPaint*>("Image1")->size(), QSize(pageWidth / 5, pageHeight / 5));
        };
        expect(2);
        button(window, "PlusButton")->click();
        expect(4);
        for (const int s : {2, 1, 1}) {
            button(window, "MinusButton")->click();
            expect(s);
        }
        QCOMPARE(window.preview().pixel(9, 10), gfx::clWhite);
    }

    void anEmptyImageShowsNothing()
    {
        app::Document doc;
        doc.image = gfx::Bitmap();
        doc.printScale = 8;
        ui::TPaintPreviewF window(doc);
        QVERIFY(!window.preparePreview());
        window.Print1Click(); // would block if it showed
        QCOMPARE(doc.printScale, 8);
        QVERIFY(window.preview().isEmpty());
    }

    void theFileMenuOpensTheModalPreview()
    {
        QTemporaryDir home;
        ui::TDaubixF main(home.path().toStdString());
        QAction* print = main.action("File > Print...");
        QVERIFY(print && print->isEnabled());
        main.document().printScale = 32;
        QString title;
        bool modal = false;
        int scale = 0;
        QTimer::singleShot(0, [&] {
            auto* preview = main.findChild<ui::TPaintPreviewF*>();
            if (!preview || !preview->isVisible())
                return;
            title = preview->windowTitle();
            modal = preview->isModal();
            scale = main.document().printScale;
            button(*preview, "CloseButton")->click();
        });
        print->trigger();
        QCOMPARE(title, QString("Daubix Preview"));
        QVERIFY(modal);
        QCOMPARE(scale, 2);
        QVERIFY(!main.findChild<ui::TPaintPreviewF*>()->isVisible());
    }
};

QTEST_MAIN(TPaintPreviewFTest)
#include "TPaintPreviewFTest.moc"
