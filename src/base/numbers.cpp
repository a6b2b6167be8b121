#include "base/numbers.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <limits>
#include <string>

namespace quenbo {

Text fullWidthToAscii(std::string_view text) {
  Text out;
  out.reserve(text.size());
  for (std::size_t i = 0; i < text.size();) {
    std::size_t n = charLength(text, i);
    if (n == 2) {
      auto lead = static_cast<unsigned char>(text[i]);
      auto trail = static_cast<unsigned char>(text[i + 1]);
      if (lead == 0xA3 && trail >= 0xA1 && trail <= 0xFE) {
        out += static_cast<char>(trail - 0xA1 + 0x21);
      } else if (lead == 0xA1 && trail == 0xA1) {
        out += ' ';
      } else if (lead == 0xA1 && trail == 0xAB) {
        out += '~';
      } else if (lead == 0xA1 && (trail == 0xEE || trail == 0xEF)) {
        out += '*';
      } else {
        out.append(text.substr(i, 2));
      }
    } else {
      out += text[i];
    }
    i += n;
  }
  return out;
}

namespace {

bool isBlank(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '\v' || c == '\f'; }
bool isDigit(char c) { return c >= '0' && c <= '9'; }

// The longest decimal-number prefix after the blanks, as a plain ASCII string.
std::string numberPrefix(const Text& text, bool withFraction) {
  std::size_t i = 0;
  while (i < text.size() && isBlank(text[i])) ++i;
  std::size_t begin = i;
  if (i < text.size() && (text[i] == '+' || text[i] == '-')) ++i;
  std::size_t digits = 0;
  while (i < text.size() && isDigit(text[i])) ++i, ++digits;
  if (withFraction && i < text.size() && text[i] == '.') {
    std::size_t j = i + 1;
    std::size_t fraction = 0;
    while (j < text.size() && isDigit(text[j])) ++j, ++fraction;
    if (digits + fraction > 0) {
      i = j;
      digits += fraction;
    }
  }
  if (digits == 0) return {};
  if (withFraction && i < text.size() && (text[i] == 'e' || text[i] == 'E')) {
    std::size_t j = i + 1;
    if (j < text.size() && (text[j] == '+' || text[j] == '-')) ++j;
    std::size_t exponent = 0;
    while (j < text.size() && isDigit(text[j])) ++j, ++exponent;
    if (exponent > 0) i = j;
  }
  return text.substr(begin, i - begin);
}

}  // namespace

std::int32_t textToInteger(std::string_view text) {
  std::string prefix = numberPrefix(fullWidthToAscii(text), false);
  if (prefix.empty()) return 0;
  long long value = std::strtoll(prefix.c_str(), nullptr, 10);
  if (value > std::numeric_limits<std::int32_t>::max()) return std::numeric_limits<std::int32_t>::max();
  if (value < std::numeric_limits<std::int32_t>::min()) return std::numeric_limits<std::int32_t>::min();
  return static_cast<std::int32_t>(value);
}

double textToNumber(std::string_view text) {
  std::string prefix = numberPrefix(fullWidthToAscii(text), true);
  if (prefix.empty()) return 0.0;
  return std::strtod(prefix.c_str(), nullptr);
}

Text integerToText(std::int64_t value) { return std::to_string(value); }

Text numberToText(double value) {
  if (std::isnan(value)) return "nan";
  if (std::isinf(value)) return value > 0 ? "inf" : "-inf";
  if (value == 0) return "0";  // also for -0
  // Integral values print in full while they fit 13 significant digits' worth of range.
  if (std::fabs(value) < 1e13 && value == std::trunc(value)) {
    return std::to_string(static_cast<long long>(value));
  }
  char buffer[40];
  std::snprintf(buffer, sizeof buffer, "%.13g", value);
  return buffer;
}

}  // namespace quenbo
