#pragma once

// Pieces that several tool windows build alike.

#include <QString>

#include <array>
#include <span>
#include <string>
#include <string_view>

class QComboBox;
class QPoint;
class QMenu;
class QRadioButton;
class QWidget;

namespace daubix::ui {

inline QString qstring(std::string_view s)
{
    return QString::fromUtf8(s.data(), static_cast<qsizetype>(s.size()));
}

// A label with its text at a place of the window, as wide as its text.
void label(QWidget* parent, const char* name, const char* text, QPoint at);

// "redradio", "greenradio" and "blueradio", their captions drawn in their channel's colour.
std::array<QRadioButton*, 3> channelRadios(QWidget* parent);

// A preset drop-down whose pop-up menu (right-click) the caller fills.
struct PresetDropDown {
    QComboBox* box;
    QMenu* menu;
};
PresetDropDown presetDropDown(QWidget* parent, const char* name);
// The presets' names in the lines' order, index chosen (-1 none), without signals.
void showPresetNames(QComboBox* box, std::span<const std::string> lines, int index);

} // namespace daubix::ui
