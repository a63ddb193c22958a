#include "ui/TDaubixEffectsF.h"

#include "app/Document.h"
#include "effects/QuickEffects.h"
#include "ui/TQuickPreviewF.h"
#include "ui/WindowParts.h"

#include <QLabel>
#include <QScrollBar>
#include <QSignalBlocker>
#include <QTreeWidget>

#include <vector>

namespace daubix::ui {

namespace {

// The entry's place in effects::quickEffectTree(), beside the effect number in Qt::UserRole.
constexpr int kEntryRole = Qt::UserRole + 1;

QScrollBar* scrollBar(QWidget* parent, const char* name, Qt::Orientation orientation, QRect geometry)
{
    auto* bar = new QScrollBar(orientation, parent);
    bar->setObjectName(name);
    bar->setGeometry(geometry);
    return bar;
}

} // namespace

TDaubixEffectsF::TDaubixEffectsF(app::Document& doc, TQuickPreviewF* preview, QWidget* parent)
    : QWidget(parent, Qt::Tool | Qt::WindowStaysOnTopHint)
    , m_doc(doc)
    , m_preview(preview)
{
    setObjectName("TDaubixEffectsF");
    setWindowTitle("Daubix Effects");
    setFixedSize(222, 373);
    auto* panel = new QWidget(this);
    panel->setObjectName("effectspanel");
    panel->setGeometry(0, 0, 222, 373);

    m_tree = new QTreeWidget(panel);
    m_tree->setObjectName("ETree");
    m_tree->setGeometry(16, 8, 161, 281);
    m_tree->setHeaderHidden(true);
    m_tree->setIndentation(12);
    m_tree->setStyleSheet("QTreeWidget { background: black; color: yellow; }"
                          "QTreeWidget::item:hover { color: white; }"
                          // The chosen entry stays marked while a bar has the focus.
                          "QTreeWidget::item:selected { background: #000080; color: yellow; }");
    m_tree->setMouseTracking(true); // hot tracking
    std::vector<QTreeWidgetItem*> items;
    const auto entries = effects::quickEffectTree();
    for (std::size_t i = 0; i < entries.size(); ++i) {
        const effects::QuickEffectEntry& entry = entries[i];
        const QString caption = QString::fromUtf8(entry.caption.data(), static_cast<qsizetype>(entry.caption.size()));
        QTreeWidgetItem* item = entry.parent < 0 ? new QTreeWidgetItem(m_tree, {caption})
                                                 : new QTreeWidgetItem(items[static_cast<std::size_t>(entry.parent)], {caption});
        item->setData(0, Qt::UserRole, entry.number);
        item->setData(0, kEntryRole, static_cast<int>(i));
        items.push_back(item);
    }
    // A click, not a change of the current item: clicking the chosen entry again previews again.
    connect(m_tree, &QTreeWidget::itemClicked, this, [this](QTreeWidgetItem* item) { EListClick(item); });
    // The keys move the selection without a click: the bars then run the entry they reached.
    connect(m_tree, &QTreeWidget::currentItemChanged, this, [this](QTreeWidgetItem* item) {
        effects::selectEffectEntry(m_doc, item ? item->data(0, kEntryRole).toInt() : -1);
    });

    m_eBar = scrollBar(panel, "EBar", Qt::Vertical, {187, 8, 20, 217});
    m_extraBar = scrollBar(panel, "extrabar", Qt::Horizontal, {16, 304, 145, 15});
    m_extraBar->setRange(effects::kExtraBarMin, effects::kExtraBarMax);
    m_cxBar = scrollBar(panel, "cxbar", Qt::Horizontal, {16, 328, 145, 15});
    m_cyBar = scrollBar(panel, "cybar", Qt::Horizontal, {16, 350, 145, 15});
    label(panel, "Label3", "turb", {166, 303});
    label(panel, "Label1", "rot cx", {166, 327});
    label(panel, "Label2", "rot cy", {166, 349});
    const QScrollBar* bars[] = {m_eBar, m_extraBar, m_cxBar, m_cyBar};
    for (int b = 0; b < 4; ++b)
        connect(bars[b], &QScrollBar::valueChanged, this, [this, b](int value) { EBarChange(b, value); });
    showState();
}

void TDaubixEffectsF::showWindow()
{
    std::optional<gfx::Bitmap> picture = effects::openEffectsPanel(m_doc, m_dialogs);
    showState();
    show();
    raise();
    activateWindow();
    preview(std::move(picture));
}

void TDaubixEffectsF::EListClick(QTreeWidgetItem* item)
{
    preview(effects::clickEffectEntry(m_doc, m_dialogs, item->data(0, kEntryRole).toInt()));
}

void TDaubixEffectsF::EBarChange(int bar, int value)
{
    preview(effects::moveEffectBar(m_doc, m_dialogs, static_cast<effects::EffectBar>(bar), value));
}

void TDaubixEffectsF::preview(std::optional<gfx::Bitmap> picture)
{
    // The core may have moved bars (an effect's range, "Plasma"'s turb): show them without running again.
    showState();
    if (picture)
        m_preview->showPicture(std::move(*picture));
    else
        m_preview->followDocument();
}

void TDaubixEffectsF::showState()
{
    const app::QuickEffectsState& s = m_doc.quickEffects;
    const QSignalBlocker quietE(m_eBar), quietX(m_extraBar), quietCx(m_cxBar), quietCy(m_cyBar);
    m_eBar->setRange(s.barMin, s.barMax);
    m_eBar->setValue(s.e);
    m_eBar->setToolTip(QString::number(s.e));
    m_extraBar->setValue(s.x);
    m_extraBar->setToolTip(QString::number(s.x));
    m_cxBar->setRange(0, s.cxMax);
    m_cxBar->setValue(s.cx);
    m_cyBar->setRange(0, s.cyMax);
    m_cyBar->setValue(s.cy);
    if (s.entry >= 0) {
        for (QTreeWidgetItemIterator it(m_tree); *it; ++it)
            if ((*it)->data(0, kEntryRole).toInt() == s.entry) {
                const QSignalBlocker quietTree(m_tree);
                m_tree->setCurrentItem(*it);
                break;
            }
    }
}

} // namespace daubix::ui
