#pragma once

// Reading the answers of input boxes.

#include <optional>
#include <string>
#include <string_view>

namespace daubix::app {

class Host;

// The answer of an input box; a cancelled box answers with its default text, as the classic input box does.
std::string askText(Host& host, const std::string& caption, const std::string& prompt, const std::string& initial);
// A whole number with nothing around it but blanks; nothing for anything else, digits beyond the int
// range included.
std::optional<int> parseInteger(std::string_view text);
// A real number with a point or a comma as the decimal separator; nothing for anything else, NaN and the
// infinities included.
std::optional<double> parseReal(std::string_view text);

// A file dialog's filter written the classic way, "Name|glob;glob|Name|glob", in the form the host's
// dialogs take: "Name (glob glob);;Name (glob)".
std::string dialogFilter(std::string_view classic);

} // namespace daubix::app
