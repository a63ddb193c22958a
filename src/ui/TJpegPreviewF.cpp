#include "ui/TJpegPreviewF.h"

#include "app/Document.h"
#include "io/JpegPreviewCommands.h"
#include "ui/MyPaint.h"

#include <QApplication>
#include <QCheckBox>
#include <QCloseEvent>
#include <QFileDialog>
#include <QHBoxLayout>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>
#include <QScrollArea>
#include <QScrollBar>
#include <QSignalBlocker>
#include <QVBoxLayout>

namespace daubix::ui {

TJpegPreviewF::TJpegPreviewF(app::Document& doc, app::Host& host, QWidget* parent)
    : QWidget(parent, Qt::Tool | Qt::WindowStaysOnTopHint)
    , m_doc(doc)
    , m_host(host)
{
    setObjectName("TJpegPreviewF");
    setWindowTitle("JPEG Preview");
    m_pending.setSingleShot(true);
    m_pending.setInterval(0);
    connect(&m_pending, &QTimer::timeout, this, [this] { preview(); });

    auto* row = new QHBoxLayout(this);
    row->setContentsMargins(0, 0, 0, 0);
    row->setSpacing(0);
    m_scrollBox = new QScrollArea(this);
    m_scrollBox->setObjectName("ScrollBox1");
    m_scrollBox->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    m_view = new MyPaint(m_preview);
    m_view->setObjectName("PreviewImage");
    m_view->setMouseTracking(false);
    m_scrollBox->setWidget(m_view);
    row->addWidget(m_scrollBox, 1);

    auto* panel = new QWidget(this);
    panel->setObjectName("Panel1");
    panel->setFixedWidth(96);
    auto* column = new QVBoxLayout(panel);
    column->setContentsMargins(6, 6, 6, 6);
    m_quality = new QScrollBar(Qt::Vertical, panel);
    m_quality->setObjectName("QualityBar");
    m_quality->setRange(1, 100);
    m_quality->setPageStep(10);
    m_quality->setValue(m_doc.jpegPreview.quality);
    connect(m_quality, &QScrollBar::valueChanged, this, &TJpegPreviewF::QualityBarChange);
    column->addWidget(m_quality, 1, Qt::AlignHCenter);
    m_grey = new QCheckBox("Grayscale", panel);
    m_grey->setObjectName("Grayscale");
    m_grey->setChecked(m_doc.jpegPreview.grey);
    connect(m_grey, &QCheckBox::clicked, this, &TJpegPreviewF::GrayscaleClick);
    column->addWidget(m_grey);
    m_size = new QLabel("Size=", panel);
    m_size->setObjectName("SizeLabel");
    column->addWidget(m_size);
    m_save = new QPushButton("Save", panel);
    m_save->setObjectName("SaveButton");
    connect(m_save, &QPushButton::clicked, this, &TJpegPreviewF::SaveClick);
    column->addWidget(m_save);
    m_use = new QPushButton("Use", panel);
    m_use->setObjectName("UseButton");
    m_use->setToolTip("Assign to Drawing");
    m_use->setEnabled(false);
    connect(m_use, &QPushButton::clicked, this, &TJpegPreviewF::UseClick);
    column->addWidget(m_use);
    row->addWidget(panel);
    resize(560, 400);
}

void TJpegPreviewF::showAndPreview()
{
    {
        const QSignalBlocker quietBar(m_quality), quietBox(m_grey);
        m_quality->setValue(m_doc.jpegPreview.quality);
        m_grey->setChecked(m_doc.jpegPreview.grey);
    }
    show();
    raise();
    activateWindow();
    preview();
}

// The preview holds a picture as large as the image; a closed window gives the memory back, and
// showing it again runs the step anew anyway.
void TJpegPreviewF::closeEvent(QCloseEvent* event)
{
    m_pending.stop();
    m_preview = gfx::Bitmap();
    m_view->imageChanged({});
    m_use->setEnabled(false);
    QWidget::closeEvent(event);
}

void TJpegPreviewF::preview()
{
    m_pending.stop();
    auto result = io::previewJpeg(m_doc);
    if (!result) {
        m_preview = gfx::Bitmap();
        m_view->imageChanged({});
        m_use->setEnabled(false);
        showMessage(result.error());
        return;
    }
    m_size->setText("Size=" + QString::number(result.value().bytes));
    m_preview = std::move(result.value().picture);
    m_view->imageChanged({0, 0, m_preview.width(), m_preview.height()});
    m_use->setEnabled(true);
}

void TJpegPreviewF::QualityBarChange(int quality)
{
    m_doc.jpegPreview.quality = quality;
    m_pending.start();
}

void TJpegPreviewF::GrayscaleClick(bool checked)
{
    m_doc.jpegPreview.grey = checked;
    preview();
}

QString TJpegPreviewF::dialogSaveName()
{
    QFileDialog dialog(this, {}, {}, "JPEG Files (*.jpg *.jpeg)");
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setDefaultSuffix("jpg");
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return {};
    return dialog.selectedFiles().front();
}

void TJpegPreviewF::SaveClick()
{
    const QString chosen = askSaveName ? askSaveName() : dialogSaveName();
    if (chosen.isEmpty())
        return;
    const std::string confirmed = chosen.toStdString();
    const std::string path = io::jpgFileName(confirmed);
    if (const auto question = io::replaceQuestion(confirmed, path)) {
        const auto answer = QMessageBox::question(this, QApplication::applicationName(),
            QString::fromStdString(*question), QMessageBox::Yes | QMessageBox::No, QMessageBox::No);
        if (answer != QMessageBox::Yes)
            return;
    }
    if (const gfx::Status saved = io::saveJpegPreview(m_doc, path); !saved) {
        showMessage(saved.error());
        return;
    }
    m_size->setText("jpeg size");
}

void TJpegPreviewF::UseClick()
{
    if (m_pending.isActive())
        preview(); // the bar moved since the picture was made: Use takes what the bar says
    if (m_preview.isEmpty())
        return;
    if (const gfx::Status used = io::useJpegPreview(m_doc, m_host, m_preview); !used) {
        showMessage(used.error());
        return;
    }
    close();
}

// Parented here, not to the main window, so that the box is not hidden behind this one.
void TJpegPreviewF::showMessage(const std::string& text)
{
    QMessageBox::information(this, QApplication::applicationName(), QString::fromStdString(text));
}

} // namespace daubix::ui
