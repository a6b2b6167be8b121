// The result filter's settings as one value, with the word lists already split and the size
// threshold computed. The filter judges every hit against such a copy; a front-end hands a
// new one to the search when its settings change, so a change acts on the very next hit.
#pragma once

#include <string_view>
#include <vector>

#include "base/text.h"

namespace quenbo::core {

struct FilterSettings {
  Text keyword;                 // of the last search, not the box's current text
  bool exactSearch = false;     // the title must contain the keyword
  bool filterWordsOn = false;   // the title must contain none of filterWords
  std::vector<Text> filterWords;
  bool showWordsOn = false;     // the title must contain every one of showWords
  std::vector<Text> showWords;
  bool removeDuplicates = false;
  float sizeThreshold = 0;      // bytes; smaller hits are filtered
};

// The words of a word list as the user typed it (separated by "、", "，", "," or line breaks).
std::vector<Text> filterWordsOf(const Text& list);

// The smallest size that is listed, in bytes: the GB box plus the MB box, narrowed to single
// precision, scaled to bytes, rounded to two decimals and narrowed again.
float sizeThreshold(std::string_view gbText, std::string_view mbText);

}  // namespace quenbo::core
