#include "core/result_filter.h"

#include "base/text_search.h"

namespace quenbo::core {

namespace {

FilterVerdict reject(std::int32_t& counter, FilterVerdict verdict) {
  ++counter;
  return verdict;
}

}  // namespace

FilterVerdict ResultFilter::judge(const MagnetResult& hit, float sizeBytes,
                                  FilterContext& context) const {
  const FilterSettings& s = settings_;
  const Text& title = hit.title;
  if (s.exactSearch && !containsText(title, s.keyword)) {
    return reject(context.filteredCount, FilterVerdict::Filtered);
  }
  if (s.filterWordsOn) {
    for (const Text& word : s.filterWords) {
      if (containsText(title, word)) return reject(context.filteredCount, FilterVerdict::Filtered);
    }
  }
  if (s.showWordsOn) {
    for (const Text& word : s.showWords) {
      if (!containsText(title, word)) return reject(context.filteredCount, FilterVerdict::Filtered);
    }
  }
  if (s.removeDuplicates && context.listed.contains(hit.magnet)) {
    return reject(context.duplicateCount, FilterVerdict::Duplicate);
  }
  if (sizeBytes < s.sizeThreshold) return reject(context.filteredCount, FilterVerdict::Filtered);
  return FilterVerdict::Listed;
}

}  // namespace quenbo::core
