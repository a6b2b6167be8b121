// Reading numbers from texts and writing numbers as texts.
#pragma once

#include <cstdint>

#include "base/text.h"

namespace quenbo {

// Maps full-width GBK characters to ASCII: A3 A1..A3 FE to 0x21..0x7E, A1 A1 to a blank,
// A1 AB to "~", A1 EE and A1 EF to "*". Other characters stay as they are.
Text fullWidthToAscii(std::string_view text);

// The decimal prefix of a text after full-width mapping: leading blanks skipped, an optional
// sign, digits; the rest ignored; 0 without a prefix. Saturates at the 32-bit limits.
std::int32_t textToInteger(std::string_view text);

// As textToInteger, also taking one decimal point and an optional exponent.
double textToNumber(std::string_view text);

Text integerToText(std::int64_t value);

// The shortest form with at most 13 significant digits: 3, 12.35, 0.5.
Text numberToText(double value);

}  // namespace quenbo
