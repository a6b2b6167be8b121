// Decides for each hit that reaches the result store whether it is listed, rejected as
// unwanted or rejected as a duplicate.
#pragma once

#include <cstdint>

#include "base/text.h"
#include "core/listed_magnets.h"
#include "core/magnet_result.h"

namespace quenbo::window {
class WindowModel;
}

namespace quenbo::core {

enum class FilterVerdict { Listed, Filtered, Duplicate };

// What the filter sees of the store and the search; valid only while the result lock is held.
struct FilterContext {
  const Text& keyword;             // of the last search, not the box's current text
  const ListedMagnets& listed;
  std::int32_t& filteredCount;
  std::int32_t& duplicateCount;
};

class ResultFilter final {
 public:
  explicit ResultFilter(const window::WindowModel& window) : window_(window) {}

  // Called with the result lock held. Counts a rejection in the context before returning it.
  // For now every hit is listed: the keyword, word-list, duplicate and size tests come with
  // the settings of the filter tab.
  FilterVerdict judge(const MagnetResult& hit, FilterContext& context) const;

 private:
  const window::WindowModel& window_;  // the filter tab's controls are the live settings
};

}  // namespace quenbo::core
