#include <gtest/gtest.h>

#include <atomic>
#include <optional>
#include <filesystem>
#include <fstream>

#include "app/app_harness.h"
#include "base/numbers.h"

namespace quenbo::app {
namespace {

using namespace forms::names;
using namespace std::chrono_literals;

constexpr int kBtdad = 0, kIheian = 2, kSobt = 5;

core::MagnetResult hit(const std::string& site, int n) {
  // The title holds the keyword of every search here: exact search is on by default.
  return {"film title", "magnet:?xt=urn:btih:" + site + std::to_string(n), site, "1 GB", "1", "d"};
}

// A worker that hands over `count` hits and one log line, as an adapter would.
core::SiteWorker handsOver(const std::string& site, int count) {
  return [site, count](core::SiteRun& run) {
    for (int i = 0; i < count && !run.stopRequested(); ++i) run.handOver(hit(site, i));
    run.clearRunning();
    run.log(site + " done\r\n");
  };
}

class SearchFlow : public AppHarness {};

// Every text the task-state part of the status bar shows, in order.
class TaskStates final : window::ModelObserver {
 public:
  explicit TaskStates(window::WindowModel& w) : w_(w) { w_.addObserver(this); }
  ~TaskStates() override { w_.removeObserver(this); }
  std::vector<Text> seen() {
    std::lock_guard lock(mutex_);
    return seen_;
  }

 private:
  void modelChanged(const window::WindowModel& w, const window::Change& change) override {
    if (change.kind != window::ChangeKind::StatusPart || change.index != 0) return;
    std::lock_guard lock(mutex_);
    Text now = w.statusPart(状态条1, 0);
    if (seen_.empty() || seen_.back() != now) seen_.push_back(now);
  }
  window::WindowModel& w_;
  std::mutex mutex_;
  std::vector<Text> seen_;
};

TEST_F(SearchFlow, StartUpShowsTheWindowFocusesTheKeywordAndRemovesTheUpdateLeftover) {
  std::ofstream(sandbox_.path() / "临时主程序") << "old";
  launch();
  EXPECT_TRUE(w().windowVisible());
  EXPECT_EQ(w().focus(), 编辑框_搜索);
  EXPECT_FALSE(std::filesystem::exists(sandbox_.path() / "临时主程序"));
}

TEST_F(SearchFlow, EmptyKeywordBeepsAndChangesNothing) {
  launch();
  w().appendRow(超级列表框_磁力链接, {"1", "kept"});
  w().setText(编辑框_日志, "old log");
  w().setFocus(超级按钮_搜索);
  search("");
  EXPECT_EQ(ui_.beeps(), 1);
  ASSERT_EQ(ui_.messages().size(), 1u);
  EXPECT_EQ(ui_.messages()[0].text, "搜索内容不能为空"_gbk);
  EXPECT_EQ(ui_.messages()[0].title, "信息："_gbk);
  EXPECT_EQ(ui_.messages()[0].buttons, window::MessageButtons::Ok);
  EXPECT_EQ(w().focus(), 编辑框_搜索);
  EXPECT_EQ(w().rowCount(超级列表框_磁力链接), 1);
  EXPECT_EQ(w().text(编辑框_日志), "old log");
  EXPECT_TRUE(w().enabled(超级按钮_搜索));
  EXPECT_EQ(w().timerInterval(时钟_线程), 0);
}

TEST_F(SearchFlow, AFrontEndThatCannotPlayIsNeverHandedTheClip) {
  ui_.setPlaysSound(false);
  launch();
  tickOnly({});
  search("x");
  ASSERT_TRUE(runUntilFinished());
  EXPECT_TRUE(searches().searchDone());
  EXPECT_TRUE(ui_.playedSounds().empty());
}

// How quickly: quenbo_search_flow_bench.
TEST_F(SearchFlow, NoSiteTickedFinishesOnTheFirstTick) {
  launch();
  tickOnly({});
  int ticks = 0, finishedEvents = 0;
  // Bound after the job's own handler, so it sees the tick's outcome.
  w().on(时钟_线程, window::EventKind::TimerTick, [&](const window::Event&) { ++ticks; });
  searches().onFinished([&] { ++finishedEvents; });
  w().setText(编辑框_页数, "7");
  search("   ");  // blanks are a keyword like any other
  EXPECT_TRUE(searches().running());
  EXPECT_FALSE(w().enabled(超级按钮_搜索));
  EXPECT_TRUE(w().enabled(超级按钮_停止));
  EXPECT_EQ(w().currentTab(高级选择夹1), kResultTab);
  EXPECT_EQ(w().timerInterval(时钟_线程), 100);
  ASSERT_TRUE(runUntilFinished());
  EXPECT_EQ(ticks, 1);
  EXPECT_EQ(finishedEvents, 1);
  EXPECT_FALSE(searches().running());
  EXPECT_EQ(search().request().pageLimit, 7);
  EXPECT_TRUE(searches().searchDone());
  EXPECT_TRUE(w().enabled(超级按钮_搜索));
  EXPECT_FALSE(w().enabled(超级按钮_停止));
  ASSERT_EQ(ui_.playedSounds().size(), 1u);
  EXPECT_EQ(ui_.playedSounds()[0].size(), 140044u);
  EXPECT_EQ(w().statusPart(状态条1, 0), "任务状态：资源采集完毕"_gbk);
  EXPECT_EQ(w().statusPart(状态条1, 1), "结果数量：0 条"_gbk);
}

TEST_F(SearchFlow, TickedSitesRunTogetherAndTheSearchCompletes) {
  std::array<core::SiteWorker, core::kSiteCount> workers;
  workers[kBtdad] = handsOver("Btdad", 30);
  workers[kIheian] = handsOver("Iheian", 20);
  workers[kSobt] = handsOver("Sobt", 10);
  launch(workers);
  tickOnly({"Btdad", "Iheian"});
  w().setText(编辑框_页数, "１２"_gbk);  // full-width digits read as 12
  w().setText(编辑框_时间, "5 秒"_gbk);
  search("film");
  ASSERT_TRUE(runUntilFinished());
  EXPECT_EQ(w().rowCount(超级列表框_磁力链接), 50);
  EXPECT_EQ(search().request().pageLimit, 12);
  EXPECT_EQ(search().request().timeoutSeconds, 5);
  EXPECT_EQ(search().request().keyword, "film");
  Text log = w().text(编辑框_日志);
  EXPECT_NE(log.find("Btdad done"), Text::npos);
  EXPECT_NE(log.find("Iheian done"), Text::npos);
  EXPECT_EQ(log.find("Sobt"), Text::npos);  // not ticked
  EXPECT_EQ(w().statusPart(状态条1, 1), "结果数量：50 条"_gbk);
}

TEST_F(SearchFlow, EnterStartsOnlyWhileTheSearchButtonIsEnabled) {
  std::atomic<bool> release = false;
  std::array<core::SiteWorker, core::kSiteCount> workers;
  workers[kBtdad] = [&](core::SiteRun& run) {
    while (!release) std::this_thread::sleep_for(1ms);
    run.clearRunning();
  };
  launch(workers);
  tickOnly({"Btdad"});
  w().setText(编辑框_搜索, "x");
  window::Event enter{std::string(编辑框_搜索), window::EventKind::KeyPressed, -1, 13, {}};
  w().fire(enter);
  EXPECT_EQ(w().timerInterval(时钟_线程), 100);
  const core::Search* first = &search();
  std::this_thread::sleep_for(5ms);
  w().fire(enter);  // the search button is disabled now
  EXPECT_EQ(&search(), first);
  release = true;
  ASSERT_TRUE(runUntilFinished());
}

// A worker whose request is slow to give up holds neither a stop nor a close: the search
// ends at the next tick, and what the worker still hands over is refused.
TEST_F(SearchFlow, StopAndCloseEndTheSearchWithoutWaitingForASlowWorker) {
  for (bool closing : {false, true}) {
    SCOPED_TRACE(closing ? "close" : "stop");
    std::atomic<bool> sawStop = false, release = false, handedOver = false;
    std::array<core::SiteWorker, core::kSiteCount> workers;
    workers[kBtdad] = [&](core::SiteRun& run) {
      run.handOver(hit("before", 1));
      while (!run.stopRequested()) std::this_thread::sleep_for(1ms);
      sawStop = true;
      while (!release) std::this_thread::sleep_for(1ms);
      run.handOver(hit("after", 2));
      handedOver = true;
      run.clearRunning();
    };
    launch(workers);
    tickOnly({"Btdad"});
    search("title");
    ASSERT_TRUE(loop_.runUntil([&] { return w().rowCount(超级列表框_磁力链接) == 1; }));
    std::size_t sounds = ui_.playedSounds().size();
    std::optional<TaskStates> taskStates(std::in_place, w());
    auto pressed = std::chrono::steady_clock::now();
    if (closing) {
      app_->close();
      EXPECT_TRUE(w().destroyed());
      EXPECT_EQ(searches().liveWorkers(), 1);  // still waiting, and the window went all the same
    } else {
      w().click(超级按钮_停止);
      EXPECT_EQ(w().statusPart(状态条1, 0), "任务状态：停止中"_gbk);
      EXPECT_TRUE(w().enabled(超级按钮_搜索));
      EXPECT_FALSE(w().enabled(超级按钮_停止));
      ASSERT_TRUE(runUntilFinished());
    }
    double seconds =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - pressed).count();
    EXPECT_LT(seconds, 2.0);  // one tick, or the shutdown's grace; generous for a loaded machine
    ASSERT_TRUE(loop_.runUntil([&] { return sawStop.load(); }));
    EXPECT_EQ(ui_.playedSounds().size(), sounds + 1);
    EXPECT_EQ(w().statusPart(状态条1, 0), "任务状态：资源采集完毕"_gbk);
    auto states = taskStates->seen();
    taskStates.reset();
    ASSERT_GE(states.size(), 2u);
    EXPECT_EQ(states[0], closing ? "任务状态：销毁中"_gbk : "任务状态：停止中"_gbk);

    release = true;
    ASSERT_TRUE(loop_.runUntil([&] { return handedOver && searches().liveWorkers() == 0; }));
    loop_.waitProcessing(50ms);
    EXPECT_EQ(w().rowCount(超级列表框_磁力链接), 1);
    EXPECT_EQ(w().statusPart(状态条1, 1), "结果数量：1 条"_gbk);
    EXPECT_EQ(w().statusPart(状态条1, 0), "任务状态：资源采集完毕"_gbk);
    app_->close();
    loop_.detach(app_->mainWindow());
    app_.reset();
  }
}

TEST_F(SearchFlow, ANewSearchNeverReceivesHitsOfAStoppedOne) {
  std::atomic<bool> release = false;
  std::atomic<int> runs = 0;
  std::array<core::SiteWorker, core::kSiteCount> workers;
  workers[kBtdad] = [&](core::SiteRun& run) {
    ++runs;
    // Told apart by keyword: the two workers may start in either order.
    if (run.keyword() == Text("film")) {  // the first search's worker is slow to notice the stop
      while (!release) std::this_thread::sleep_for(1ms);
      run.handOver(hit("old", 1));
      run.log("old line\r\n");
      run.clearRunning();
      return;
    }
    run.handOver(hit("new", 1));
    while (!release) std::this_thread::sleep_for(1ms);
    run.clearRunning();
  };
  launch(workers);
  tickOnly({"Btdad"});
  search("film");
  w().click(超级按钮_停止);
  search("title");
  ASSERT_TRUE(loop_.runUntil([&] { return runs == 2; }));
  release = true;
  ASSERT_TRUE(runUntilFinished());
  ASSERT_TRUE(loop_.runUntil([&] { return searches().liveWorkers() == 0; }));
  ASSERT_EQ(w().rowCount(超级列表框_磁力链接), 1);
  EXPECT_EQ(w().cell(超级列表框_磁力链接, 0, 3), "new");
  EXPECT_EQ(w().text(编辑框_日志).find("old line"), Text::npos);
}

TEST_F(SearchFlow, ClosingDuringASearchCompletesItBeforeTheWindowGoes) {
  std::atomic<bool> sawDestroying = false;
  std::array<core::SiteWorker, core::kSiteCount> workers;
  workers[kBtdad] = [&](core::SiteRun& run) {
    while (!run.stopRequested()) std::this_thread::sleep_for(1ms);
    sawDestroying = run.stopRequested();
    std::this_thread::sleep_for(150ms);
    run.clearRunning();
    run.log("closing line\r\n");  // written after the flag is clear
  };
  launch(workers);
  tickOnly({"Btdad"});
  search("x");
  TaskStates taskStates(w());
  app_->close();
  EXPECT_TRUE(sawDestroying);
  EXPECT_TRUE(w().destroyed());
  EXPECT_EQ(ui_.playedSounds().size(), 1u);
  EXPECT_EQ(w().statusPart(状态条1, 0), "任务状态：资源采集完毕"_gbk);
  auto states = taskStates.seen();
  ASSERT_GE(states.size(), 3u);
  EXPECT_EQ(states[0], "任务状态：销毁中"_gbk);  // until the next tick rewrites it
  EXPECT_EQ(states[1], "任务状态：正在采集资源"_gbk);
  EXPECT_EQ(searches().liveWorkers(), 0);
  EXPECT_NE(w().text(编辑框_日志).find("closing line"), Text::npos);
}

// How quickly: quenbo_search_flow_bench.
TEST_F(SearchFlow, ClosingWhileIdleIsImmediate) {
  launch();
  int ticks = 0;
  w().on(时钟_线程, window::EventKind::TimerTick, [&](const window::Event&) { ++ticks; });
  app_->close();
  EXPECT_TRUE(w().destroyed());
  EXPECT_EQ(ticks, 0);  // nothing to wait for
  EXPECT_EQ(w().statusPart(状态条1, 0), "任务状态：销毁中"_gbk);
}

TEST_F(SearchFlow, ElapsedTimeFreezesAtTheLastRunningTick) {
  std::array<core::SiteWorker, core::kSiteCount> workers;
  workers[kBtdad] = [](core::SiteRun& run) {
    std::this_thread::sleep_for(250ms);
    run.clearRunning();
  };
  launch(workers);
  tickOnly({"Btdad"});
  auto started = std::chrono::steady_clock::now();
  search("x");
  ASSERT_TRUE(runUntilFinished());
  std::chrono::duration<double> took = std::chrono::steady_clock::now() - started;
  Text frozen = w().statusPart(状态条1, 4);
  double seconds = textToNumber(frozen.substr(Text("搜索耗时："_gbk).size()));
  EXPECT_GE(seconds, 0.2);  // the worker's 250 ms, in seconds
  EXPECT_LE(seconds, took.count() + 0.01);
  loop_.waitProcessing(30ms);
  searches().rebuild();
  EXPECT_EQ(w().statusPart(状态条1, 4), frozen);
}

TEST_F(SearchFlow, TabChangesMoveTheFocus) {
  launch();
  w().setCurrentTab(高级选择夹1, kFilterTab);
  EXPECT_EQ(w().focus(), 编辑框_关键字词A);
  w().setCurrentTab(高级选择夹1, kLogTab);
  EXPECT_EQ(w().focus(), 编辑框_关键字词A);
  w().setCurrentTab(高级选择夹1, kFilmTab);
  EXPECT_EQ(w().focus(), 编辑框_搜索);
}

TEST_F(SearchFlow, UntickingASiteDuringTheLaunchDoesNotHangTheSearch) {
  std::array<core::SiteWorker, core::kSiteCount> workers;
  workers[kBtdad] = handsOver("Btdad", 1);
  launch(workers);
  tickOnly({"Btdad", "Sobt"});
  // The first launch wait processes this click before Sobt's turn comes.
  loop_.post([&] { w().click(siteCheckBox("Sobt")); });
  search("x");
  ASSERT_TRUE(runUntilFinished(2s));
  EXPECT_FALSE(searches().anySiteRunning());
}

// 停止 pressed while the launch is still starting sites ends the search once: one finished
// event and one sound; the sites not started yet read 已停止.
TEST_F(SearchFlow, StopDuringTheLaunchFinishesOnce) {
  std::array<core::SiteWorker, core::kSiteCount> workers;
  for (auto& worker : workers) {
    worker = [](core::SiteRun& run) {
      while (!run.stopRequested()) std::this_thread::sleep_for(1ms);
      run.clearRunning();
    };
  }
  launch(workers);
  tickOnly({"Btdad", "Iheian", "Sobt", "种子搜", "Torrentz", "SXBTZZ", "Btsow", "Renz"});
  int finishedEvents = 0;
  searches().onFinished([&] { ++finishedEvents; });
  // Between the second and the third site's start, however the launch waits.
  loop_.postAfter(15ms, [&] { w().click(超级按钮_停止); });
  search("x");
  ASSERT_TRUE(runUntilFinished());
  loop_.waitProcessing(300ms);  // where the rest of the launch and a second end would come
  EXPECT_EQ(finishedEvents, 1);
  EXPECT_EQ(ui_.playedSounds().size(), 1u);
  int neverStarted = 0;
  for (const core::SiteReport& report : searches().reports()->snapshot()) {
    neverStarted += report.state == core::SiteState::stopped ? 1 : 0;
  }
  EXPECT_GE(neverStarted, 4);
  EXPECT_EQ(w().timerInterval(时钟_线程), 0);
}

}  // namespace
}  // namespace quenbo::app
