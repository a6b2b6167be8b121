#include "core/result_store.h"

#include <cmath>

#include "base/clock.h"
#include "base/encoding.h"
#include "base/numbers.h"
#include "core/size_text.h"
#include "forms/main_window_names.h"
#include "window/window_model.h"

namespace quenbo::core {

using namespace window::names;

ResultStore::ResultStore(window::WindowModel& window, const SearchStatus& status)
    : window_(window), status_(status) {}

bool ResultStore::addHit(const MagnetResult& hit, std::uint64_t generation) {
  float bytes = sizeToBytes(hit.size);
  std::lock_guard lock(mutex_);
  if (generation != generation_ || !intakeOpen_ || hits_.size() >= kHitLimit) return false;
  listHit(hit, bytes, window_.checked(选择框_保证显示));
  writeStatistics(status_.searchDone);
  hits_.push_back(hit);
  hitBytes_.push_back(bytes);
  return true;
}

void ResultStore::listHit(const MagnetResult& hit, float sizeBytes, bool keepVisible) {
  FilterContext context{listed_, filteredCount_, duplicateCount_};
  if (filter_.judge(hit, sizeBytes, context) == FilterVerdict::Listed) {
    Text magnet = lowerAscii(hit.magnet);
    int n = window_.rowCount(超级列表框_磁力链接);
    window_.appendRow(超级列表框_磁力链接,
                      {integerToText(n + 1), hit.title, magnet, hit.site, hit.size, hit.heat,
                       hit.date});
    listed_.add(magnet);
    ++listedBySite_[hit.site];
    // Keeps the newest row in view, so the list follows new hits at its bottom.
    if (keepVisible) window_.scrollToRow(超级列表框_磁力链接, n);
  }
}

void ResultStore::rebuild() {
  FilterSettings settings = readFilterSettings(window_, status_.keyword);
  // Only the UI thread changes the box, and it is busy here.
  bool keepVisible = window_.checked(选择框_保证显示);
  std::lock_guard lock(mutex_);
  if (hits_.empty()) return;
  filter_.use(std::move(settings));
  filteredCount_ = 0;
  duplicateCount_ = 0;
  listed_.clear();
  listedBySite_.clear();
  window_.clearRows(超级列表框_磁力链接);
  for (std::size_t i = 0; i < hits_.size(); ++i) listHit(hits_[i], hitBytes_[i], keepVisible);
  // Once, not after every hit: the UI thread that would show the ones between is busy here.
  writeStatistics(status_.searchDone);
}

void ResultStore::refreshFilter() {
  FilterSettings settings = readFilterSettings(window_, status_.keyword);
  std::lock_guard lock(mutex_);
  filter_.use(std::move(settings));
}

std::uint64_t ResultStore::beginSearch() {
  std::lock_guard lock(mutex_);
  ++generation_;
  intakeOpen_ = true;
  window_.clearRows(超级列表框_磁力链接);
  listedBySite_.clear();
  return generation_;
}

void ResultStore::closeIntake() {
  std::lock_guard lock(mutex_);
  intakeOpen_ = false;
}

void ResultStore::clear() {
  std::lock_guard lock(mutex_);
  hits_.clear();
  hitBytes_.clear();
  listed_.clear();
  listedBySite_.clear();
  filteredCount_ = 0;
  duplicateCount_ = 0;
}

void ResultStore::showStatistics(bool searchDone) {
  std::lock_guard lock(mutex_);
  writeStatistics(searchDone);
}

void ResultStore::writeStatistics(bool searchDone) {
  static const Text kDone = "任务状态：资源采集完毕"_gbk;
  static const Text kRunning = "任务状态：正在采集资源"_gbk;
  static const Text kResults = "结果数量："_gbk;
  static const Text kFiltered = "过滤资源："_gbk;
  static const Text kDuplicates = "删除重复："_gbk;
  static const Text kElapsed = "搜索耗时："_gbk;
  static const Text kItems = " 条"_gbk;
  static const Text kSeconds = " 秒"_gbk;

  window_.setStatusPart(状态条1, 0, searchDone ? kDone : kRunning);
  window_.setStatusPart(状态条1, 1,
                        kResults + integerToText(window_.rowCount(超级列表框_磁力链接)) + kItems);
  window_.setStatusPart(状态条1, 2, kFiltered + integerToText(filteredCount_) + kItems);
  window_.setStatusPart(状态条1, 3, kDuplicates + integerToText(duplicateCount_) + kItems);
  if (!searchDone) {
    std::uint32_t elapsedMs = tickCount() - status_.startTick;
    double seconds = std::round(elapsedMs / 10.0) / 100.0;
    window_.setStatusPart(状态条1, 4, kElapsed + numberToText(seconds) + kSeconds);
  }
}

void ResultStore::runLocked(const std::function<void()>& task) {
  std::lock_guard lock(mutex_);
  task();
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

std::int32_t ResultStore::filteredCount() const {
  std::lock_guard lock(mutex_);
  return filteredCount_;
}

std::int32_t ResultStore::duplicateCount() const {
  std::lock_guard lock(mutex_);
  return duplicateCount_;
}

int ResultStore::listedCount(const Text& hitLabel) const {
  std::lock_guard lock(mutex_);
  auto found = listedBySite_.find(hitLabel);
  return found == listedBySite_.end() ? 0 : found->second;
}

std::uint64_t ResultStore::generation() const {
  std::lock_guard lock(mutex_);
  return generation_;
}

}  // namespace quenbo::core
