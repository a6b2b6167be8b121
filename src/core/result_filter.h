// Decides for each hit that reaches the result store whether it is listed, rejected as
// unwanted or rejected as a duplicate. The controls of the filter tab are the live
// settings: they are read at every decision, so a change acts on the very next hit.
#pragma once

#include <cstdint>
#include <string_view>

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

// The smallest size that is listed, in bytes: the GB box plus the MB box, narrowed to single
// precision, scaled to bytes, rounded to two decimals and narrowed again.
float sizeThreshold(std::string_view gbText, std::string_view mbText);

class ResultFilter final {
 public:
  explicit ResultFilter(const window::WindowModel& window) : window_(window) {}

  // Called with the result lock held, on a worker thread or the UI thread. The tests run in
  // this order and the first that rejects decides: the keyword of the last search (exact
  // search), the filter words, the show words, the duplicate index, the size. A rejection
  // is counted in the context before it is returned.
  FilterVerdict judge(const MagnetResult& hit, FilterContext& context) const;

 private:
  const window::WindowModel& window_;  // safe to read from any thread
};

}  // namespace quenbo::core
