// What a site adapter talks to while it runs: the inputs of its search, the stop and running
// flags, the result store and the log. The search job's runs provide it; tests record it.
#pragma once

#include <functional>

#include "base/stop_bell.h"
#include "base/text.h"
#include "core/magnet_result.h"
#include "core/site_report.h"

namespace quenbo::sites {

// Used by one worker thread; implementations make each call safe against the other threads
// of the search.
class SiteChannel {
 public:
  virtual ~SiteChannel() = default;

  virtual const Text& keyword() const = 0;
  virtual int pageLimit() const = 0;
  virtual int timeoutSeconds() const = 0;
  // Stop pressed, the window closing, or a newer search started.
  virtual bool stopRequested() const = 0;
  // Whether the site's running flag is still held by this run.
  virtual bool running() const = 0;
  // Once every flag is clear the search may be declared finished: call it after the last
  // hand-over only.
  virtual void clearRunning() = 0;
  // False once the search holds as many hits as it may: the hit was not kept, and the site
  // should end.
  [[nodiscard]] virtual bool handOver(const core::MagnetResult& hit) = 0;
  virtual void log(const Text& line) = 0;
  // Changes the site's live report (state, pages, hits, mirror, reason). A channel that
  // keeps no report leaves this as it is: the run goes the same either way.
  virtual void report(const std::function<void(core::SiteReport&)>& /*change*/) {}
  // Rung when stopRequested() may have turned true, so a request asleep in its wait ends at
  // once; without one a request asks the flag every 50 ms.
  virtual StopBell* stopBell() { return nullptr; }
};

}  // namespace quenbo::sites
