// The one store of a search's hits: filters each hit, keeps the listed rows in list order,
// keeps every hit for rebuilds and counts rejections. Every change of the list is told to
// the search's events while the result lock is held, so a front-end's copy of the list
// never misses or doubles a row.
#pragma once

#include <cstdint>
#include <functional>
#include <map>
#include <mutex>
#include <vector>

#include "core/filter_settings.h"
#include "core/listed_magnets.h"
#include "core/magnet_result.h"
#include "core/result_filter.h"
#include "core/row_sort.h"
#include "core/search_events.h"

namespace quenbo::core {

class ResultStore final {
 public:
  // `events` receives hitListed, listRebuilt and progress, and must outlive the store.
  explicit ResultStore(SearchEvents& events);
  ResultStore(const ResultStore&) = delete;
  ResultStore& operator=(const ResultStore&) = delete;

  // The most hits one search keeps: hostile sites cannot make the store take all memory.
  static constexpr std::size_t kHitLimit = 200000;

  // Hands one hit over; safe from any number of threads at once. The hit is filtered,
  // listed or counted, and kept. Once the intake is closed, or past kHitLimit, it is
  // dropped and false returned.
  bool addHit(const MagnetResult& hit);

  // The keyword hits are judged against (exact search): the search's own.
  void setKeyword(Text keyword);
  // Judges the hits handed over from now on against these settings (their keyword is
  // replaced by the search's).
  void setFilter(FilterSettings settings);
  // Lists the stored hits again from scratch, in arrival order, under these settings.
  // Does nothing at all before any hit was handed over.
  void rebuild(FilterSettings settings);
  // Orders the listed rows, largest key first. The stored hits, the duplicate index and the
  // counters stay as they are; hits that arrive later go below the sorted rows.
  void sort(SortKey key);

  // The search was stopped: hits of workers that are still ending are refused from now on.
  // What is stored stays, for rebuilds.
  void closeIntake();
  // The clock of the elapsed time starts now (the search's start).
  void startClock();
  // The search has finished: the elapsed time freezes, and progress says done.
  void markDone();
  // Tells the events the counters as they stand.
  void reportProgress();

  // The listed rows, in list order, read under the result lock.
  std::vector<ResultRow> rows() const;
  // Runs `read` on the listed rows while holding the result lock.
  void readRows(const std::function<void(const std::vector<ResultRow>&)>& read) const;
  std::vector<MagnetResult> hits() const;
  bool full() const;
  Text listedMagnets() const;
  SearchProgress progress() const;
  // How many listed rows carry that site label (the hit's site field).
  int listedCount(const Text& hitLabel) const;

 private:
  // Judges one hit and lists it when it passes; whether it did. Call with mutex_ held.
  bool listHit(const MagnetResult& hit, float sizeBytes);
  SearchProgress progressLocked() const;

  SearchEvents& events_;

  // The result lock: serialises every change of the store and its list. Whoever holds it
  // never waits for another thread.
  mutable std::mutex mutex_;
  ResultFilter filter_;                // guarded by mutex_
  Text keyword_;                       // guarded by mutex_
  std::vector<MagnetResult> hits_;     // guarded by mutex_
  std::vector<float> hitBytes_;        // guarded by mutex_: the size of each of hits_ in bytes
  std::vector<ResultRow> rows_;        // guarded by mutex_: the listed rows, in list order
  ListedMagnets listed_;               // guarded by mutex_
  std::int32_t filteredCount_ = 0;     // guarded by mutex_
  std::int32_t duplicateCount_ = 0;    // guarded by mutex_
  std::map<Text, int> listedBySite_;   // guarded by mutex_: listed rows per hit site label
  bool intakeOpen_ = true;             // guarded by mutex_
  bool done_ = false;                  // guarded by mutex_
  std::uint32_t startTick_ = 0;        // guarded by mutex_
  std::uint32_t doneElapsedMs_ = 0;    // guarded by mutex_: frozen by markDone
};

}  // namespace quenbo::core
