// The state of the current search that the result store and the filter read.
#pragma once

#include <atomic>
#include <cstdint>

#include "base/text.h"

namespace quenbo::core {

struct SearchStatus {
  // False from search start until the monitor declares the search finished; false before
  // the first search.
  std::atomic<bool> searchDone{false};
  // Tick count at search start, for the elapsed time.
  std::atomic<std::uint32_t> startTick{0};
  // The keyword of the last search. Written and read on the UI thread only, while no worker
  // of the current search runs; the filter judges against its copy in the filter settings.
  Text keyword;
};

}  // namespace quenbo::core
