// The text search of the whole system: 1-based byte positions, -1 for not found, matches
// only on character boundaries, optional folding of the ASCII letters A to Z.
#pragma once

#include <string_view>

namespace quenbo {

// Position of the first occurrence of `needle` at or after `start` (a start of 0 or below
// means 1). An empty needle is found at 1 in any non-empty text and nowhere in an empty one.
int findText(std::string_view text, std::string_view needle, int start = 1,
             bool ignoreCase = false);

// Position of the last occurrence, scanning the whole text the same way.
int findLastText(std::string_view text, std::string_view needle, bool ignoreCase = false);

// Whether `word` occurs in `text`, ASCII letters folded.
inline bool containsText(std::string_view text, std::string_view word) {
  return findText(text, word, 1, true) != -1;
}

}  // namespace quenbo
