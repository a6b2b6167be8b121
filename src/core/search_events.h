// What a search tells its front-end, as typed events. The window's presenter, the command
// line and the server each implement SearchEvents; a test does in a few lines.
#pragma once

#include <cstdint>
#include <vector>

#include "base/text.h"
#include "core/magnet_result.h"
#include "core/site_report.h"

namespace quenbo::core {

// A listed hit: the hit as its site gave it, with the magnet link in lower case. Its number
// in the list is its place, from 1.
using ResultRow = MagnetResult;

// The result list's counters, as the status bar shows them.
struct SearchProgress {
  bool done = false;      // the search has finished
  int listed = 0;         // rows in the list
  int filtered = 0;       // hits the filter rejected
  int duplicates = 0;     // hits rejected as duplicates
  std::uint32_t elapsedMs = 0;  // since the search started; frozen once it is done
};

// How a search ended: every ticked site's final report, in site order.
struct SearchSummary {
  bool stopped = false;  // stop was asked for before every site had ended
  SearchProgress totals;
  std::vector<SiteReport> sites;
};

class SearchEvents {
 public:
  virtual ~SearchEvents() = default;

  // The list changed. Called on the thread that changed it (a site's worker, or whoever
  // asked for a rebuild or sort) while the search's result lock is held: an implementation
  // must not wait for another thread here, nor call back into the search.
  virtual void hitListed(const ResultRow& row, int index) = 0;  // index from 0, at the end
  // The whole list was listed again under new filter settings.
  virtual void listRebuilt(const std::vector<ResultRow>& rows) = 0;
  // The same rows in a new order: the row now at position p was at order[p].
  virtual void listSorted(const std::vector<ResultRow>& rows, const std::vector<int>& /*order*/) {
    listRebuilt(rows);
  }
  virtual void progress(const SearchProgress& progress) = 0;

  // A site's report changed (its worker's thread).
  virtual void siteChanged(const SiteReport& /*report*/) {}
  // One line of the log, as the worker wrote it (a worker's thread).
  virtual void logLine(const Text& line) = 0;
  // Every site has ended, or the search was stopped; once, on the search's task loop.
  virtual void finished(const SearchSummary& summary) = 0;
};

}  // namespace quenbo::core
