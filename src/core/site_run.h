// What a site worker receives: one run of one site within one search.
#pragma once

#include <cstdint>
#include <functional>

#include "base/stop_bell.h"
#include "base/text.h"
#include "core/magnet_result.h"
#include "core/site_report.h"

namespace quenbo::core {

class Search;

class SiteRun final {
 public:
  SiteRun(Search& search, int site);

  int site() const { return site_; }  // catalogue index, 0 to 25
  const Text& keyword() const;
  int pageLimit() const;
  int timeoutSeconds() const;

  // True once the search was asked to stop: the user, a closing window or a newer search.
  bool stopRequested() const;
  // Whether this run still holds its site's running flag.
  bool running() const;
  // Clears the site's running flag, if this run still holds it. Call it after the last
  // hand-over: once every flag is clear the search may be declared finished.
  void clearRunning();
  // Hands one hit to the result store, unless the search was stopped. False once
  // the store holds its limit of hits: this hit was not kept, and the site should end.
  bool handOver(const MagnetResult& hit);
  // Tells the search's front-end one line of the log.
  void log(const Text& line);
  // Changes the site's report.
  void report(const std::function<void(SiteReport&)>& change);
  // Rung by the search whenever stopRequested() may have turned true.
  StopBell& stopBell();

 private:
  Search& search_;
  int site_;
};

// A site's worker: runs on a thread of its own and must clear its running flag on every
// way out.
using SiteWorker = std::function<void(SiteRun&)>;

}  // namespace quenbo::core
