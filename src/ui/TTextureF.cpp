#include "ui/TTextureF.h"

#include "app/Command.h"
#include "app/Document.h"
#include "generators/Texture.h"
#include "ui/TTexturePanel.h"
#include "ui/WindowParts.h"

#include <QApplication>
#include <QCheckBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QScrollArea>
#include <QScrollBar>
#include <QSignalBlocker>

namespace daubix::ui {

namespace {

constexpr int kPanelWidth = 185;
constexpr int kMinSizeBar = 8; // the bar starts above the setter's minimum of 4

QScrollBar* bar(QWidget* parent, const char* name, int lo, int hi, QRect geometry)
{
    auto* b = new QScrollBar(Qt::Horizontal, parent);
    b->setObjectName(name);
    b->setRange(lo, hi);
    b->setGeometry(geometry);
    return b;
}

} // namespace

TTextureF::TTextureF(app::Document& doc, QWidget* parent)
    : QDialog(parent)
    , m_doc(doc)
{
    setObjectName("TTextureF");
    setWindowTitle("Texture");
    setModal(true);
    resize(508, 330);
    auto* row = new QHBoxLayout(this);
    row->setContentsMargins(0, 0, 0, 0);
    row->setSpacing(0);

    m_scrollBox = new QScrollArea(this);
    m_scrollBox->setObjectName("ScrollBox1");
    m_scrollBox->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    m_tex = new TTexturePanel(m_doc.texture);
    m_tex->setObjectName("tex");
    m_tex->setBevelOuter(TTexturePanel::Bevel::None);
    m_tex->setCaption({});
    m_tex->resize(256, 256);
    m_scrollBox->setWidget(m_tex);
    row->addWidget(m_scrollBox, 1);

    auto* panel1 = new QWidget(this);
    panel1->setObjectName("Panel1");
    panel1->setFixedWidth(kPanelWidth);
    label(panel1, "Label1", "Noise", {16, 16});
    m_noiseBar = bar(panel1, "noisebar", 0, generators::kMaxNoiseAmount, {16, 36, 153, 17});
    label(panel1, "Label2", "Texture Size", {16, 72});
    m_sizeBar = bar(panel1, "texsize", kMinSizeBar, generators::kMaxTextureSize, {16, 92, 153, 17});
    m_mono = new QCheckBox("mononoise", panel1);
    m_mono->setObjectName("mononoise");
    m_mono->setGeometry(16, 128, 153, 21);
    m_color = new QPushButton("Color", panel1);
    m_color->setObjectName("gocolor");
    m_color->setGeometry(16, 168, 73, 25);
    m_use = new QPushButton("Use", panel1);
    m_use->setObjectName("goUse");
    m_use->setGeometry(96, 168, 73, 25);
    m_use->setAutoDefault(false);
    m_color->setAutoDefault(false);
    row->addWidget(panel1);

    connect(m_noiseBar, &QScrollBar::valueChanged, this, &TTextureF::noisebarChange);
    connect(m_sizeBar, &QScrollBar::valueChanged, this, &TTextureF::texsizeChange);
    connect(m_mono, &QCheckBox::clicked, this, &TTextureF::mononoiseClick);
    connect(m_color, &QPushButton::clicked, this, &TTextureF::gocolorClick);
    connect(m_use, &QPushButton::clicked, this, &TTextureF::goUseClick);

    regenerate([this] { generators::createTexturePanel(m_doc); });
}

int TTextureF::showModal()
{
    m_tex->resize(m_doc.image.width(), m_doc.image.height());
    showState();
    return exec();
}

void TTextureF::noisebarChange(int value)
{
    regenerate([this, value] { generators::setNoiseAmount(m_doc, m_dialogs, value); });
}

void TTextureF::texsizeChange(int value)
{
    regenerate([this, value] { generators::setTextureSize(m_doc, m_dialogs, value); });
}

void TTextureF::mononoiseClick(bool checked)
{
    regenerate([this, checked] { generators::setNoiseMonoChrome(m_doc, checked); });
}

void TTextureF::gocolorClick()
{
    // The dialog is asked here rather than through the row, so that only the new tile waits.
    if (const std::optional<gfx::Color> chosen = m_dialogs.chooseColor(m_doc.texture.color))
        regenerate([this, c = *chosen] { generators::setTextureColor(m_doc, c); });
}

void TTextureF::goUseClick()
{
    for (const app::CommandRow& row : generators::textureWindowRows())
        if (row.path == "TTextureF > goUse")
            regenerate([this, &row] {
                app::CommandContext ctx{m_doc, m_dialogs};
                app::runCommand(ctx, row);
            });
    accept();
}

void TTextureF::regenerate(const std::function<void()>& change)
{
    QApplication::setOverrideCursor(Qt::WaitCursor);
    change();
    QApplication::restoreOverrideCursor();
    showState();
}

void TTextureF::showState()
{
    const app::TextureState& t = m_doc.texture;
    const QSignalBlocker quietNoise(m_noiseBar), quietSize(m_sizeBar), quietMono(m_mono);
    m_noiseBar->setValue(t.noiseAmount);
    m_noiseBar->setToolTip(QString::number(t.noiseAmount));
    m_sizeBar->setValue(t.textureSize);
    m_sizeBar->setToolTip(QString::number(t.textureSize));
    m_mono->setChecked(t.noiseMonoChrome);
    m_tex->tileChanged();
}

} // namespace daubix::ui
