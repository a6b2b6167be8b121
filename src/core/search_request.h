// What one search asks for, read from the main window once, when the search starts: the
// workers and the monitor then work from these values, whatever the controls say later.
#pragma once

#include <array>

#include "base/text.h"
#include "forms/site_table.h"

namespace quenbo::window {
class WindowModel;
}

namespace quenbo::core {

inline constexpr int kSiteCount = window::kSiteCount;

struct SearchRequest {
  Text keyword;            // the text of the keyword box
  int pageLimit = 0;       // result pages per site
  int timeoutSeconds = 0;  // per page request
  std::array<bool, kSiteCount> sites{};  // ticked or not, by site index
};

// Reads the keyword, page-limit and time-out boxes (as integers) and the site boxes.
SearchRequest readSearchRequest(const window::WindowModel& window);

}  // namespace quenbo::core
