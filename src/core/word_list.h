// Word lists of the filter tab. The full-width enumeration comma "、" separates words, and
// so do the full-width comma "，", the ASCII comma "," and line breaks: a list typed one
// word per line filters as one typed with "、".
#pragma once

#include <string_view>
#include <vector>

#include "base/text.h"

namespace quenbo::core {

// "、" in GBK: the separator a stored list is written with.
inline constexpr std::string_view kWordSeparator = "\xA1\xA2";

// Splits a word list at every separator that starts on a character boundary. A "、", "，"
// or "," ends a word, even an empty one, but an empty piece after the last separator is no
// word; words are not trimmed. Line breaks (CR LF, LF or CR) separate too, but an empty
// piece next to a line break is no word: a blank line, or a comma at a line's end, would
// otherwise make an empty word, which every title contains. The views point into `text`.
std::vector<std::string_view> splitWords(std::string_view text);

// The words of a list joined with "、" on one line, the form the settings file keeps: it
// splits into the same words again.
Text joinWords(std::string_view text);

}  // namespace quenbo::core
