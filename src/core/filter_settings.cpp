#include "core/filter_settings.h"

#include <cmath>
#include <limits>

#include "base/numbers.h"
#include "core/word_list.h"
#include "forms/main_window_names.h"
#include "window/window_model.h"

namespace quenbo::core {

using namespace window::names;

namespace {

// A double narrowed to single precision; values beyond its range become infinite instead of
// being undefined.
float toSingle(double value) {
  constexpr double kMax = std::numeric_limits<float>::max();
  if (value > kMax) return std::numeric_limits<float>::infinity();
  if (value < -kMax) return -std::numeric_limits<float>::infinity();
  return static_cast<float>(value);
}

std::vector<Text> wordsOf(const Text& list) {
  std::vector<Text> words;
  for (std::string_view word : splitWords(list)) words.emplace_back(word);
  return words;
}

}  // namespace

float sizeThreshold(std::string_view gbText, std::string_view mbText) {
  double gigabytes = textToNumber(gbText) + textToNumber(mbText) / 1024.0;
  double bytes = static_cast<double>(toSingle(gigabytes)) * 1024.0 * 1024.0 * 1024.0;
  return toSingle(std::round(bytes * 100.0) / 100.0);
}

FilterSettings readFilterSettings(const window::WindowModel& window, Text keyword) {
  FilterSettings s;
  s.keyword = std::move(keyword);
  s.exactSearch = window.checked(选择框_精准搜索);
  s.filterWordsOn = window.checked(选择框_过滤字词);
  s.filterWords = wordsOf(window.text(编辑框_关键字词A));
  s.showWordsOn = window.checked(选择框_显示字词);
  s.showWords = wordsOf(window.text(编辑框_关键字词B));
  s.removeDuplicates = window.checked(选择框_删除重复);
  s.sizeThreshold = sizeThreshold(window.text(编辑框_GB), window.text(编辑框_MB));
  return s;
}

}  // namespace quenbo::core
