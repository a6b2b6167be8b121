#include "core/result_store.h"

#include "base/clock.h"
#include "base/encoding.h"
#include "core/size_text.h"

namespace quenbo::core {

ResultStore::ResultStore(SearchEvents& events) : events_(events) {}

bool ResultStore::addHit(const MagnetResult& hit) {
  float bytes = sizeToBytes(hit.size);
  std::lock_guard lock(mutex_);
  if (!intakeOpen_ || hits_.size() >= kHitLimit) return false;
  if (listHit(hit, bytes)) events_.hitListed(rows_.back(), static_cast<int>(rows_.size()) - 1);
  events_.progress(progressLocked());
  hits_.push_back(hit);
  hitBytes_.push_back(bytes);
  return true;
}

bool ResultStore::listHit(const MagnetResult& hit, float sizeBytes) {
  FilterContext context{listed_, filteredCount_, duplicateCount_};
  if (filter_.judge(hit, sizeBytes, context) != FilterVerdict::Listed) return false;
  ResultRow row = hit;
  row.magnet = lowerAscii(hit.magnet);
  listed_.add(row.magnet);
  ++listedBySite_[row.site];
  rows_.push_back(std::move(row));
  return true;
}

void ResultStore::setKeyword(Text keyword) {
  std::lock_guard lock(mutex_);
  keyword_ = std::move(keyword);
}

void ResultStore::setFilter(FilterSettings settings) {
  std::lock_guard lock(mutex_);
  settings.keyword = keyword_;
  filter_.use(std::move(settings));
}

void ResultStore::rebuild(FilterSettings settings) {
  std::lock_guard lock(mutex_);
  if (hits_.empty()) return;
  settings.keyword = keyword_;
  filter_.use(std::move(settings));
  filteredCount_ = 0;
  duplicateCount_ = 0;
  listed_.clear();
  listedBySite_.clear();
  rows_.clear();
  // The rows are told as one redraw, not one by one: nobody could look at those between.
  for (std::size_t i = 0; i < hits_.size(); ++i) listHit(hits_[i], hitBytes_[i]);
  events_.listRebuilt(rows_);
  events_.progress(progressLocked());
}

void ResultStore::sort(SortKey key) {
  std::lock_guard lock(mutex_);
  std::vector<double> keys;
  keys.reserve(rows_.size());
  for (const ResultRow& row : rows_) {
    keys.push_back(key == SortKey::size ? sizeSortKey(row.size) : heatSortKey(row.heat));
  }
  const std::vector<int> order = shellSortOrder(keys);
  std::vector<ResultRow> sorted;
  sorted.reserve(rows_.size());
  for (int from : order) sorted.push_back(std::move(rows_[static_cast<std::size_t>(from)]));
  rows_ = std::move(sorted);
  events_.listSorted(rows_, order);
}

void ResultStore::closeIntake() {
  std::lock_guard lock(mutex_);
  intakeOpen_ = false;
}

void ResultStore::startClock() {
  std::lock_guard lock(mutex_);
  startTick_ = tickCount();
}

void ResultStore::markDone() {
  std::lock_guard lock(mutex_);
  if (done_) return;
  doneElapsedMs_ = tickCount() - startTick_;
  done_ = true;
  events_.progress(progressLocked());
}

void ResultStore::reportProgress() {
  std::lock_guard lock(mutex_);
  events_.progress(progressLocked());
}

SearchProgress ResultStore::progressLocked() const {
  return {done_, static_cast<int>(rows_.size()), filteredCount_, duplicateCount_,
          done_ ? doneElapsedMs_ : tickCount() - startTick_};
}

SearchProgress ResultStore::progress() const {
  std::lock_guard lock(mutex_);
  return progressLocked();
}

std::vector<ResultRow> ResultStore::rows() const {
  std::lock_guard lock(mutex_);
  return rows_;
}

void ResultStore::readRows(const std::function<void(const std::vector<ResultRow>&)>& read) const {
  std::lock_guard lock(mutex_);
  read(rows_);
}

std::vector<MagnetResult> ResultStore::hits() const {
  std::lock_guard lock(mutex_);
  return hits_;
}

bool ResultStore::full() const {
  std::lock_guard lock(mutex_);
  return hits_.size() >= kHitLimit;
}

Text ResultStore::listedMagnets() const {
  std::lock_guard lock(mutex_);
  return listed_.text();
}

int ResultStore::listedCount(const Text& hitLabel) const {
  std::lock_guard lock(mutex_);
  auto found = listedBySite_.find(hitLabel);
  return found == listedBySite_.end() ? 0 : found->second;
}

}  // namespace quenbo::core
