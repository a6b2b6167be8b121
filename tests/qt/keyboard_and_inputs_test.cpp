// Inputs that don't fight the user, and the keyboard: number boxes rewritten by their
// bounds, word lists typed one word a line, several rows copied at once, the shortcuts.
#include <QApplication>
#include <QCheckBox>
#include <QKeyEvent>
#include <QClipboard>
#include <QLineEdit>
#include <QMessageBox>
#include <QTest>
#include <QTreeView>
#include <atomic>
#include <thread>

#include "base/ini_file.h"
#include "forms/main_window_names.h"
#include "core/site_table.h"
#include "qt/component_widgets.h"
#include "qt/qt_text.h"
#include "qt/report_table_model.h"
#include "qt_app_harness.h"

namespace quenbo::qt::testing {
namespace {

using namespace forms::names;
using namespace std::chrono_literals;

class KeyboardAndInputs : public QtAppTest {
 protected:
  void start(std::array<core::SiteWorker, core::kSiteCount> workers = {}) {
    launch(std::move(workers));
    ASSERT_TRUE(processUntil([&] { return view().isVisible(); }));
    ASSERT_TRUE(processUntil([&] { return QApplication::activeWindow() == &view(); }));
  }
  template <class W>
  W& widget(std::string_view name) {
    return *qobject_cast<W*>(view().widget(name));
  }
  TextBox& textBox(std::string_view name) { return *dynamic_cast<TextBox*>(view().widget(name)); }
  // Text as an input method hands it over.
  static void compose(QWidget& target, const QString& text) {
    QKeyEvent composed(QEvent::KeyPress, 0, Qt::NoModifier, text);
    QApplication::sendEvent(&target, &composed);
  }
  // One key per turn of the event loop, as a person types.
  void type(QWidget& target, const QString& keys) {
    for (QChar key : keys) {
      QTest::keyClicks(&target, QString(key));
      processFor(15ms);
    }
  }
  void tickOnlyBtdad() {
    for (const auto& site : core::kSites) {
      w().setChecked(siteCheckBox(site.label), site.label == std::string_view("Btdad"));
    }
  }
};

TEST_F(KeyboardAndInputs, TypingAfterTheBoundsRewroteANumberBoxReplacesTheNewText) {
  start();
  w().setCurrentTab(高级选择夹1, kSettingsTab);
  auto& pages = widget<QLineEdit>(编辑框_页数);
  auto& timeout = widget<QLineEdit>(编辑框_时间);
  struct Case {
    QLineEdit* box;
    QString typed;  // after the box was emptied
    Text shown;
  };
  const Case cases[] = {
      {&pages, "5", "5"},     // emptied, the box shows "1" selected: 5 replaces it
      {&pages, "-3", "3"},    // "-" counts as 0, "1" again, selected
      {&pages, "45", "30"},   // above the bounds
      {&pages, "457", "7"},   // and the next digit replaces the bound
      {&timeout, "8", "8"},   // emptied: "3", selected
      {&timeout, "2", "3"},
  };
  for (const Case& c : cases) {
    c.box->setFocus();
    ASSERT_TRUE(processUntil([&] { return c.box->hasFocus(); }));
    c.box->selectAll();
    QTest::keyClick(c.box, Qt::Key_Backspace);
    processFor(15ms);
    type(*c.box, c.typed);
    EXPECT_EQ(toText(c.box->text()), c.shown) << c.typed.toStdString();
    EXPECT_EQ(w().text(window::EditBoxId{c.box->objectName().toStdString()}), c.shown);
  }
  EXPECT_TRUE(pages.toolTip().contains(QStringLiteral("1–30 页"))) << pages.toolTip().toStdString();
  EXPECT_TRUE(timeout.toolTip().contains(QStringLiteral("3–10 秒")));
  EXPECT_FALSE(view().widget(超级按钮_停止)->toolTip().isEmpty());
}

TEST_F(KeyboardAndInputs, WordsOnThreeLinesFilterAndSurviveARestart) {
  std::array<core::SiteWorker, core::kSiteCount> workers;
  workers[0] = [](core::SiteRun& run) {  // Btdad
    int n = 0;
    for (const char* title : {"电影 高清版", "电影 预告", "电影 中字", "电影 正片"}) {
      core::MagnetResult hit;
      hit.title = utf8ToGbk(title);
      hit.magnet = "magnet:?xt=urn:btih:" + std::to_string(++n);
      hit.site = "Btdad";
      hit.size = "1 GB";
      run.handOver(hit);
    }
    run.clearRunning();
  };
  for (int run = 0; run < 2; ++run) {
    SCOPED_TRACE(run == 0 ? "typed" : "after a restart");
    start(workers);
    tickOnlyBtdad();
    auto& words = textBox(编辑框_关键字词A);
    EXPECT_EQ(words.placeholderText(), QStringLiteral("词1、词2、词3"));
    EXPECT_TRUE(words.caption().startsWith(QStringLiteral("过滤字词")));
    EXPECT_TRUE(textBox(编辑框_关键字词B).caption().startsWith(QStringLiteral("显示字词")));
    if (run == 0) {
      w().setCurrentTab(高级选择夹1, kFilterTab);
      ASSERT_TRUE(processUntil([&] { return words.hasFocus(); }));
      compose(words, QStringLiteral("高清"));
      QTest::keyClick(&words, Qt::Key_Return);
      compose(words, QStringLiteral("预告"));
      QTest::keyClick(&words, Qt::Key_Return);
      compose(words, QStringLiteral("中字"));
      QTest::mouseClick(&widget<QCheckBox>(选择框_过滤字词), Qt::LeftButton);
      EXPECT_EQ(readIniValue(app_->settings().filePath(), "过滤"_gbk, "过滤文本"_gbk),
                "高清、预告、中字"_gbk);
    } else {
      EXPECT_EQ(words.toPlainText(), QStringLiteral("高清、预告、中字"));
    }
    w().setText(编辑框_搜索, "电影"_gbk);
    w().click(超级按钮_搜索);
    ASSERT_TRUE(processUntil([&] { return w().timerInterval(时钟_线程) == 0; }));
    ASSERT_EQ(w().rowCount(超级列表框_磁力链接), 1);
    EXPECT_EQ(w().cell(超级列表框_磁力链接, 0, 1), "电影 正片"_gbk);
    quit();
  }
}

TEST_F(KeyboardAndInputs, SelectedRowsAreCopiedOpenedAndSelectedAll) {
  start();
  w().setCurrentTab(高级选择夹1, kResultTab);
  for (int n = 1; n <= 6; ++n) {
    w().appendRow(超级列表框_磁力链接,
                  {std::to_string(n), "影片" + std::to_string(n),
                   "magnet:?xt=urn:btih:" + std::to_string(n), "Btdad", "1 GB", "1", ""});
  }
  auto& list = widget<QTreeView>(超级列表框_磁力链接);
  ASSERT_TRUE(processUntil([&] { return view().table(超级列表框_磁力链接)->rowCount() == 6; }));
  auto rowAt = [&](int row) { return list.visualRect(list.model()->index(row, 1)).center(); };
  QTest::mouseClick(list.viewport(), Qt::LeftButton, {}, rowAt(1));
  QTest::mouseClick(list.viewport(), Qt::LeftButton, Qt::ShiftModifier, rowAt(2));
  QTest::mouseClick(list.viewport(), Qt::LeftButton, Qt::ControlModifier, rowAt(4));
  EXPECT_EQ(w().selectedRows(超级列表框_磁力链接), (std::vector<int>{1, 2, 4}));
  EXPECT_EQ(w().selectedRow(超级列表框_磁力链接), 4);

  QApplication::clipboard()->clear();
  QTest::keyClick(&list, Qt::Key_C, Qt::ControlModifier);
  ASSERT_TRUE(processUntil([] { return !QApplication::clipboard()->text().isEmpty(); }));
  EXPECT_EQ(QApplication::clipboard()->text(),
            QStringLiteral("magnet:?xt=urn:btih:2\nmagnet:?xt=urn:btih:3\nmagnet:?xt=urn:btih:5"));

  // Enter opens the current row, as a double click does.
  QTest::keyClick(&list, Qt::Key_Return);
  ASSERT_TRUE(processUntil([&] { return !launched_.isEmpty(); }));
  EXPECT_TRUE(launched_.last().endsWith(QStringLiteral("magnet:?xt=urn:btih:5")));

  QTest::keyClick(&list, Qt::Key_A, Qt::ControlModifier);
  EXPECT_EQ(w().selectedRows(超级列表框_磁力链接).size(), 6u);
}

TEST_F(KeyboardAndInputs, TheKeywordBoxRefusesWhatGbkCannotHoldAndSaysWhich) {
  start();
  auto& keyword = widget<QLineEdit>(编辑框_搜索);
  compose(keyword, QStringLiteral("电影"));
  for (const char* typed : {"김치", "🎬"}) {
    SCOPED_TRACE(typed);
    QString said;
    whenModalShown([&](QWidget& modal) {
      auto& box = dynamic_cast<QMessageBox&>(modal);
      said = box.text();
      box.button(QMessageBox::Ok)->click();
    });
    compose(keyword, QString::fromUtf8(typed));
    ASSERT_TRUE(processUntil([&] { return !said.isEmpty(); }));
    EXPECT_TRUE(said.contains(QString::fromUtf8(typed))) << said.toStdString();
    EXPECT_TRUE(said.contains(QStringLiteral("GBK"))) << said.toStdString();
    // Nothing of it reached the keyword: no "?" is ever searched for.
    EXPECT_EQ(keyword.text(), QStringLiteral("电影"));
    EXPECT_EQ(w().text(编辑框_搜索), "电影"_gbk);
  }
  compose(keyword, QStringLiteral(" 2019版"));
  EXPECT_EQ(w().text(编辑框_搜索), "电影 2019版"_gbk);
}

TEST_F(KeyboardAndInputs, EscStopsASearchAndCtrlLOrFGoesToTheKeyword) {
  std::atomic<bool> stopSeen = false;
  std::array<core::SiteWorker, core::kSiteCount> workers;
  workers[0] = [&](core::SiteRun& run) {
    while (!run.stopRequested()) std::this_thread::sleep_for(2ms);
    stopSeen = true;
    run.clearRunning();
  };
  start(workers);
  tickOnlyBtdad();
  auto& keyword = widget<QLineEdit>(编辑框_搜索);
  compose(keyword, QStringLiteral("电影"));
  QTest::keyClick(&keyword, Qt::Key_Return);
  ASSERT_TRUE(processUntil([&] { return w().enabled(超级按钮_停止); }));

  for (Qt::Key key : {Qt::Key_L, Qt::Key_F}) {
    w().setCurrentTab(高级选择夹1, kResultTab);
    w().setCurrentTab(高级选择夹1, kFilterTab);
    ASSERT_TRUE(processUntil([&] { return textBox(编辑框_关键字词A).hasFocus(); }));
    QTest::keyClick(QApplication::focusWidget(), key, Qt::ControlModifier);
    ASSERT_TRUE(processUntil([&] { return keyword.hasFocus(); }));
    EXPECT_EQ(keyword.selectedText(), QStringLiteral("电影"));  // ready to be retyped
  }

  QTest::keyClick(&keyword, Qt::Key_Escape);
  EXPECT_TRUE(app_->searches().search()->stopRequested());
  ASSERT_TRUE(processUntil([&] { return w().timerInterval(时钟_线程) == 0; }, 2s));
  EXPECT_EQ(w().statusPart(状态条1, 0), "任务状态：资源采集完毕"_gbk);
}

}  // namespace
}  // namespace quenbo::qt::testing
