#pragma once

// The literals of the script language, shared by the interpreter and by the files that borrow its syntax
// (the highlighter settings write colours and integers the way scripts do).

#include <cstdint>
#include <optional>
#include <string_view>

namespace daubix::script {

// An integer literal: optional sign and decimal digits within the signed 32-bit range, or up to eight
// hexadecimal digits after "$", "x", "X", "0x" or "0X", taken as a 32-bit pattern.
std::optional<std::int32_t> integerLiteral(std::string_view token);
// A colour identifier ("clRed", "clBtnFace", ...), matched ignoring case, as its 0x00BBGGRR value.
std::optional<std::int32_t> colorIdentifier(std::string_view token);

} // namespace daubix::script
