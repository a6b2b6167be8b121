// Word lists of the filter tab: words separated by the full-width enumeration comma "、".
#pragma once

#include <string_view>
#include <vector>

namespace quenbo::core {

// "、" in GBK.
inline constexpr std::string_view kWordSeparator = "\xA1\xA2";

// Splits a word list at every separator that starts on a character boundary. Every
// separator ends a word, even an empty one, but an empty piece after the last separator is
// no word; words are not trimmed. The views point into `text`.
std::vector<std::string_view> splitWords(std::string_view text);

}  // namespace quenbo::core
