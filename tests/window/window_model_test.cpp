#include "window/window_model.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <memory>
#include <functional>
#include <thread>

#include "base/encoding.h"
#include "window/headless/headless_loop.h"
#include "forms/main_window_names.h"
#include "forms/window_templates.h"

namespace quenbo::window {
namespace {

using namespace forms::names;

struct RecordingObserver : ModelObserver {
  void modelChanged(const WindowModel&, const Change& change) override { changes.push_back(change); }
  std::vector<Change> changes;
};

class WindowModelTest : public ::testing::Test {
 protected:
  HeadlessLoop loop;  // this thread is the UI thread
  WindowModel w{forms::mainWindowTemplate(), &loop};
  std::vector<Event> events;
  void record(const ComponentId& name, EventKind kind) {
    w.on(name, kind, [this](const Event& e) { events.push_back(e); });
  }
};

TEST_F(WindowModelTest, IntegerBoxesTakeOnlyDigitsAndMinusUpToTheirLimit) {
  struct Case { EditBoxId box; std::string typed; Text shown; };
  const Case cases[] = {
      {编辑框_页数, "4a5", "45"},   {编辑框_页数, "123", "12"}, {编辑框_页数, "-9", "-9"},
      {编辑框_时间, "12345", "1234"}, {编辑框_GB, "1.5", "15"}, {编辑框_MB, "５", ""},
      {编辑框_线程数量, "abc", "abc"},  // not an integer box
  };
  for (const auto& c : cases) {
    w.setText(c.box, {});
    w.typeText(c.box, c.typed);
    EXPECT_EQ(w.text(c.box), c.shown) << c.box << " typed " << c.typed;
  }
  w.setText(编辑框_页数, "12345");  // the system is never limited
  EXPECT_EQ(w.text(编辑框_页数), "12345");
  EXPECT_FALSE(w.typeText(编辑框_日志, "x"));  // read-only
}

TEST_F(WindowModelTest, SystemChangesFireChangeEventsToo) {
  record(编辑框_GB, EventKind::TextChanged);
  w.setText(编辑框_GB, "1");
  w.typeText(编辑框_GB, "2");
  w.appendText(编辑框_GB, "3");
  EXPECT_EQ(events.size(), 3u);
  EXPECT_EQ(w.text(编辑框_GB), "123");
}

TEST_F(WindowModelTest, ClicksToggleCheckBoxesBeforeTheEvent) {
  bool seenTicked = false;
  w.on(选择框_删除重复, EventKind::Clicked,
       [&](const Event&) { seenTicked = w.checked(选择框_删除重复); });
  w.click(选择框_删除重复);
  EXPECT_TRUE(seenTicked);
  w.setChecked(选择框_删除重复, false);  // no click event
  EXPECT_TRUE(seenTicked);
  w.setEnabled(选择框_删除重复, false);
  w.click(选择框_删除重复);
  EXPECT_FALSE(w.checked(选择框_删除重复));
}

TEST_F(WindowModelTest, TabChangesFireOnlyOnRealChanges) {
  record(高级选择夹1, EventKind::TabChanged);
  w.setCurrentTab(高级选择夹1, 2);
  w.setCurrentTab(高级选择夹1, 2);
  w.setCurrentTab(高级选择夹1, 9);
  ASSERT_EQ(events.size(), 1u);
  EXPECT_EQ(events[0].index, 2);
}

TEST_F(WindowModelTest, ReportListRows) {
  RecordingObserver observer;
  w.addObserver(&observer);
  EXPECT_EQ(w.appendRow(超级列表框_磁力链接, {"1", "a"}), 0);
  EXPECT_EQ(w.appendRow(超级列表框_磁力链接, {"2", "b"}), 1);
  EXPECT_EQ(w.row(超级列表框_磁力链接, 0).size(), 7u);  // short rows get empty cells
  EXPECT_EQ(w.cell(超级列表框_磁力链接, 1, 1), "b");
  EXPECT_EQ(w.cell(超级列表框_磁力链接, 5, 1), "");
  w.selectRow(超级列表框_磁力链接, 1);
  EXPECT_EQ(w.selectedRow(超级列表框_磁力链接), 1);
  ListShape before = w.listShape(超级列表框_磁力链接);
  w.clearRows(超级列表框_磁力链接);
  ListShape after = w.listShape(超级列表框_磁力链接);
  EXPECT_EQ(after.rows, 0);
  EXPECT_EQ(after.resets, before.resets + 1);
  EXPECT_EQ(w.selectedRow(超级列表框_磁力链接), -1);
  w.removeObserver(&observer);
  ASSERT_EQ(observer.changes.size(), 3u);
  EXPECT_EQ(observer.changes[1].kind, ChangeKind::RowsAppended);
  EXPECT_EQ(observer.changes[1].index, 1);
  EXPECT_EQ(observer.changes[2].kind, ChangeKind::RowsReset);
}

TEST_F(WindowModelTest, ReorderedRowsKeepTheirFixedColumnsInPlace) {
  for (const char* text : {"a", "b", "c"}) {
    w.appendRow(超级列表框_磁力链接, {std::to_string(w.rowCount(超级列表框_磁力链接) + 1), text});
  }
  std::uint64_t resets = w.listShape(超级列表框_磁力链接).resets;
  for (const std::vector<int>& refused : {std::vector<int>{0, 1}, {0, 0, 1}, {0, 1, 3}}) {
    w.reorderRows(超级列表框_磁力链接, refused, 1);
  }
  EXPECT_EQ(w.listShape(超级列表框_磁力链接).resets, resets) << "an order that is no permutation";
  w.reorderRows(超级列表框_磁力链接, {2, 0, 1}, 1);
  EXPECT_EQ(w.row(超级列表框_磁力链接, 0), (Row{"1", "c", "", "", "", "", ""}));
  EXPECT_EQ(w.cell(超级列表框_磁力链接, 1, 1), "a");
  EXPECT_EQ(w.cell(超级列表框_磁力链接, 2, 0), "3");
  EXPECT_EQ(w.listShape(超级列表框_磁力链接).resets, resets + 1);
}

TEST_F(WindowModelTest, DestroyRunsHandlersFirstAndThenDropsEvents) {
  bool stillAlive = false;
  w.on(主窗口, EventKind::Destroying, [&](const Event&) { stillAlive = !w.destroyed(); });
  record(超级按钮_搜索, EventKind::Clicked);
  w.destroy();
  w.destroy();
  EXPECT_TRUE(stillAlive);
  EXPECT_TRUE(w.destroyed());
  w.click(超级按钮_搜索);
  EXPECT_TRUE(events.empty());
}

// A handle that names no component of its kind is a fault of the caller: a debug build stops,
// a release build logs one line per name and changes nothing.
TEST_F(WindowModelTest, AHandleWithoutItsComponentIsReported) {
  const struct {
    std::string_view name;
    std::function<void()> call;
  } cases[] = {
      {"没有这个", [&] { w.setText(EditBoxId{"没有这个"}, "x"); }},
      {"编辑框_搜索", [&] { w.setChecked(CheckBoxId{编辑框_搜索.name()}, true); }},
      {"未知列表", [&] { w.appendRow(ReportListId{"未知列表"}, {"x"}); }},
      {"未知按钮", [&] { w.on(ButtonId{"未知按钮"}, EventKind::Clicked, [](const Event&) {}); }},
  };
  for (const auto& c : cases) {
#ifdef NDEBUG
    ::testing::internal::CaptureStderr();
    c.call();
    c.call();
    std::string logged = ::testing::internal::GetCapturedStderr();
    EXPECT_EQ(std::count(logged.begin(), logged.end(), '\n'), 1) << logged;
    EXPECT_NE(logged.find(c.name), std::string::npos) << logged;
#else
    EXPECT_DEATH(c.call(), std::string(c.name));
#endif
  }
}

TEST_F(WindowModelTest, AWorkersChangeFiresItsEventOnTheUiThread) {
  std::vector<std::thread::id> ranOn;
  w.on(编辑框_日志, EventKind::TextChanged,
       [&](const Event&) { ranOn.push_back(std::this_thread::get_id()); });
  std::thread([&] { w.appendText(编辑框_日志, "line"); }).join();
  EXPECT_TRUE(ranOn.empty());  // posted, not run on the worker
  EXPECT_EQ(w.text(编辑框_日志), "line");
  loop.processEvents();
  w.appendText(编辑框_日志, "more");  // on the UI thread: at once
  EXPECT_EQ(ranOn, std::vector<std::thread::id>(2, std::this_thread::get_id()));
}

TEST_F(WindowModelTest, ConcurrentAppendsAndReadsStayConsistent) {
  std::atomic<bool> done = false;
  std::thread writer([&] {
    for (int i = 0; i < 5000; ++i) {
      w.appendRow(超级列表框_磁力链接, {std::to_string(i + 1)});
      w.appendText(编辑框_日志, "line\r\n");
    }
    done = true;
  });
  while (!done) {
    ListShape shape = w.listShape(超级列表框_磁力链接);
    if (shape.rows > 0) {
      ASSERT_EQ(w.cell(超级列表框_磁力链接, shape.rows - 1, 0), std::to_string(shape.rows));
    }
  }
  writer.join();
  EXPECT_EQ(w.rowCount(超级列表框_磁力链接), 5000);
  EXPECT_EQ(w.text(编辑框_日志).size(), 5000u * 6);
}

// What a slow observer did, kept outside it so that it can be read after the observer is gone.
struct CallRecord {
  std::atomic<bool> entered{false}, inCall{false}, removed{false};
  std::atomic<int> callsAfterRemoval{0};
};

// Holds each call for a while, so that the UI thread acts while a worker's notification is
// under way.
struct SlowObserver final : ModelObserver {
  SlowObserver(CallRecord& record, std::chrono::milliseconds hold) : record(record), hold(hold) {}
  void modelChanged(const WindowModel&, const Change&) override {
    record.inCall = true;
    record.entered = true;
    std::this_thread::sleep_for(hold);
    if (record.removed) ++record.callsAfterRemoval;
    record.inCall = false;
  }
  CallRecord& record;
  std::chrono::milliseconds hold;
};

// A front-end removes its observer and deletes it while a worker's change is being told:
// once removeObserver has returned the observer is neither in a call nor called again.
TEST_F(WindowModelTest, AnObserverRemovedDuringAWorkersNotificationIsNeverCalledAgain) {
  using namespace std::chrono_literals;
  const struct {
    const char* name;
    bool removeTheOneInItsCall;  // otherwise the one the notification reaches next
  } cases[] = {{"in its call", true}, {"next in line", false}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    CallRecord first, second;
    auto firstObserver = std::make_unique<SlowObserver>(first, 150ms);
    auto secondObserver = std::make_unique<SlowObserver>(second, 0ms);
    w.addObserver(firstObserver.get());
    w.addObserver(secondObserver.get());
    std::thread worker([&] { w.appendText(编辑框_日志, "line"); });
    ASSERT_TRUE(loop.runUntil([&] { return first.entered.load(); }, 5s));
    CallRecord& removed = c.removeTheOneInItsCall ? first : second;
    auto& gone = c.removeTheOneInItsCall ? firstObserver : secondObserver;
    w.removeObserver(gone.get());
    EXPECT_FALSE(removed.inCall);
    removed.removed = true;
    gone.reset();
    worker.join();
    EXPECT_EQ(removed.callsAfterRemoval, 0);
    if (firstObserver) w.removeObserver(firstObserver.get());
    if (secondObserver) w.removeObserver(secondObserver.get());
  }
}

// An observer may remove itself from inside its own call.
TEST_F(WindowModelTest, AnObserverMayRemoveItselfWhileItIsCalled) {
  struct Leaving final : ModelObserver {
    explicit Leaving(WindowModel& w) : w(w) {}
    void modelChanged(const WindowModel&, const Change&) override {
      ++calls;
      w.removeObserver(this);
    }
    WindowModel& w;
    int calls = 0;
  } leaving(w);
  w.addObserver(&leaving);
  std::thread([&] { w.appendText(编辑框_日志, "a"); }).join();
  w.appendText(编辑框_日志, "b");
  EXPECT_EQ(leaving.calls, 1);
}

}  // namespace
}  // namespace quenbo::window
