// Whole flows of the filter tab and the settings file through the headless front-end.
#include <gtest/gtest.h>

#include <atomic>
#include <map>
#include <thread>

#include "app/app_harness.h"
#include "base/ini_file.h"

namespace quenbo::app {
namespace {

using namespace forms::names;
using namespace std::chrono_literals;

constexpr int kBtdad = 0, kIheian = 2, kSobt = 5;

core::MagnetResult hit(const Text& title, const Text& link, const Text& size = "2 GB") {
  return {title, "magnet:?xt=urn:btih:" + link, "Btdad", size, "1", "2019-12-01"};
}

core::SiteWorker handsOver(std::vector<core::MagnetResult> hits) {
  return [hits = std::move(hits)](core::SiteRun& run) {
    for (const auto& h : hits) run.handOver(h);
    run.clearRunning();
  };
}

class FilterFlow : public AppHarness {
 protected:
  int rows() { return w().rowCount(超级列表框_磁力链接); }
  Text title(int row) { return w().cell(超级列表框_磁力链接, row, 1); }
  std::int32_t filtered() { return search().store().progress().filtered; }
  std::int32_t duplicates() { return search().store().progress().duplicates; }
  Text stored(const Text& section, const Text& key) {
    return readIniValue(settingsPath(), section, key);
  }
  // Runs one search with only Btdad ticked, handing over `hits`.
  void searchWith(std::vector<core::MagnetResult> hits, const Text& keyword,
                  settings::FilterRebuilder::Timing timing = {}) {
    std::array<core::SiteWorker, core::kSiteCount> workers;
    workers[kBtdad] = handsOver(std::move(hits));
    launch(workers, timing);
    tickOnly({"Btdad"});
    configure();
    search(keyword);
    ASSERT_TRUE(runUntilFinished());
  }
  std::function<void()> configure = [] {};
};

TEST_F(FilterFlow, TheFiveTestsRunInOrderAndCountTheirRejections) {
  configure = [&] {
    w().click(选择框_过滤字词);
    w().setText(编辑框_关键字词A, "预告、CAM"_gbk);
    w().click(选择框_显示字词);
    w().setText(编辑框_关键字词B, "1080P");
    w().setText(编辑框_GB, "1");
    w().setText(编辑框_MB, "512");
  };
  searchWith({hit("ABC 1080p", "m1"),
              hit("xyz 1080p", "m2"),                // exact search
              hit("abc 1080p 预告"_gbk, "m3"),       // filter words
              hit("abc 720p", "m4"),                 // show words
              hit("abc 1080p", "M1"),                // duplicate of the first
              hit("abc 1080p", "m6", "1535 MB"),     // size: 1 GB + 512 MB is 1536 MB
              hit("abc 1080p", "m7", "1.5 GB"),      // exactly the threshold: listed
              hit("xyz 预告"_gbk, "m1")},            // exact search decides, not the copy
             "abc");
  ASSERT_EQ(rows(), 2);
  EXPECT_EQ(w().cell(超级列表框_磁力链接, 0, 2), "magnet:?xt=urn:btih:m1");
  EXPECT_EQ(w().cell(超级列表框_磁力链接, 1, 2), "magnet:?xt=urn:btih:m7");
  EXPECT_EQ(filtered(), 5);
  EXPECT_EQ(duplicates(), 1);
  EXPECT_EQ(w().statusPart(状态条1, 2), "过滤资源：5 条"_gbk);
  EXPECT_EQ(w().statusPart(状态条1, 3), "删除重复：1 条"_gbk);

  // Each change after the search rebuilds from all eight hits.
  w().click(选择框_显示字词);
  EXPECT_EQ(rows(), 3);  // abc 720p is back
  EXPECT_EQ(filtered(), 4);
  w().click(选择框_精准搜索);
  EXPECT_EQ(rows(), 4);  // xyz 1080p too; xyz 预告 now falls to the filter words
  EXPECT_EQ(filtered(), 3);
  EXPECT_EQ(duplicates(), 1);
  EXPECT_EQ(w().cell(超级列表框_磁力链接, 3, 0), "4");
  w().setText(编辑框_MB, "");
  EXPECT_EQ(rows(), 5);  // 1535 MB passes 1 GB
  EXPECT_EQ(stored("过滤"_gbk, "MB"), "");
  EXPECT_EQ(stored("过滤"_gbk, "精准搜索"_gbk), "假"_gbk);
  EXPECT_EQ(stored("过滤"_gbk, "显示字词"_gbk), "假"_gbk);
}

TEST_F(FilterFlow, EmptyWordsRejectEverythingInTheFilterListAndNothingInTheShowList) {
  searchWith({hit("abc one", "1"), hit("abc two", "2"), hit("abc three", "3")}, "abc");
  ASSERT_EQ(rows(), 3);
  w().click(选择框_过滤字词);
  w().setText(编辑框_关键字词A, "、"_gbk);
  EXPECT_EQ(rows(), 0);
  EXPECT_EQ(filtered(), 3);
  w().setText(编辑框_关键字词A, "x、、y"_gbk);  // an empty word between two separators
  EXPECT_EQ(rows(), 0);
  w().setText(编辑框_关键字词A, "two、"_gbk);   // a trailing separator adds no empty word
  EXPECT_EQ(rows(), 2);
  w().click(选择框_过滤字词);
  w().click(选择框_显示字词);
  w().setText(编辑框_关键字词B, "、"_gbk);
  EXPECT_EQ(rows(), 3);
  w().setText(编辑框_关键字词B, "、one"_gbk);
  EXPECT_EQ(rows(), 1);
  EXPECT_EQ(title(0), "abc one");
}

TEST_F(FilterFlow, UntickingRemoveDuplicatesAfterTheSearchListsTheCopies) {
  searchWith({hit("abc", "AAA"), hit("abc", "aaa"), hit("abc", "bbb"), hit("abc", "AaA")}, "abc");
  EXPECT_EQ(rows(), 2);
  EXPECT_EQ(duplicates(), 2);
  w().click(选择框_删除重复);
  EXPECT_EQ(rows(), 4);
  EXPECT_EQ(duplicates(), 0);
  EXPECT_EQ(w().cell(超级列表框_磁力链接, 3, 0), "4");
  EXPECT_EQ(stored("过滤"_gbk, "删除重复"_gbk), "假"_gbk);
  w().click(选择框_删除重复);
  EXPECT_EQ(rows(), 2);
  EXPECT_EQ(duplicates(), 2);
}

TEST_F(FilterFlow, ASizeFilteredHitDoesNotBlockALaterCopy) {
  configure = [&] { w().setText(编辑框_GB, "1"); };
  searchWith({hit("abc", "x1", "900 MB"), hit("abc", "X1", "3 GB"), hit("abc", "x1", "4 GB")}, "abc");
  ASSERT_EQ(rows(), 1);
  EXPECT_EQ(w().cell(超级列表框_磁力链接, 0, 4), "3 GB");
  EXPECT_EQ(filtered(), 1);
  EXPECT_EQ(duplicates(), 1);
}

TEST_F(FilterFlow, RebuildsKeepTheKeywordOfTheLastSearch) {
  searchWith({hit("abc", "1"), hit("xyz", "2")}, "abc");
  EXPECT_EQ(rows(), 1);
  w().setText(编辑框_搜索, "xyz");
  w().click(选择框_删除重复);
  ASSERT_EQ(rows(), 1);
  EXPECT_EQ(title(0), "abc");
}

// The keep-visible box is stored but never rebuilds the list.
TEST_F(FilterFlow, KeepVisibleIsStoredWithoutARebuild) {
  searchWith({hit("abc", "1"), hit("abc", "2")}, "abc");
  w().setCell(超级列表框_磁力链接, 0, 0, "sorted");
  w().click(选择框_保证显示);
  EXPECT_EQ(w().cell(超级列表框_磁力链接, 0, 0), "sorted");
  EXPECT_EQ(stored("显示"_gbk, "保证显示"_gbk), "真"_gbk);
}

TEST_F(FilterFlow, AChangeDuringASearchActsOnlyOnLaterHits) {
  std::atomic<bool> firstHalfDone = false, release = false;
  std::array<core::SiteWorker, core::kSiteCount> workers;
  workers[kBtdad] = [&](core::SiteRun& run) {
    run.handOver(hit("abc", "1"));
    run.handOver(hit("xyz", "2"));
    firstHalfDone = true;
    while (!release) std::this_thread::sleep_for(1ms);
    run.handOver(hit("xyz", "3"));
    run.handOver(hit("abc", "4"));
    run.clearRunning();
  };
  launch(workers);
  tickOnly({"Btdad"});
  search("abc");
  ASSERT_TRUE(loop_.runUntil([&] { return firstHalfDone.load(); }));
  EXPECT_EQ(rows(), 1);
  w().click(选择框_精准搜索);  // while the search runs: no rebuild
  EXPECT_EQ(rows(), 1);
  EXPECT_EQ(stored("过滤"_gbk, "精准搜索"_gbk), "假"_gbk);
  release = true;
  ASSERT_TRUE(runUntilFinished());
  ASSERT_EQ(rows(), 3);  // the rejected xyz 2 stays out until a change after the search
  EXPECT_EQ(w().cell(超级列表框_磁力链接, 1, 2), "magnet:?xt=urn:btih:3");
  EXPECT_EQ(filtered(), 1);
  w().click(选择框_删除重复);
  EXPECT_EQ(rows(), 4);
  EXPECT_EQ(filtered(), 0);
}

// Typed changes too act on the very next hit: the filter's copy of its settings follows.
TEST_F(FilterFlow, TypingDuringASearchActsOnTheNextHit) {
  std::atomic<bool> firstDone = false, release = false;
  std::array<core::SiteWorker, core::kSiteCount> workers;
  workers[kBtdad] = [&](core::SiteRun& run) {
    run.handOver(hit("film late", "1"));
    firstDone = true;
    while (!release) std::this_thread::sleep_for(1ms);
    run.handOver(hit("film late", "2"));           // now a filter word
    run.handOver(hit("film", "3"));                // now too small
    run.handOver(hit("film", "4", "3.5 GB"));
    run.clearRunning();
  };
  launch(workers);
  tickOnly({"Btdad"});
  w().setChecked(选择框_过滤字词, true);
  search("film");
  ASSERT_TRUE(loop_.runUntil([&] { return firstDone.load(); }));
  w().setText(编辑框_关键字词A, "late");
  w().setText(编辑框_GB, "3");
  release = true;
  ASSERT_TRUE(runUntilFinished());
  ASSERT_EQ(rows(), 2);
  EXPECT_EQ(w().cell(超级列表框_磁力链接, 1, 2), "magnet:?xt=urn:btih:4");
  EXPECT_EQ(filtered(), 2);
}

TEST_F(FilterFlow, TypingAfterASearchMatchesTheSettingsOnceTypingPauses) {
  std::vector<core::MagnetResult> hits;
  for (int i = 0; i < 300; ++i) hits.push_back(hit("abc " + std::to_string(i), std::to_string(i)));
  configure = [&] { w().click(选择框_过滤字词); };
  // A frame of 0 ms: every rebuild counts as slow, so typing always waits for a pause.
  searchWith(hits, "abc", {.frame = 0ms, .pause = 50ms});
  ASSERT_EQ(rows(), 300);
  for (const char* typed : {"1", "2", "3"}) {
    w().setFocus(编辑框_关键字词A);
    ASSERT_TRUE(w().typeText(编辑框_关键字词A, typed));
    loop_.waitProcessing(10ms);
  }
  EXPECT_EQ(stored("过滤"_gbk, "过滤文本"_gbk), "123");  // written at every keystroke
  ASSERT_TRUE(loop_.runUntil([&] { return !app_->rebuilder().pending(); }, 5s));
  EXPECT_EQ(rows(), 299);  // all but "abc 123"
  EXPECT_EQ(filtered(), 1);
}

TEST_F(FilterFlow, SettingsSurviveARestart) {
  launch();
  w().click(选择框_精准搜索);
  w().click(选择框_过滤字词);
  w().click(选择框_保证显示);
  w().click(siteCheckBox("Renz"));
  w().setText(编辑框_关键字词A, "预告、CAM"_gbk);
  w().setText(编辑框_关键字词B, " 1080P、中字 "_gbk);  // blanks belong to the words
  w().setText(编辑框_MB, "700");
  w().setText(编辑框_页数, "45");
  w().setText(编辑框_时间, "8");
  app_->close();
  loop_.detach(w());
  app_.reset();

  launch();
  EXPECT_FALSE(w().checked(选择框_精准搜索));
  EXPECT_TRUE(w().checked(选择框_过滤字词));
  EXPECT_TRUE(w().checked(选择框_保证显示));
  EXPECT_FALSE(w().checked(siteCheckBox("Renz")));
  EXPECT_TRUE(w().checked(siteCheckBox("FeiBt")));
  EXPECT_EQ(w().text(编辑框_关键字词A), "预告、CAM"_gbk);
  EXPECT_EQ(w().text(编辑框_关键字词B), " 1080P、中字 "_gbk);
  EXPECT_EQ(w().text(编辑框_MB), "700");
  EXPECT_EQ(w().text(编辑框_页数), "30");
  EXPECT_EQ(w().text(编辑框_时间), "8");
}

TEST_F(FilterFlow, AStoredPageLimitAboveTheBoundIsShownAsThirtyAndKept) {
  testing::writeWholeFile(settingsPath(), "[搜索]\r\n页数=45\r\n时间=2\r\n"_gbk);
  std::array<core::SiteWorker, core::kSiteCount> workers;
  workers[kBtdad] = [](core::SiteRun& run) { run.clearRunning(); };
  launch(workers);
  EXPECT_EQ(w().text(编辑框_页数), "30");
  EXPECT_EQ(w().text(编辑框_时间), "5");
  EXPECT_EQ(stored("搜索"_gbk, "页数"_gbk), "45");  // until the user changes the box
  tickOnly({"Btdad"});
  search("abc");
  ASSERT_TRUE(runUntilFinished());
  EXPECT_EQ(search().request().pageLimit, 30);
  EXPECT_EQ(search().request().timeoutSeconds, 5);
}

// Workers hand over hits while the UI thread changes the filter settings: every hit ends up
// listed or counted exactly once, and nothing races (the thread-sanitizer build runs this).
TEST_F(FilterFlow, WorkersHandOverWhileTheUiTogglesTheFilter) {
  constexpr int kHits = 1500;
  std::atomic<int> done = 0, rounds = 0;
  auto worker = [&](const std::string& site) {
    return [&, site](core::SiteRun& run) {
      for (int i = 0; i < kHits && !run.stopRequested(); ++i) {
        // Half way through, make sure the UI thread is busy changing settings.
        if (i == kHits / 2) testing::waitFor([&] { return rounds >= 3; });
        // Every fifth link repeats, in another case, one this worker handed over before.
        std::string link = site + std::to_string(i % 5 == 4 ? i - 1 : i);
        run.handOver({i % 3 ? "abc " + std::to_string(i) : "xyz", "magnet:?xt=urn:btih:" +
                      (i % 2 ? lowerAscii(link) : link), site, std::to_string(i) + " MB", "1", "d"});
      }
      ++done;
      run.clearRunning();
    };
  };
  std::array<core::SiteWorker, core::kSiteCount> workers;
  workers[kBtdad] = worker("Btdad");
  workers[kIheian] = worker("Iheian");
  workers[kSobt] = worker("Sobt");
  launch(workers);
  tickOnly({"Btdad", "Iheian", "Sobt"});
  search("abc");
  const window::CheckBoxId boxes[] = {选择框_精准搜索, 选择框_过滤字词, 选择框_显示字词, 选择框_删除重复};
  int round = 0;
  while (done < 3) {
    rounds = round;
    w().click(boxes[round % 4]);
    w().setText(编辑框_关键字词A, round % 2 ? "1、2"_gbk : "3");
    w().setText(编辑框_关键字词B, round % 3 ? "" : "abc");
    w().setText(编辑框_MB, std::to_string(round % 50));
    loop_.processEvents();
    ++round;
  }
  ASSERT_TRUE(runUntilFinished());
  EXPECT_GE(round, 3);
  EXPECT_EQ(rows() + filtered() + duplicates(), 3 * kHits);
  EXPECT_EQ(search().store().hits().size(), 3u * kHits);
  w().click(选择框_删除重复);  // after the search: one rebuild under the final settings
  EXPECT_EQ(rows() + filtered() + duplicates(), 3 * kHits);
  for (int r = 0; r < rows(); ++r) ASSERT_EQ(w().cell(超级列表框_磁力链接, r, 0), std::to_string(r + 1));
}

}  // namespace
}  // namespace quenbo::app

namespace quenbo::app {
namespace {

// A worker that reports its hit label, as the page loop does, and hands the hits over.
core::SiteWorker reportsAndHandsOver(Text label, std::vector<core::MagnetResult> hits) {
  return [label, hits = std::move(hits)](core::SiteRun& run) {
    run.report([&label](core::SiteReport& r) { r.hitLabel = label; });
    for (auto h : hits) {
      h.site = label;
      run.handOver(h);
    }
    run.report([](core::SiteReport& r) { r.state = core::SiteState::done; });
    run.log("ran\r\n");
    run.clearRunning();
  };
}

TEST_F(FilterFlow, ReportsCountListedHitsAcrossRebuildsAndSkipSitesWithoutHost) {
  std::array<core::SiteWorker, core::kSiteCount> workers;
  workers[kBtdad] = reportsAndHandsOver("Btdad", {hit("abc", "A1"), hit("abc", "A2")});
  // Sobt finds Btdad's second resource again and one of its own.
  workers[kSobt] = reportsAndHandsOver("Sobt", {hit("abc", "a2"), hit("abc", "S1")});
  workers[kIheian] = reportsAndHandsOver("Iheian", {hit("abc", "I1")});
  launch(workers);
  app_->engine().setHostCheck([](int site) { return site != kIheian; });
  tickOnly({"Btdad", "Sobt", "Iheian"});
  search("abc");
  ASSERT_TRUE(runUntilFinished());

  auto listed = [&] {
    std::map<int, int> bySite;
    for (const core::SiteReport& r : searches().reports()->snapshot()) bySite[r.site] = r.hitsListed;
    return bySite;
  };
  auto states = searches().reports()->snapshot();
  ASSERT_EQ(states.size(), 3u);
  EXPECT_EQ(states[1].site, kIheian);
  EXPECT_EQ(states[1].state, core::SiteState::noHost);
  EXPECT_EQ(w().text(编辑框_日志), "ran\r\nran\r\n");  // Iheian's worker never ran
  const int btdadFirst = listed()[kBtdad];
  EXPECT_EQ(listed()[kBtdad] + listed()[kSobt], rows());
  EXPECT_EQ(rows(), 3);
  // Listing the duplicates again: every hit of both sites is listed.
  w().click(选择框_删除重复);
  EXPECT_EQ(listed(), (std::map<int, int>{{kBtdad, 2}, {kIheian, 0}, {kSobt, 2}}));
  w().click(选择框_删除重复);
  EXPECT_EQ(listed()[kBtdad], btdadFirst);
  EXPECT_EQ(listed()[kBtdad] + listed()[kSobt], 3);
}

}  // namespace
}  // namespace quenbo::app
