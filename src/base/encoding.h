// Conversions between GBK and UTF-8, and the helper that turns UTF-8 source literals into
// GBK texts.
#pragma once

#include <string>
#include <string_view>

#include "base/text.h"

namespace quenbo {

// Characters the target cannot hold, and malformed input, become "?" (the GBK default
// character); nothing fails.
Text utf8ToGbk(std::string_view utf8);
std::string gbkToUtf8(std::string_view gbk);

// The characters of a UTF-8 text that GBK cannot hold (김, emoji), each once and in order,
// with bytes that are no UTF-8 as U+FFFD; empty when GBK holds every one. What the user types
// is checked with it before it becomes a text, so that nothing is searched for as "?".
std::string outsideGbk(std::string_view utf8);

// Converts between two character sets named as iconv knows them. Returns false (and leaves
// `out` empty) only when iconv does not know one of the names; unconvertible input becomes
// `replacement`.
bool convertWithIconv(std::string_view input, const char* from, const char* to, std::string& out,
                      std::string_view replacement = "?");

inline namespace literals {
// "搜索"_gbk: the GBK form of a UTF-8 source literal. Every non-ASCII literal the system
// uses as a text goes through this.
inline Text operator""_gbk(const char* utf8, std::size_t size) {
  return utf8ToGbk(std::string_view(utf8, size));
}
}  // namespace literals

}  // namespace quenbo
