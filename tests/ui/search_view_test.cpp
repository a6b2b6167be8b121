#include "ui/search_view.h"

#include <gtest/gtest.h>

#include <set>
#include <thread>

#include "base/encoding.h"
#include "forms/main_window_names.h"
#include "window/window_model.h"
#include "forms/window_templates.h"
#include "core/result_store.h"
#include "ui/search_controls.h"

namespace quenbo::ui {
namespace {

using core::MagnetResult;

using namespace forms::names;

MagnetResult hit(int n, std::string magnetCase = "ABC") {
  return {"title " + std::to_string(n), "magnet:?xt=urn:btih:" + magnetCase + std::to_string(n),
          "Btdad", "1.5 GB", std::to_string(n), "2019-12-01"};
}

class SearchViewTest : public ::testing::Test {
 protected:
  window::WindowModel w{forms::mainWindowTemplate()};
  SearchView view{w, {}};
  core::ResultStore store{view};

  void rebuild() { store.rebuild(readFilterSettings(w)); }

  int rows() const { return w.rowCount(超级列表框_磁力链接); }
  Text cell(int row, int column) const { return w.cell(超级列表框_磁力链接, row, column); }
};

TEST_F(SearchViewTest, ListsAHitAsARowWithALowerCasedLink) {
  store.addHit({"Some Key Film", "magnet:?xt=urn:btih:ABC", "Btdad", "1.2 GB", "35", "2019-12-01"});
  ASSERT_EQ(rows(), 1);
  const Text expected[] = {"1", "Some Key Film", "magnet:?xt=urn:btih:abc", "Btdad", "1.2 GB", "35",
                           "2019-12-01"};
  for (int c = 0; c < 7; ++c) EXPECT_EQ(cell(0, c), expected[c]);
  EXPECT_EQ(store.listedMagnets(), "magnet:?xt=urn:btih:abc\r\n");
  EXPECT_EQ(store.hits().size(), 1u);
  EXPECT_EQ(w.statusPart(状态条1, 0), "任务状态：正在采集资源"_gbk);
  EXPECT_EQ(w.statusPart(状态条1, 1), "结果数量：1 条"_gbk);
  EXPECT_EQ(w.statusPart(状态条1, 2), "过滤资源：0 条"_gbk);
  EXPECT_EQ(w.statusPart(状态条1, 3), "删除重复：0 条"_gbk);
  EXPECT_TRUE(w.statusPart(状态条1, 4).starts_with("搜索耗时："_gbk));
}

TEST_F(SearchViewTest, RebuildBeforeAnyHitChangesNothing) {
  rebuild();
  EXPECT_EQ(w.statusPart(状态条1, 1), "结果数量：无"_gbk);
  EXPECT_EQ(w.statusPart(状态条1, 4), "搜索耗时：无"_gbk);
}

TEST_F(SearchViewTest, RebuildRenumbersFromOneAndKeepsTheFrozenTime) {
  for (int i = 0; i < 120; ++i) store.addHit(hit(i));
  w.setStatusPart(状态条1, 4, "搜索耗时：1.5 秒"_gbk);
  store.markDone();
  w.setCell(超级列表框_磁力链接, 0, 0, "99");  // as a sort leaves it
  w.setStatusPart(状态条1, 1, "stale");
  rebuild();
  EXPECT_EQ(rows(), 120);
  for (int r = 0; r < 120; ++r) ASSERT_EQ(cell(r, 0), std::to_string(r + 1));
  EXPECT_EQ(cell(119, 1), "title 119");
  EXPECT_EQ(w.statusPart(状态条1, 0), "任务状态：资源采集完毕"_gbk);
  EXPECT_EQ(w.statusPart(状态条1, 1), "结果数量：120 条"_gbk);
  EXPECT_EQ(w.statusPart(状态条1, 4), "搜索耗时：1.5 秒"_gbk);
  EXPECT_EQ(store.hits().size(), 120u);
}

TEST_F(SearchViewTest, KeepVisibleFollowsTheNewestRow) {
  store.addHit(hit(1));
  EXPECT_EQ(w.scrolledRow(超级列表框_磁力链接), -1);
  w.setChecked(选择框_保证显示, true);
  store.addHit(hit(2));
  store.addHit(hit(3));
  EXPECT_EQ(w.scrolledRow(超级列表框_磁力链接), 2);
}

TEST_F(SearchViewTest, NothingReachesTheWindowOnceTheIntakeClosesOrTheViewIsDetached) {
  EXPECT_TRUE(store.addHit(hit(1)));
  store.closeIntake();
  EXPECT_FALSE(store.addHit(hit(2)));
  EXPECT_EQ(rows(), 1);
  EXPECT_EQ(store.hits().size(), 1u);
  view.detach();
  rebuild();
  view.logLine("late\r\n");
  EXPECT_EQ(rows(), 1) << "a replaced search draws nothing";
  EXPECT_EQ(w.text(编辑框_日志), "");
}

TEST_F(SearchViewTest, BadInputIsCarriedNotDropped) {
  Text longTitle(1 << 20, 'x');
  store.addHit({longTitle, "magnet:?xt=urn:btih:1", "", "", "", ""});
  store.addHit({"", "", "", "12", "", ""});
  store.addHit({utf8ToGbk("a😀b"), "magnet:?xt=urn:btih:2", "", "7 TB", "", ""});
  ASSERT_EQ(rows(), 3);
  EXPECT_EQ(cell(0, 1).size(), 1u << 20);
  EXPECT_EQ(cell(1, 2), "");
  EXPECT_EQ(cell(2, 1), "a?b");
  EXPECT_EQ(store.listedMagnets(), "magnet:?xt=urn:btih:1\r\n\r\nmagnet:?xt=urn:btih:2\r\n");
}

// Eleven workers hand over hits while the UI thread rebuilds: nothing is lost or listed
// twice, the counts add up and the rows are numbered 1..n.
TEST_F(SearchViewTest, WorkersAndRebuildsNeverInterleave) {
  constexpr int kWorkers = 11, kHits = 2000;
  std::atomic<int> finished = 0;
  std::vector<std::thread> workers;
  for (int t = 0; t < kWorkers; ++t) {
    workers.emplace_back([&, t] {
      for (int i = 0; i < kHits; ++i) store.addHit(hit(t * kHits + i));
      ++finished;
    });
  }
  store.markDone();
  int rebuilds = 0;
  while (finished < kWorkers || rebuilds < 3) {
    rebuild();
    ++rebuilds;
  }
  for (auto& worker : workers) worker.join();
  rebuild();

  ASSERT_EQ(rows(), kWorkers * kHits);
  EXPECT_EQ(store.hits().size(), static_cast<std::size_t>(kWorkers * kHits));
  EXPECT_EQ(rows() + store.progress().filtered + store.progress().duplicates, kWorkers * kHits);
  std::set<Text> links;
  for (int r = 0; r < rows(); ++r) {
    ASSERT_EQ(cell(r, 0), std::to_string(r + 1));
    links.insert(cell(r, 2));
  }
  EXPECT_EQ(links.size(), static_cast<std::size_t>(kWorkers * kHits));
}

}  // namespace
}  // namespace quenbo::ui
