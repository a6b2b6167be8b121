// What a site worker receives: one run of one site within one search.
#pragma once

#include <cstdint>
#include <functional>

#include "base/stop_bell.h"
#include "base/text.h"
#include "core/magnet_result.h"
#include "core/site_report.h"

namespace quenbo::core {

class SearchJob;

class SiteRun final {
 public:
  SiteRun(SearchJob& job, int site, std::uint64_t generation, Text keyword, int pageLimit,
          int timeoutSeconds);

  int site() const { return site_; }  // catalogue index, 0 to 25
  const Text& keyword() const { return keyword_; }
  int pageLimit() const { return pageLimit_; }
  int timeoutSeconds() const { return timeoutSeconds_; }

  // True once stop was pressed, the window is closing, or a newer search has started.
  bool stopRequested() const;
  // Whether this run still holds its site's running flag.
  bool running() const;
  // Clears the site's running flag, if this run still holds it. Call it after the last
  // hand-over: once every flag is clear the search may be declared finished.
  void clearRunning();
  // Hands one hit to the result store, unless a newer search has started since. False once
  // the store holds its limit of hits: this hit was not kept, and the site should end.
  bool handOver(const MagnetResult& hit);
  // Appends one line to the log box, unless a newer search has started since.
  void log(const Text& line);
  // Changes the site's report, unless a newer search has started since.
  void report(const std::function<void(SiteReport&)>& change);
  // Rung by the job whenever stopRequested() may have turned true.
  StopBell& stopBell();

 private:
  SearchJob& job_;
  int site_;
  std::uint64_t generation_;
  Text keyword_;
  int pageLimit_;
  int timeoutSeconds_;
};

// A site's worker: runs on a thread of its own and must clear its running flag on every
// way out.
using SiteWorker = std::function<void(SiteRun&)>;

}  // namespace quenbo::core
