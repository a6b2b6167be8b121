#include "core/result_filter.h"

#include <cmath>
#include <limits>

#include "base/numbers.h"
#include "base/text_search.h"
#include "core/size_text.h"
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

FilterVerdict reject(std::int32_t& counter, FilterVerdict verdict) {
  ++counter;
  return verdict;
}

}  // namespace

float sizeThreshold(std::string_view gbText, std::string_view mbText) {
  double gigabytes = textToNumber(gbText) + textToNumber(mbText) / 1024.0;
  double bytes = static_cast<double>(toSingle(gigabytes)) * 1024.0 * 1024.0 * 1024.0;
  return toSingle(std::round(bytes * 100.0) / 100.0);
}

FilterVerdict ResultFilter::judge(const MagnetResult& hit, FilterContext& context) const {
  const Text& title = hit.title;
  if (window_.checked(选择框_精准搜索) && !containsText(title, context.keyword)) {
    return reject(context.filteredCount, FilterVerdict::Filtered);
  }
  if (window_.checked(选择框_过滤字词)) {
    Text list = window_.text(编辑框_关键字词A);
    for (std::string_view word : splitWords(list)) {
      if (containsText(title, word)) return reject(context.filteredCount, FilterVerdict::Filtered);
    }
  }
  if (window_.checked(选择框_显示字词)) {
    Text list = window_.text(编辑框_关键字词B);
    for (std::string_view word : splitWords(list)) {
      if (!containsText(title, word)) return reject(context.filteredCount, FilterVerdict::Filtered);
    }
  }
  if (window_.checked(选择框_删除重复) && context.listed.contains(hit.magnet)) {
    return reject(context.duplicateCount, FilterVerdict::Duplicate);
  }
  if (sizeToBytes(hit.size) < sizeThreshold(window_.text(编辑框_GB), window_.text(编辑框_MB))) {
    return reject(context.filteredCount, FilterVerdict::Filtered);
  }
  return FilterVerdict::Listed;
}

}  // namespace quenbo::core
