#include "ui/TDaubixQBF.h"

#include "app/Document.h"
#include "generators/Backdrop.h"
#include "generators/QuickBackdrops.h"
#include "ui/TQuickPreviewF.h"
#include "ui/WindowParts.h"

#include <QComboBox>
#include <QLabel>
#include <QListWidget>
#include <QMenu>
#include <QPainter>
#include <QRadioButton>
#include <QScrollBar>
#include <QSignalBlocker>

#include <algorithm>
#include <utility>

namespace daubix::ui {

namespace {

// The coloured disc above a channel's bar.
class Disc : public QWidget {
public:
    Disc(QWidget* parent, QColor color)
        : QWidget(parent)
        , m_color(color)
    {
    }

protected:
    void paintEvent(QPaintEvent*) override
    {
        QPainter p(this);
        p.setRenderHint(QPainter::Antialiasing);
        p.setPen(Qt::black);
        p.setBrush(m_color);
        p.drawEllipse(rect().adjusted(1, 1, -2, -2));
    }

private:
    QColor m_color;
};

constexpr int kBarLeft = 132;
constexpr int kBarSpacing = 32;
constexpr int kBarTop = 106;

} // namespace

TDaubixQBF::TDaubixQBF(app::Document& doc, TQuickPreviewF* preview, const std::string& presetPath, QWidget* parent)
    : QWidget(parent, Qt::Tool | Qt::WindowStaysOnTopHint)
    , m_doc(doc)
    , m_preview(preview)
{
    setObjectName("TDaubixQBF");
    setWindowTitle("QuickBack");
    setFixedSize(300, 318);

    m_list = new QListWidget(this);
    m_list->setObjectName("QBList");
    m_list->setGeometry(8, 8, 116, 270);
    for (int f = 0; f < generators::kBackdropFormulaCount; ++f)
        m_list->addItem(qstring(generators::backdropFormulaName(f)));
    // A click, not a change of the current row: clicking the formula already selected previews again.
    connect(m_list, &QListWidget::itemClicked, this, [this](QListWidgetItem* item) { QBListClick(m_list->row(item)); });

    m_radios = channelRadios(this);
    for (std::size_t c = 0; c < m_radios.size(); ++c) {
        m_radios[c]->setGeometry(kBarLeft, 8 + 24 * static_cast<int>(c), 160, 22);
        connect(m_radios[c], &QRadioButton::clicked, this, [this, c] { radioClick(static_cast<int>(c)); });
    }

    const QColor discs[] = {Qt::red, Qt::green, Qt::blue};
    const char* names[] = {"trkred", "trkgreen", "trkblue", "trkfactor"};
    for (int b = 0; b < 4; ++b) {
        const int x = kBarLeft + kBarSpacing * b;
        if (b < 3) {
            auto* disc = new Disc(this, discs[b]);
            disc->setGeometry(x - 1, kBarTop - 22, 18, 18);
        } else {
            auto* label = new QLabel("mod", this);
            label->setObjectName("factorlabel");
            label->setGeometry(x - 6, kBarTop - 22, 30, 18);
        }
        auto* bar = new QScrollBar(Qt::Vertical, this);
        bar->setObjectName(names[b]);
        bar->setGeometry(x, kBarTop, 17, 172);
        bar->setPageStep(16);
        if (b < 3)
            bar->setRange(0, 255);
        else
            bar->setRange(generators::kMinBackdropModulus, generators::kMaxBackdropModulus);
        connect(bar, &QScrollBar::valueChanged, this, [this, b](int value) { barChange(b, value); });
        m_bars[static_cast<std::size_t>(b)] = bar;
    }

    const PresetDropDown presets = presetDropDown(this, "qbpresets");
    m_presets = presets.box;
    m_presets->setGeometry(8, 286, 284, 24);
    connect(m_presets, &QComboBox::activated, this, &TDaubixQBF::qbpresetsChange);
    presets.menu->addAction("&Add Backdrop", this, [this] { presetMenu(generators::addBackdropPreset); })
        ->setObjectName("AddBackdrop1");
    presets.menu->addAction("&Delete Backdrop", this, [this] { presetMenu(generators::deleteBackdropPreset); })
        ->setObjectName("DeleteBackdrop1");
    presets.menu->addAction("&Update Backdrop", this, [this] { presetMenu(generators::updateBackdropPreset); })
        ->setObjectName("UpdateBackdrop1");

    if (gfx::Status loaded = generators::loadBackdropPresets(m_doc, presetPath); !loaded)
        m_loadFailure = loaded.error();
    showPresetNames(m_presets, m_doc.backdrop.presets, m_doc.backdrop.presetIndex);
    showBars(m_bars.size());
}

void TDaubixQBF::showWindow()
{
    showCaptions();
    show();
    raise();
    activateWindow();
}

void TDaubixQBF::showEvent(QShowEvent* event)
{
    QWidget::showEvent(event);
    if (!m_loadFailure.empty())
        m_dialogs.showFailure(std::exchange(m_loadFailure, {}));
}

void TDaubixQBF::showCaptions()
{
    const app::BackdropState& state = m_doc.backdrop;
    for (std::size_t c = 0; c < m_radios.size(); ++c)
        m_radios[c]->setText(qstring(generators::backdropFormulaName(state.settings.formulas[c])));
}

void TDaubixQBF::showBars(std::size_t count)
{
    const app::BackdropSettings& s = m_doc.backdrop.settings;
    const int values[] = {s.offsets[0], s.offsets[1], s.offsets[2], s.modulus};
    for (std::size_t b = 0; b < count && b < m_bars.size(); ++b) {
        const QSignalBlocker quiet(m_bars[b]);
        m_bars[b]->setValue(values[b]);
        m_bars[b]->setToolTip(QString::number(values[b]));
    }
}

void TDaubixQBF::preview(std::optional<gfx::Bitmap> picture)
{
    if (picture)
        m_preview->showPicture(std::move(*picture));
    else
        m_preview->followDocument();
}

void TDaubixQBF::QBListClick(int row)
{
    std::optional<gfx::Bitmap> picture = generators::clickBackdropFormula(m_doc, m_dialogs, row);
    showCaptions();
    preview(std::move(picture));
}

void TDaubixQBF::radioClick(int channel)
{
    generators::clickBackdropRadio(m_doc, channel);
    const QSignalBlocker quiet(m_list);
    m_list->setCurrentRow(m_doc.backdrop.listSelection);
}

void TDaubixQBF::barChange(int bar, int value)
{
    m_bars[static_cast<std::size_t>(bar)]->setToolTip(QString::number(value));
    preview(generators::moveBackdropBar(m_doc, m_dialogs, static_cast<generators::BackdropBar>(bar), value));
}

void TDaubixQBF::qbpresetsChange(int index)
{
    std::optional<gfx::Bitmap> picture = generators::chooseBackdropPreset(m_doc, m_dialogs, index);
    // Each offset and the modulus move their bars as they are read, even from a line that fails part way
    // (the formulas come first); the captions follow a whole line only.
    const int read = m_doc.backdrop.presetValuesRead;
    showBars(static_cast<std::size_t>(std::max(read - 3, 0)));
    if (read == 7)
        showCaptions();
    preview(std::move(picture));
}

void TDaubixQBF::presetMenu(void (*command)(app::Document&, app::Host&))
{
    command(m_doc, m_dialogs);
    showPresetNames(m_presets, m_doc.backdrop.presets, m_doc.backdrop.presetIndex);
}

} // namespace daubix::ui
