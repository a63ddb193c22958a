#include "ui/QtHost.h"

#include <QApplication>
#include <QClipboard>
#include <QColorDialog>
#include <QCursor>
#include <QFileDialog>
#include <QFontDialog>
#include <QIcon>
#include <QImage>
#include <QInputDialog>
#include <QLineEdit>
#include <QMessageBox>
#include <QPixmap>
#include <QTimer>

#include <cstring>

namespace daubix::ui {

QImage toQImage(const gfx::Bitmap& bitmap)
{
    if (bitmap.format() == gfx::PixelFormat::Bits24) {
        const QImage view(bitmap.bits(), bitmap.width(), bitmap.height(), static_cast<qsizetype>(bitmap.stride()),
            QImage::Format_BGR888);
        return view.copy();
    }
    QImage image(bitmap.width(), bitmap.height(), QImage::Format_RGB32);
    for (int y = 0; y < bitmap.height(); ++y) {
        auto* row = reinterpret_cast<QRgb*>(image.scanLine(y));
        for (int x = 0; x < bitmap.width(); ++x) {
            const gfx::Color c = bitmap.pixel(x, y);
            row[x] = qRgb(gfx::red(c), gfx::green(c), gfx::blue(c));
        }
    }
    return image;
}

gfx::Bitmap fromQImage(const QImage& image)
{
    // A picture past the size limit would make an empty bitmap to copy rows into.
    if (!gfx::Bitmap::isSaneSize(image.width(), image.height()))
        return {};
    const QImage rgb = image.convertToFormat(QImage::Format_BGR888);
    gfx::Bitmap bitmap(rgb.width(), rgb.height());
    const auto rowBytes = static_cast<std::size_t>(rgb.width()) * 3;
    for (int y = 0; y < rgb.height(); ++y)
        std::memcpy(bitmap.scanLine(y), rgb.constScanLine(y), rowBytes);
    return bitmap;
}

QtHost::QtHost(QWidget* window)
    : m_window(window)
    , m_timer(new QTimer(window))
{
    QObject::connect(m_timer, &QTimer::timeout, [this] {
        if (onTimerTick)
            onTimerTick();
    });
}

void QtHost::showMessage(const std::string& text)
{
    QMessageBox::information(m_window, QApplication::applicationName(), QString::fromStdString(text));
}

std::optional<std::string> QtHost::askText(
    const std::string& caption, const std::string& prompt, const std::string& initial)
{
    bool ok = false;
    const QString answer = QInputDialog::getText(m_window, QString::fromStdString(caption),
        QString::fromStdString(prompt), QLineEdit::Normal, QString::fromStdString(initial), &ok);
    if (!ok)
        return std::nullopt;
    return answer.toStdString();
}

std::optional<gfx::Color> QtHost::chooseColor(gfx::Color initial)
{
    const gfx::Color c = gfx::resolveColor(initial);
    const QColor chosen = QColorDialog::getColor(QColor(gfx::red(c), gfx::green(c), gfx::blue(c)), m_window);
    if (!chosen.isValid())
        return std::nullopt;
    return gfx::rgb(chosen.red(), chosen.green(), chosen.blue());
}

std::optional<gfx::Font> QtHost::chooseFont(const gfx::Font& initial)
{
    QFont font(QString::fromStdString(initial.name), initial.size);
    font.setBold(initial.bold);
    font.setItalic(initial.italic);
    font.setUnderline(initial.underline);
    font.setStrikeOut(initial.strikeOut);
    bool ok = false;
    const QFont chosen = QFontDialog::getFont(&ok, font, m_window);
    if (!ok)
        return std::nullopt;
    gfx::Font result = initial;
    result.name = chosen.family().toStdString();
    result.size = chosen.pointSize() > 0 ? chosen.pointSize() : initial.size;
    result.bold = chosen.bold();
    result.italic = chosen.italic();
    result.underline = chosen.underline();
    result.strikeOut = chosen.strikeOut();
    return result;
}

std::optional<std::string> QtHost::askFileName(FileDialog kind, const std::string& filter, int filterIndex)
{
    const QString types = QString::fromStdString(filter);
    const QStringList names = types.split(";;");
    QString chosen = filterIndex >= 1 && filterIndex <= names.size() ? names[filterIndex - 1] : QString();
    // The globs stay out of sight: the type names are the program's own texts.
    const auto options = QFileDialog::HideNameFilterDetails;
    const QString name = kind == FileDialog::Open
        ? QFileDialog::getOpenFileName(m_window, {}, {}, types, &chosen, options)
        : QFileDialog::getSaveFileName(m_window, {}, {}, types, &chosen, options);
    if (name.isEmpty())
        return std::nullopt;
    return name.toStdString();
}

void QtHost::setStatus(int panel, const std::string& text)
{
    if (onStatus)
        onStatus(panel, QString::fromStdString(text));
}

void QtHost::moveMouse(gfx::Point imagePoint)
{
    if (imageToGlobal)
        QCursor::setPos(imageToGlobal(imagePoint));
}

std::optional<gfx::Bitmap> QtHost::clipboardBitmap()
{
    const QImage image = QApplication::clipboard()->image();
    if (image.isNull() || !gfx::Bitmap::isSaneSize(image.width(), image.height()))
        return std::nullopt;
    return fromQImage(image);
}

void QtHost::setClipboardBitmap(const gfx::Bitmap& bitmap)
{
    QApplication::clipboard()->setImage(toQImage(bitmap));
}

void QtHost::repaint(const gfx::Rect& area)
{
    if (onRepaint)
        onRepaint(area);
}

void QtHost::setProgramIcon(const gfx::Bitmap& colour, const gfx::Bitmap& mask)
{
    QImage icon = toQImage(colour).convertToFormat(QImage::Format_ARGB32);
    for (int y = 0; y < icon.height(); ++y)
        for (int x = 0; x < icon.width(); ++x)
            if (mask.pixel(x, y) == gfx::clWhite) // set in the mask: transparent
                icon.setPixel(x, y, qRgba(0, 0, 0, 0));
    QApplication::setWindowIcon(QIcon(QPixmap::fromImage(icon)));
}

void QtHost::startTimer(int intervalMs)
{
    m_timer->start(intervalMs);
}

void QtHost::stopTimer()
{
    m_timer->stop();
}

} // namespace daubix::ui
