#include "ui/search_view.h"

#include <cmath>

#include "base/encoding.h"
#include "base/numbers.h"
#include "core/result_columns.h"
#include "forms/main_window_names.h"

namespace quenbo::ui {

using namespace forms::names;

std::vector<Text> statusTexts(const core::SearchProgress& progress) {
  static const Text kDone = "任务状态：资源采集完毕"_gbk;
  static const Text kRunning = "任务状态：正在采集资源"_gbk;
  static const Text kResults = "结果数量："_gbk;
  static const Text kFiltered = "过滤资源："_gbk;
  static const Text kDuplicates = "删除重复："_gbk;
  static const Text kElapsed = "搜索耗时："_gbk;
  static const Text kItems = " 条"_gbk;
  static const Text kSeconds = " 秒"_gbk;

  std::vector<Text> parts{progress.done ? kDone : kRunning,
                          kResults + integerToText(progress.listed) + kItems,
                          kFiltered + integerToText(progress.filtered) + kItems,
                          kDuplicates + integerToText(progress.duplicates) + kItems};
  if (!progress.done) {
    double seconds = std::round(progress.elapsedMs / 10.0) / 100.0;
    parts.push_back(kElapsed + numberToText(seconds) + kSeconds);
  }
  return parts;
}

SearchView::SearchView(window::WindowModel& window,
                       std::function<void(const core::SearchSummary&)> finished)
    : window_(window), finished_(std::move(finished)) {}

void SearchView::detach() {
  std::lock_guard lock(mutex_);
  attached_ = false;
}

void SearchView::hitListed(const core::ResultRow& row, int index) {
  std::lock_guard lock(mutex_);
  if (!attached_) return;
  window_.appendRow(超级列表框_磁力链接, core::rowCells(row, index));
  // Keeps the newest row in view, so the list follows new hits at its bottom.
  if (window_.checked(选择框_保证显示)) window_.scrollToRow(超级列表框_磁力链接, index);
}

namespace {

std::vector<window::Row> listRows(const std::vector<core::ResultRow>& rows) {
  std::vector<window::Row> cells;
  cells.reserve(rows.size());
  for (std::size_t i = 0; i < rows.size(); ++i) cells.push_back(core::rowCells(rows[i], static_cast<int>(i)));
  return cells;
}

}  // namespace

void SearchView::listRebuilt(const std::vector<core::ResultRow>& rows) {
  std::lock_guard lock(mutex_);
  if (!attached_) return;
  const auto list = 超级列表框_磁力链接;
  // A new list: nothing stays selected.
  window_.clearRows(list);
  window_.replaceRows(list, listRows(rows));
  if (!rows.empty() && window_.checked(选择框_保证显示)) {
    window_.scrollToRow(list, static_cast<int>(rows.size()) - 1);
  }
}

void SearchView::listSorted(const std::vector<core::ResultRow>&, const std::vector<int>& order) {
  std::lock_guard lock(mutex_);
  if (!attached_) return;
  // The same rows moved without copying a text: the numbers stay where they are, and the
  // selection keeps its places.
  window_.lockUpdates(超级列表框_磁力链接, true);
  window_.reorderRows(超级列表框_磁力链接, order, 1);
  window_.lockUpdates(超级列表框_磁力链接, false);
}

void SearchView::progress(const core::SearchProgress& progress) {
  std::lock_guard lock(mutex_);
  if (!attached_) return;
  std::vector<Text> parts = statusTexts(progress);
  for (std::size_t part = 0; part < parts.size(); ++part) {
    window_.setStatusPart(状态条1, static_cast<int>(part), parts[part]);
  }
}

void SearchView::logLine(const Text& line) {
  std::lock_guard lock(mutex_);
  if (attached_) window_.appendText(编辑框_日志, line);
}

void SearchView::finished(const core::SearchSummary& summary) {
  {
    std::lock_guard lock(mutex_);
    if (!attached_) return;
  }
  if (finished_) finished_(summary);
}

}  // namespace quenbo::ui
