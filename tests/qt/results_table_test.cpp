// The results table under load: rows appended by a worker while the GUI thread repaints,
// resets in between, and the list's own events.
#include <QAbstractItemModelTester>
#include <QApplication>
#include <QHeaderView>
#include <QScrollBar>
#include <QTest>
#include <QTreeView>
#include <atomic>
#include <thread>

#include "base/encoding.h"
#include "base/numbers.h"
#include "qt_fixture.h"
#include "qt/qt_loop.h"
#include "qt/report_table_model.h"
#include "qt/window_view.h"
#include "forms/main_window_names.h"
#include "forms/window_templates.h"

namespace quenbo::qt::testing {
namespace {

using namespace forms::names;
using namespace std::chrono_literals;

window::Row resultRow(int n) {
  return {integerToText(n + 1),
          "测试影片 第"_gbk + integerToText(n) + "集"_gbk,
          "magnet:?xt=urn:btih:" + integerToText(n),
          "Btdad",
          "1.5 GB",
          integerToText(n % 97),
          "2019-12-24"};
}

class ResultsTable : public ::testing::Test {
 protected:
  void SetUp() override {
    model_.setWindowVisible(true);
    model_.setCurrentTab(高级选择夹1, kResultTab);
    ASSERT_TRUE(processUntil([&] { return view_.isVisible() && list().isVisible(); }));
    for (auto kind : {window::EventKind::HeaderClicked, window::EventKind::RightClicked,
                      window::EventKind::DoubleClicked}) {
      model_.on(超级列表框_磁力链接, kind,
                [this](const window::Event& e) { events_.push_back(e); });
    }
  }
  QTreeView& list() { return *qobject_cast<QTreeView*>(view_.widget(超级列表框_磁力链接)); }
  ReportTableModel& table() { return *view_.table(超级列表框_磁力链接); }
  int modelRows() { return model_.rowCount(超级列表框_磁力链接); }
  // Repaints the list until the worker is done, checking that the table never claims more
  // rows than the model holds.
  void repaintWhile(const std::atomic<bool>& running, bool appendsOnly) {
    while (running) {
      QCoreApplication::processEvents();
      list().scrollToBottom();
      list().viewport()->repaint();
      if (appendsOnly) {
        ASSERT_LE(table().rowCount(), modelRows());
      }
    }
  }

  QtLoop loop_;
  window::WindowModel model_{forms::mainWindowTemplate()};
  WindowView view_{model_, loop_};
  std::vector<window::Event> events_;
};

TEST_F(ResultsTable, HasTheDesignedColumnsAndNeverSortsItself) {
  const char* headers[] = {"ID", "Name", "Magnet", "Web", "File Size", "Heat", "Creation time"};
  const int widths[] = {50, 280, 280, 100, 100, 100, 200};
  ASSERT_EQ(table().columnCount(), 7);
  for (int c = 0; c < 7; ++c) {
    EXPECT_EQ(table().headerData(c, Qt::Horizontal, Qt::DisplayRole).toString(), headers[c]);
    EXPECT_EQ(list().header()->sectionSize(c), widths[c]) << c;
  }
  EXPECT_FALSE(list().isSortingEnabled());
  for (int n : {2, 0, 1}) model_.appendRow(超级列表框_磁力链接, resultRow(n));
  ASSERT_TRUE(processUntil([&] { return table().rowCount() == 3; }));

  QHeaderView* header = list().header();
  QTest::mouseClick(header->viewport(), Qt::LeftButton, {},
                    QPoint(header->sectionViewportPosition(4) + 20, header->height() / 2));
  ASSERT_EQ(events_.size(), 1u);
  EXPECT_EQ(events_[0].kind, window::EventKind::HeaderClicked);
  EXPECT_EQ(events_[0].index, 4);
  processFor(20ms);
  // The rows stay in the model's order: sorting is the handler's business.
  EXPECT_EQ(table().data(table().index(0, 1), Qt::DisplayRole).toString(), QStringLiteral("测试影片 第2集"));
  EXPECT_EQ(table().data(table().index(2, 1), Qt::DisplayRole).toString(), QStringLiteral("测试影片 第1集"));
}

TEST_F(ResultsTable, WorkerAppendingFiveThousandRowsWhileTheGuiRepaints) {
  QAbstractItemModelTester tester(&table(), QAbstractItemModelTester::FailureReportingMode::Fatal);
  constexpr int kRows = 5000;
  std::atomic<bool> running{true};
  std::thread worker([&] {
    for (int n = 0; n < kRows; ++n) {
      model_.appendRow(超级列表框_磁力链接, resultRow(n));
      if (n % 50 == 0) std::this_thread::sleep_for(1ms);
    }
    running = false;
  });
  repaintWhile(running, true);
  worker.join();
  ASSERT_TRUE(processUntil([&] { return table().rowCount() == kRows; }));
  EXPECT_EQ(table().rowCount(), modelRows());
  EXPECT_EQ(table().missingRowReads(), 0);
  EXPECT_EQ(table().data(table().index(kRows - 1, 2), Qt::DisplayRole).toString(),
            "magnet:?xt=urn:btih:" + QString::number(kRows - 1));
}

// As in the program: workers only append, while the GUI thread clears the list (a new
// search) and rewrites it (a rebuild or a sort).
TEST_F(ResultsTable, ResetsWhileAWorkerAppendsEndInTheModelsRows) {
  QAbstractItemModelTester tester(&table(), QAbstractItemModelTester::FailureReportingMode::Fatal);
  std::atomic<bool> running{true};
  std::thread worker([&] {
    for (int n = 0; n < 2000; ++n) {
      model_.appendRow(超级列表框_磁力链接, resultRow(n));
      if (n % 20 == 0) std::this_thread::sleep_for(1ms);
    }
    running = false;
  });
  for (int turn = 0; running; ++turn) {
    QCoreApplication::processEvents();
    list().viewport()->repaint();
    if (turn % 7 == 0) model_.clearRows(超级列表框_磁力链接);
    if (turn % 7 == 3) {
      std::vector<window::Row> reversed;
      for (int n = model_.rowCount(超级列表框_磁力链接) - 1; n >= 0; --n)
        reversed.push_back(model_.row(超级列表框_磁力链接, n));
      model_.replaceRows(超级列表框_磁力链接, reversed);
    }
    std::this_thread::sleep_for(1ms);
  }
  worker.join();
  std::vector<window::Row> sorted;
  for (int n = 99; n >= 0; --n) sorted.push_back(resultRow(n));
  model_.clearRows(超级列表框_磁力链接);
  for (const auto& row : sorted) model_.appendRow(超级列表框_磁力链接, row);
  ASSERT_TRUE(processUntil([&] { return table().rowCount() == 100; }));
  processFor(20ms);
  EXPECT_EQ(table().data(table().index(0, 1), Qt::DisplayRole).toString(), QStringLiteral("测试影片 第99集"));
  // A row past the end reads as empty, never as garbage.
  EXPECT_FALSE(table().data(table().index(100, 1), Qt::DisplayRole).isValid());
}

TEST_F(ResultsTable, KeepVisibleFollowsTheNewestRow) {
  for (int n = 0; n < 300; ++n) model_.appendRow(超级列表框_磁力链接, resultRow(n));
  model_.scrollToRow(超级列表框_磁力链接, 299);
  ASSERT_TRUE(processUntil([&] { return table().rowCount() == 300; }));
  processFor(20ms);
  QRect last = list().visualRect(table().index(299, 0));
  EXPECT_TRUE(list().viewport()->rect().contains(last)) << last.y();
  EXPECT_EQ(list().verticalScrollBar()->value(), list().verticalScrollBar()->maximum());
  EXPECT_FALSE(saveScreenshot(view_, "results_filled").empty());
}

TEST_F(ResultsTable, RightAndDoubleClicksSelectTheRowAndBecomeEvents) {
  for (int n = 0; n < 5; ++n) model_.appendRow(超级列表框_磁力链接, resultRow(n));
  ASSERT_TRUE(processUntil([&] { return table().rowCount() == 5; }));
  QPoint row2 = list().visualRect(table().index(2, 1)).center();
  emit list().customContextMenuRequested(row2);
  EXPECT_EQ(model_.selectedRow(超级列表框_磁力链接), 2);
  ASSERT_EQ(events_.size(), 1u);
  EXPECT_EQ(events_[0].kind, window::EventKind::RightClicked);

  QPoint row4 = list().visualRect(table().index(4, 1)).center();
  // A double click is a press, a release and the double click itself.
  QTest::mousePress(list().viewport(), Qt::LeftButton, {}, row4);
  QTest::mouseRelease(list().viewport(), Qt::LeftButton, {}, row4);
  QTest::mouseDClick(list().viewport(), Qt::LeftButton, {}, row4);
  EXPECT_EQ(model_.selectedRow(超级列表框_磁力链接), 4);
  ASSERT_EQ(events_.size(), 2u);
  EXPECT_EQ(events_[1].kind, window::EventKind::DoubleClicked);

  // A click on a row tells the model; a reset by the system clears the choice.
  QTest::mouseClick(list().viewport(), Qt::LeftButton, {}, row2);
  EXPECT_EQ(model_.selectedRow(超级列表框_磁力链接), 2);
  model_.clearRows(超级列表框_磁力链接);
  ASSERT_TRUE(processUntil([&] { return table().rowCount() == 0; }));
  EXPECT_EQ(model_.selectedRow(超级列表框_磁力链接), -1);
}

}  // namespace
}  // namespace quenbo::qt::testing
