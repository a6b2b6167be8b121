// Splitting, trimming and replacing on GBK texts, as the header and cookie routines use them.
// Every search is character-aligned (a match never starts on a trail byte).
#pragma once

#include <string_view>
#include <vector>

#include "base/text.h"

namespace quenbo::net {

// Pieces between separators: empty pieces between two separators are kept, an empty last
// piece is dropped, and an empty text gives no pieces.
std::vector<Text> splitText(std::string_view text, std::string_view separator);

// Removes ASCII blanks and the full-width blank (A1 A1) at both ends.
Text trimBlanks(std::string_view text);

// Removes every ASCII and full-width blank.
Text removeBlanks(std::string_view text);

// Replaces every occurrence of `from`, left to right, optionally folding ASCII letters.
Text replaceText(std::string_view text, std::string_view from, std::string_view to,
                 bool ignoreCase = false);

inline bool startsWith(std::string_view text, std::string_view prefix) {
  return text.substr(0, prefix.size()) == prefix;
}

inline bool endsWith(std::string_view text, std::string_view suffix) {
  return text.size() >= suffix.size() && text.substr(text.size() - suffix.size()) == suffix;
}

}  // namespace quenbo::net
