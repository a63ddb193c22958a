#include "ui/TDaubixFLF.h"

#include "app/Document.h"
#include "effects/FilterPresets.h"
#include "effects/UserFilterCommands.h"
#include "io/FilterPresetCommands.h"
#include "ui/TQuickPreviewF.h"
#include "ui/WindowParts.h"

#include <QComboBox>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QListWidget>
#include <QMenu>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollBar>
#include <QSignalBlocker>
#include <QTableWidget>
#include <QVBoxLayout>

#include <algorithm>
#include <utility>

namespace daubix::ui {

namespace {

constexpr int kCellSize = 32;


} // namespace

TDaubixFLF::TDaubixFLF(app::Document& doc, TQuickPreviewF* preview, const std::string& presetPath, QWidget* parent)
    : QWidget(parent, Qt::Tool | Qt::WindowStaysOnTopHint)
    , m_doc(doc)
    , m_preview(preview)
{
    setObjectName("TDaubixFLF");
    setWindowTitle("Filters");

    auto* row = new QHBoxLayout(this);
    m_list = new QListWidget(this);
    m_list->setObjectName("QFList");
    for (const std::string_view name : effects::userFilterNames())
        m_list->addItem(qstring(name));
    // The whole list in view: choosing a channel's filter should not need scrolling.
    m_list->setFixedWidth(m_list->sizeHintForColumn(0) + 2 * m_list->frameWidth() + 8);
    m_list->setMinimumHeight(m_list->sizeHintForRow(0) * m_list->count() + 2 * m_list->frameWidth());
    m_list->setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    // A click, not a change of the current row: clicking the entry already selected previews again.
    connect(m_list, &QListWidget::itemClicked, this, [this](QListWidgetItem* item) { QFListClick(m_list->row(item)); });
    row->addWidget(m_list);

    auto* channels = new QVBoxLayout;
    m_radios = channelRadios(this);
    for (std::size_t c = 0; c < m_radios.size(); ++c) {
        connect(m_radios[c], &QRadioButton::clicked, this, [this, c] { radioClick(static_cast<int>(c)); });
        channels->addWidget(m_radios[c]);
    }
    // As wide as the longest caption, so that choosing a filter does not shift the window's columns.
    int widest = 0;
    for (const std::string_view name : effects::userFilterNames()) {
        m_radios[0]->setText(qstring(name));
        widest = std::max(widest, m_radios[0]->sizeHint().width());
    }
    for (QRadioButton* radio : m_radios)
        radio->setMinimumWidth(widest);
    channels->addStretch(1);
    row->addLayout(channels);

    m_bar = new QScrollBar(Qt::Vertical, this);
    m_bar->setObjectName("trkred");
    m_bar->setRange(effects::kMinFilterValue, effects::kMaxFilterValue);
    m_bar->setPageStep(16);
    connect(m_bar, &QScrollBar::valueChanged, this, &TDaubixFLF::trkredChange);
    row->addWidget(m_bar);

    auto* userMatrix = new QGroupBox("UserMatrix", this);
    userMatrix->setObjectName("UserMatrixGroup");
    auto* matrixColumn = new QVBoxLayout(userMatrix);
    m_matrix = new QTableWidget(5, 5, userMatrix);
    m_matrix->setObjectName("matrix");
    m_matrix->horizontalHeader()->hide();
    m_matrix->verticalHeader()->hide();
    m_matrix->horizontalHeader()->setDefaultSectionSize(kCellSize);
    m_matrix->verticalHeader()->setDefaultSectionSize(kCellSize * 3 / 4);
    m_matrix->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    m_matrix->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    m_matrix->setFixedSize(
        5 * kCellSize + 2 * m_matrix->frameWidth(), 5 * (kCellSize * 3 / 4) + 2 * m_matrix->frameWidth());
    for (int r = 0; r < 5; ++r)
        for (int c = 0; c < 5; ++c)
            m_matrix->setItem(r, c, new QTableWidgetItem);
    connect(m_matrix, &QTableWidget::cellChanged, this, &TDaubixFLF::matrixCellChanged);
    matrixColumn->addWidget(m_matrix);
    m_show = new QPushButton("Show", userMatrix);
    m_show->setObjectName("btnshow");
    connect(m_show, &QPushButton::clicked, this, &TDaubixFLF::btnshowClick);
    matrixColumn->addWidget(m_show);

    const PresetDropDown presets = presetDropDown(userMatrix, "FilterPresets");
    m_presets = presets.box;
    m_presetMenu = presets.menu;
    connect(m_presets, &QComboBox::activated, this, &TDaubixFLF::FilterPresetsChange);
    m_presetMenu->addAction("&Add", this, &TDaubixFLF::AddClick)->setObjectName("Add1");
    m_presetMenu->addAction("&Delete", this, &TDaubixFLF::DeleteClick)->setObjectName("Delete1");
    m_presetMenu->addAction("&Update", this, &TDaubixFLF::UpdateClick)->setObjectName("Update1");
    matrixColumn->addWidget(m_presets);
    matrixColumn->addStretch(1);
    row->addWidget(userMatrix);

    if (gfx::Status loaded = io::loadFilterPresets(m_doc, presetPath); !loaded)
        m_loadFailure = loaded.error();
    showState();
}

void TDaubixFLF::showWindow()
{
    showState();
    show();
    raise();
    activateWindow();
}

void TDaubixFLF::showEvent(QShowEvent* event)
{
    QWidget::showEvent(event);
    if (!m_loadFailure.empty())
        m_dialogs.showFailure(std::exchange(m_loadFailure, {}));
}

void TDaubixFLF::showState()
{
    const app::UserFilterState& state = m_doc.userFilter;
    for (std::size_t c = 0; c < m_radios.size(); ++c) {
        m_radios[c]->setText(qstring(effects::channelCaption(m_doc, static_cast<int>(c))));
        m_radios[c]->setChecked(state.checkedChannel == static_cast<int>(c));
    }
    m_list->setCurrentRow(state.selection);
    {
        const QSignalBlocker quiet(m_bar);
        m_bar->setValue(state.v);
        m_bar->setToolTip(QString("Filter value %1").arg(state.v));
    }
    {
        const QSignalBlocker quiet(m_matrix);
        for (int r = 0; r < 5; ++r)
            for (int c = 0; c < 5; ++c)
                m_matrix->item(r, c)->setText(qstring(state.cells[static_cast<std::size_t>(r * 5 + c)]));
    }
    showPresetNames(m_presets, state.presets, state.presetIndex);
}

void TDaubixFLF::preview(std::optional<gfx::Bitmap> picture)
{
    showState();
    if (picture)
        m_preview->showPicture(std::move(*picture));
}

void TDaubixFLF::QFListClick(int row)
{
    preview(effects::clickFilterList(m_doc, m_dialogs, row));
}

void TDaubixFLF::radioClick(int channel)
{
    effects::clickChannelRadio(m_doc, channel);
    showState();
}

void TDaubixFLF::trkredChange(int value)
{
    preview(effects::moveFilterBar(m_doc, m_dialogs, value));
}

void TDaubixFLF::matrixCellChanged(int row, int column)
{
    effects::editMatrixCell(m_doc, row, column, m_matrix->item(row, column)->text().toStdString());
}

void TDaubixFLF::btnshowClick()
{
    preview(effects::showUserMatrix(m_doc, m_dialogs));
}

void TDaubixFLF::FilterPresetsChange(int index)
{
    preview(effects::choosePreset(m_doc, m_dialogs, index));
}

void TDaubixFLF::AddClick()
{
    io::addFilterPreset(m_doc, m_dialogs);
    showState();
}

void TDaubixFLF::DeleteClick()
{
    io::deleteFilterPreset(m_doc, m_dialogs);
    showState();
}

void TDaubixFLF::UpdateClick()
{
    io::updateFilterPreset(m_doc, m_dialogs);
    showState();
}

} // namespace daubix::ui
