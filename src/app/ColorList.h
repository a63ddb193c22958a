#pragma once

#include "gfx/Color.h"

#include <optional>
#include <span>
#include <string_view>

namespace daubix::app {

struct Document;
class Host;

// The colour list: 139 items of the form name=RRGGBB (red, green, blue in hexadecimal).
std::span<const std::string_view> colorListItems();
std::string_view colorListName(std::string_view item);
std::optional<gfx::Color> colorListColor(std::string_view item);

// After any change of the colour panel: the first colour becomes the pen colour and the second the
// brush colour (so a clear brush turns solid).
void colorPanelChanged(Document& doc);
// The panel's second colour set from outside: it takes the colour and raises its change.
void setSecondColor(Document& doc, gfx::Color color);

// A release on item index: with Shift the colour becomes the pen colour (the panel's first colour),
// otherwise the brush colour (second colour). Either way the panel change applies both colours. Status
// panel 3 shows the name.
void colorListRelease(Document& doc, Host& host, int index, bool shift);

} // namespace daubix::app
