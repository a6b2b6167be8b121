// Opens the program's main window as a person would see it, runs a search with no site
// ticked, walks through every tab and keeps a screenshot of each.
#include <QApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QTabBar>
#include <QTest>
#include <QTimer>
#include <filesystem>

#include "qt_app_harness.h"
#include "app/site_setup.h"
#include "qt/component_widgets.h"
#include "qt/site_problems.h"
#include "forms/main_window_names.h"

namespace quenbo::qt::testing {
namespace {

using namespace forms::names;
using namespace std::chrono_literals;

class MainWindowSmoke : public QtAppTest {
 protected:
  TabControl& tabs() { return *dynamic_cast<TabControl*>(view().widget(高级选择夹1)); }
  StatusBar& status() { return *dynamic_cast<StatusBar*>(view().widget(状态条1)); }
  void clickTab(int index) {
    QTabBar* bar = tabs().tabBar();
    QTest::mouseClick(bar, Qt::LeftButton, {}, bar->tabRect(index).center());
  }
};

TEST_F(MainWindowSmoke, SearchesWithNoSiteAndShowsEveryTab) {
  launch();
  ASSERT_TRUE(processUntil([&] { return view().isVisible(); }));
  EXPECT_EQ(view().windowTitle(), QStringLiteral(" Tesk Quenbo 4.0.6.20191224"));
  EXPECT_EQ(view().size(), QSize(1159, 496));
  EXPECT_FALSE(tabs().tabBar()->isTabVisible(kAnnouncementTab));
  ASSERT_TRUE(
      processUntil([&] { return QApplication::focusWidget() == view().widget(编辑框_搜索); }));

  // A keyword typed into the box and Enter: the search runs and ends at once.
  auto* keyword = qobject_cast<QLineEdit*>(view().widget(编辑框_搜索));
  QKeyEvent chinese(QEvent::KeyPress, 0, Qt::NoModifier,
                    QStringLiteral("测试"));  // as an input method
  QApplication::sendEvent(keyword, &chinese);
  QTest::keyClicks(keyword, QStringLiteral(" keyword"));
  EXPECT_EQ(w().text(编辑框_搜索), "测试 keyword"_gbk);
  QTest::keyClick(keyword, Qt::Key_Return);
  ASSERT_TRUE(processUntil(
      [&] { return w().timerInterval(时钟_线程) == 0 && w().enabled(超级按钮_搜索); }));
  ASSERT_TRUE(
      processUntil([&] { return status().part(0) == QStringLiteral("任务状态：资源采集完毕"); }));
  EXPECT_EQ(tabs().tabBar()->currentIndex(), kResultTab);
  EXPECT_TRUE(view().widget(超级按钮_搜索)->isEnabled());
  EXPECT_FALSE(view().widget(超级按钮_停止)->isEnabled());
  EXPECT_EQ(status().part(1), QStringLiteral("结果数量：0 条"));

  // The announcement tab appears once the model shows it.
  w().setText(编辑框_公告, "公告：新版本即将发布。\r\n感谢使用。"_gbk);
  w().setTabVisible(高级选择夹1, kAnnouncementTab, true);
  ASSERT_TRUE(processUntil([&] { return tabs().tabBar()->isTabVisible(kAnnouncementTab); }));

  const char* names[] = {"main_0_films",    "main_1_results",  "main_2_filter",      "main_3_log",
                         "main_4_settings", "main_5_donation", "main_6_announcement"};
  for (int tab = 0; tab <= kAnnouncementTab; ++tab) {
    clickTab(tab);
    ASSERT_TRUE(processUntil([&] { return w().currentTab(高级选择夹1) == tab; })) << tab;
    processFor(30ms);
    std::string shot = saveScreenshot(view(), names[tab]);
    ASSERT_FALSE(shot.empty()) << names[tab];
    EXPECT_GT(std::filesystem::file_size(shot), 5000u) << shot;
  }
  // Tab 2 sends the cursor to the filter words, tab 0 back to the keyword.
  clickTab(kFilterTab);
  ASSERT_TRUE(
      processUntil([&] { return QApplication::focusWidget() == view().widget(编辑框_关键字词A); }));
  clickTab(kFilmTab);
  ASSERT_TRUE(
      processUntil([&] { return QApplication::focusWidget() == view().widget(编辑框_搜索); }));

  // The update window, shown for its screenshot.
  app_->updateWindow().setWindowVisible(true);
  ASSERT_TRUE(processUntil([&] { return updateView_->isVisible(); }));
  EXPECT_EQ(updateView_->size(), QSize(794, 381));
  EXPECT_FALSE(saveScreenshot(*updateView_, "update_window").empty());

  // Closing hides the window at once; the orderly shutdown runs after that.
  view().close();
  EXPECT_FALSE(view().isVisible());
  EXPECT_FALSE(w().destroyed());
  ASSERT_TRUE(processUntil([&] { return gone_ == 1; }));
  EXPECT_TRUE(w().destroyed());
  EXPECT_FALSE(view().isVisible());
  EXPECT_EQ(w().statusPart(状态条1, 0), "任务状态：销毁中"_gbk);
}

TEST_F(MainWindowSmoke, EmptyKeywordShowsTheDesignedMessageBox) {
  launch();
  ASSERT_TRUE(processUntil([&] { return view().isVisible(); }));
  QString title, text;
  whenModalShown([&](QWidget& modal) {
    auto& box = dynamic_cast<QMessageBox&>(modal);
    title = box.windowTitle();
    text = box.text();
    box.button(QMessageBox::Ok)->click();
  });
  QTest::mouseClick(view().widget(超级按钮_搜索), Qt::LeftButton);
  EXPECT_EQ(title, QStringLiteral("信息："));
  EXPECT_EQ(text, QStringLiteral("搜索内容不能为空"));
  EXPECT_EQ(w().currentTab(高级选择夹1), kFilmTab);
  EXPECT_EQ(w().timerInterval(时钟_线程), 0);
}

TEST_F(MainWindowSmoke, AnUnreadableHostsFileIsShownInAMessageBoxAndTheLog) {
  launch();
  ASSERT_TRUE(processUntil([&] { return view().isVisible(); }));
  std::filesystem::path missing = sandbox_.path() / "søren" / "mine.hosts";
  app::SiteSetup sites = app::setUpSites(sandbox_.path(), missing);
  ASSERT_TRUE(sites.hostsOptionUnreadable);
  QString text;
  whenModalShown([&](QWidget& modal) {
    auto& box = dynamic_cast<QMessageBox&>(modal);
    text = box.text();
    box.button(QMessageBox::Ok)->click();
  });
  reportSiteProblems(sites, missing, w(), ui_, view());
  ASSERT_TRUE(processUntil([&] { return !text.isEmpty(); }));
  // GBK cannot spell the folder: the box shows "?" there, the log line keeps the path.
  EXPECT_EQ(text, QStringLiteral("无法读取 --hosts 指定的站点文件：\n") +
                      QString::fromStdString((sandbox_.path() / "s?ren" / "mine.hosts").string()));
  EXPECT_NE(w().text(编辑框_日志).find("cannot read the hosts file"), std::string::npos);
}

}  // namespace
}  // namespace quenbo::qt::testing
