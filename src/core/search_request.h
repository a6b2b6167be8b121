// What one search asks for, as one value: the search and its workers work from it whatever
// the front-end's controls say later.
#pragma once

#include <array>
#include <chrono>

#include "base/text.h"
#include "core/filter_settings.h"
#include "core/site_table.h"

namespace quenbo::core {

// When a search's own events happen. The window's defaults; a front-end that nobody watches
// between hits (the command line, the server) ends a search as soon as its last site has.
struct SearchPacing {
  std::chrono::milliseconds launchPause{10};    // between starting two sites' workers
  // Between two monitor looks (progress, and whether every site has ended); zero: no look
  // on a clock, only when a site ends.
  std::chrono::milliseconds monitorEvery{100};
  bool finishWhenLastSiteEnds = false;  // rather than at the monitor's next look
};

struct SearchRequest {
  Text keyword;
  std::array<bool, kSiteCount> sites{};  // ticked or not, by site index
  int pageLimit = 0;                     // result pages per site
  int timeoutSeconds = 0;                // per page request
  FilterSettings filter;                 // its keyword is the request's
  SearchPacing pacing;
};

}  // namespace quenbo::core
