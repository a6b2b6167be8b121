// The one shared store of a search's hits: filters each hit, lists it in the result list,
// keeps every hit for rebuilds, counts rejections and keeps the status bar current.
#pragma once

#include <cstdint>
#include <functional>
#include <map>
#include <mutex>
#include <vector>

#include "core/listed_magnets.h"
#include "core/magnet_result.h"
#include "core/result_filter.h"
#include "core/search_status.h"

namespace quenbo::window {
class WindowModel;
}

namespace quenbo::core {

class ResultStore final {
 public:
  ResultStore(window::WindowModel& window, const SearchStatus& status);
  ResultStore(const ResultStore&) = delete;
  ResultStore& operator=(const ResultStore&) = delete;

  // The most hits one search keeps: hostile sites cannot make the store take all memory.
  static constexpr std::size_t kHitLimit = 200000;

  // Hands one hit over; safe from any number of threads at once. The hit is filtered,
  // listed or counted, and kept. A hit of an earlier search (its generation is no longer
  // current), or one past kHitLimit, is dropped and false returned.
  bool addHit(const MagnetResult& hit, std::uint64_t generation);
  void addHit(const MagnetResult& hit) { addHit(hit, generation()); }

  // Lists the stored hits again from scratch under the filter settings the controls hold
  // now. Does nothing at all before any hit was handed over. UI thread.
  void rebuild();

  // Takes a new copy of the filter controls, with the keyword of the last search, for the
  // hits handed over from now on. UI thread: at search start and when a filter control
  // changes.
  void refreshFilter();

  // A new search begins: hits of earlier searches are refused from now on and the result
  // list is emptied. Returns the new search's generation.
  std::uint64_t beginSearch();
  // The search was stopped: hits of its workers that are still ending are refused from
  // now on, until the next search begins. What is stored stays, for rebuilds.
  void closeIntake();
  // Empties the hits and the duplicate index and zeroes both counters.
  void clear();

  // Rewrites the status bar: task state, result count, both counters and, while no search
  // has finished, the elapsed time.
  void showStatistics(bool searchDone);

  // Runs `task` while holding the result lock, as every change of the list must.
  void runLocked(const std::function<void()>& task);

  std::vector<MagnetResult> hits() const;
  // Whether the store holds kHitLimit hits and takes no more.
  bool full() const;
  Text listedMagnets() const;
  std::int32_t filteredCount() const;
  std::int32_t duplicateCount() const;
  // How many listed rows carry that site label (the hit's site field).
  int listedCount(const Text& hitLabel) const;
  std::uint64_t generation() const;

 private:
  // Judges one hit and lists it when it passes; the caller then rewrites the statistics.
  // Call with mutex_ held.
  void listHit(const MagnetResult& hit, float sizeBytes, bool keepVisible);
  // showStatistics with mutex_ held.
  void writeStatistics(bool searchDone);

  window::WindowModel& window_;
  const SearchStatus& status_;

  // The result lock: serialises every change of the store and of the result list. Whoever
  // holds it never waits for the UI thread.
  mutable std::mutex mutex_;
  ResultFilter filter_;                // guarded by mutex_
  std::vector<MagnetResult> hits_;     // guarded by mutex_
  std::vector<float> hitBytes_;        // guarded by mutex_: the size of each of hits_ in bytes
  ListedMagnets listed_;               // guarded by mutex_
  std::int32_t filteredCount_ = 0;     // guarded by mutex_
  std::int32_t duplicateCount_ = 0;    // guarded by mutex_
  std::map<Text, int> listedBySite_;   // guarded by mutex_: listed rows per hit site label
  std::uint64_t generation_ = 1;       // guarded by mutex_
  bool intakeOpen_ = true;             // guarded by mutex_: the current search takes hits
};

}  // namespace quenbo::core
