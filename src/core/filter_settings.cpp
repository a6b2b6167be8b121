#include "core/filter_settings.h"

#include <cmath>
#include <limits>

#include "base/numbers.h"
#include "core/word_list.h"

namespace quenbo::core {

namespace {

// A double narrowed to single precision; values beyond its range become infinite instead of
// being undefined.
float toSingle(double value) {
  constexpr double kMax = std::numeric_limits<float>::max();
  if (value > kMax) return std::numeric_limits<float>::infinity();
  if (value < -kMax) return -std::numeric_limits<float>::infinity();
  return static_cast<float>(value);
}

}  // namespace

std::vector<Text> filterWordsOf(const Text& list) {
  std::vector<Text> words;
  for (std::string_view word : splitWords(list)) words.emplace_back(word);
  return words;
}

float sizeThreshold(std::string_view gbText, std::string_view mbText) {
  double gigabytes = textToNumber(gbText) + textToNumber(mbText) / 1024.0;
  double bytes = static_cast<double>(toSingle(gigabytes)) * 1024.0 * 1024.0 * 1024.0;
  return toSingle(std::round(bytes * 100.0) / 100.0);
}

}  // namespace quenbo::core
