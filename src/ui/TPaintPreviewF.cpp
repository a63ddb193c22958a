#include "ui/TPaintPreviewF.h"

#include "app/Document.h"
#include "app/Print.h"
#include "ui/MyPaint.h"
#include "ui/QtHost.h"

#include <QDialogButtonBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QMessageBox>
#include <QPainter>
#include <QPrintDialog>
#include <QPrinter>
#include <QPushButton>
#include <QScrollArea>
#include <QVBoxLayout>

namespace daubix::ui {

TPaintPreviewF::TPaintPreviewF(app::Document& doc, QWidget* parent)
    : QDialog(parent)
    , m_doc(doc)
    , m_printer(std::make_unique<QPrinter>(QPrinter::HighResolution))
{
    setObjectName("TPaintPreviewF");
    setWindowTitle("Daubix Preview");
    setModal(true);

    auto* row = new QHBoxLayout(this);
    auto* scroll = new QScrollArea(this);
    scroll->setObjectName("ScrollBox1");
    scroll->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    scroll->setBackgroundRole(QPalette::Dark);
    m_picture = new MyPaint(m_preview);
    m_picture->setObjectName("Image1");
    scroll->setWidget(m_picture);
    row->addWidget(scroll, 1);

    auto* panel = new QVBoxLayout;
    m_scale = new QLabel(this);
    m_scale->setObjectName("Label1");
    m_scale->setAlignment(Qt::AlignCenter);
    panel->addWidget(m_scale);
    const auto button = [this, panel](const char* name, const char* caption, auto slot) {
        auto* b = new QPushButton(caption, this);
        b->setObjectName(name);
        b->setAutoDefault(false);
        connect(b, &QPushButton::clicked, this, slot);
        panel->addWidget(b);
        return b;
    };
    button("PlusButton", "+", &TPaintPreviewF::PlusClick);
    button("MinusButton", "-", &TPaintPreviewF::MinusClick);
    panel->addSpacing(12);
    button("PrintButton", "Print", &TPaintPreviewF::PrintClick);
    button("SetupButton", "Printer Setup...", &TPaintPreviewF::SetupClick);
    panel->addStretch(1);
    button("CloseButton", "Close", &TPaintPreviewF::reject);
    row->addLayout(panel);
    resize(720, 640);
}

TPaintPreviewF::~TPaintPreviewF() = default;

void TPaintPreviewF::Print1Click()
{
    if (preparePreview())
        exec();
}

bool TPaintPreviewF::preparePreview()
{
    if (m_doc.image.isEmpty())
        return false;
    m_doc.printScale = 2;
    drawPreview();
    return true;
}

// The preview is sized from the printer each time, so a page chosen in the setup dialog shows at once.
void TPaintPreviewF::drawPreview()
{
    m_preview = app::printPreview(m_doc.image, m_printer->width(), m_printer->height(), m_doc.printScale);
    m_scale->setText(QString::number(m_doc.printScale));
    m_picture->imageChanged({0, 0, m_preview.width(), m_preview.height()});
}

void TPaintPreviewF::PlusClick()
{
    m_doc.printScale = app::enlargedPrintScale(m_doc.printScale, m_doc.image.width(), m_doc.image.height());
    drawPreview();
}

void TPaintPreviewF::MinusClick()
{
    m_doc.printScale = app::reducedPrintScale(m_doc.printScale);
    drawPreview();
}

void TPaintPreviewF::SetupClick()
{
    choosePrinter(false);
}

bool TPaintPreviewF::choosePrinter(bool printing)
{
    QPrintDialog dialog(m_printer.get(), this);
    if (!printing)
        if (auto* buttons = dialog.findChild<QDialogButtonBox*>())
            if (QPushButton* ok = buttons->button(QDialogButtonBox::Ok))
                ok->setText("OK");
    if (dialog.exec() != QDialog::Accepted)
        return false;
    drawPreview();
    return true;
}

void TPaintPreviewF::PrintClick()
{
    const bool chosen = !m_printer->printerName().isEmpty() || !m_printer->outputFileName().isEmpty();
    if (!chosen && !choosePrinter(true))
        return;
    if (const gfx::Status printed = printTo(*m_printer); !printed)
        QMessageBox::warning(this, "Daubix", QString::fromStdString(printed.error()));
}

gfx::Status TPaintPreviewF::printTo(QPrinter& printer)
{
    const gfx::Bitmap& image = m_doc.image;
    if (image.isEmpty())
        return {};
    QPainter painter;
    if (!painter.begin(&printer))
        return gfx::Error{"The print job could not start."};
    // A 24-bit image prints from its own rows; other formats are converted for the job only.
    const QImage picture = image.format() == gfx::PixelFormat::Bits24 ? QImage(image.bits(), image.width(),
                               image.height(), static_cast<qsizetype>(image.stride()), QImage::Format_BGR888)
                                                                      : toQImage(image);
    const app::PrintBox box = app::printRect(image.width(), image.height(), m_doc.printScale);
    // The printer gets the image's own pixels, enlarged by picking as the preview shows: no smoothing,
    // and into a PDF (what print jobs become on this platform) without lossy compression.
    painter.setRenderHint(QPainter::SmoothPixmapTransform, false);
    painter.setRenderHint(QPainter::LosslessImageRendering);
    painter.drawImage(QRectF(static_cast<double>(box.left), static_cast<double>(box.top),
                          static_cast<double>(box.right - box.left), static_cast<double>(box.bottom - box.top)),
        picture);
    if (printer.printerState() == QPrinter::Error) {
        printer.abort();
        painter.end();
        return gfx::Error{"Printing failed; the print job was aborted."};
    }
    if (!painter.end())
        return gfx::Error{"Printing failed; the print job could not be finished."};
    return {};
}

} // namespace daubix::ui
