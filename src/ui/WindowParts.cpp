#include "ui/WindowParts.h"

#include "app/PresetLines.h"

#include <QComboBox>
#include <QLabel>
#include <QMenu>
#include <QRadioButton>
#include <QSignalBlocker>

namespace daubix::ui {

void label(QWidget* parent, const char* name, const char* text, QPoint at)
{
    auto* l = new QLabel(text, parent);
    l->setObjectName(name);
    l->move(at);
    l->adjustSize();
}

std::array<QRadioButton*, 3> channelRadios(QWidget* parent)
{
    struct Channel {
        const char* name;
        Qt::GlobalColor color;
    };
    constexpr Channel kChannels[] = {{"redradio", Qt::red}, {"greenradio", Qt::darkGreen}, {"blueradio", Qt::blue}};
    std::array<QRadioButton*, 3> radios{};
    for (std::size_t c = 0; c < radios.size(); ++c) {
        auto* radio = new QRadioButton(parent);
        radio->setObjectName(kChannels[c].name);
        QPalette palette = radio->palette();
        palette.setColor(QPalette::WindowText, kChannels[c].color);
        radio->setPalette(palette);
        radios[c] = radio;
    }
    return radios;
}

PresetDropDown presetDropDown(QWidget* parent, const char* name)
{
    auto* box = new QComboBox(parent);
    box->setObjectName(name);
    box->setToolTip("Presets: right-click to add, delete or update");
    auto* menu = new QMenu(box);
    menu->setObjectName("PresetPopup");
    box->setContextMenuPolicy(Qt::CustomContextMenu);
    QObject::connect(box, &QComboBox::customContextMenuRequested, box,
        [box, menu](const QPoint& at) { menu->popup(box->mapToGlobal(at)); });
    return {box, menu};
}

void showPresetNames(QComboBox* box, std::span<const std::string> lines, int index)
{
    const QSignalBlocker quiet(box);
    box->clear();
    for (const std::string& name : app::presetNames(lines))
        box->addItem(qstring(name));
    box->setCurrentIndex(index);
}

} // namespace daubix::ui
