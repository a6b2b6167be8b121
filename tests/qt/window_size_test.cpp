// The main window on a large screen: what grows, what stays centred, and the placement
// that comes back at the next start. Screenshots at the minimum size and at 1920 x 1080.
#include <QHeaderView>
#include <QLabel>
#include <QTreeView>
#include <cstdlib>

#include "base/ini_file.h"
#include "qt/component_widgets.h"
#include "qt/placement_keeper.h"
#include "qt_app_harness.h"
#include "forms/main_window_names.h"

namespace quenbo::qt::testing {
namespace {

using namespace forms::names;
using namespace std::chrono_literals;

class WindowSize : public QtAppTest {
 protected:
  QRect placed(std::string_view name) {
    QWidget* w = view().widget(name);
    return QRect(w->mapTo(&view(), QPoint()), w->size());
  }
  void fillList(int rows) {
    for (int i = 1; i <= rows; ++i) {
      Text n = std::to_string(i);
      w().appendRow(超级列表框_磁力链接,
                    {n, "电影 第"_gbk + n + "部 1080p 高清中字"_gbk,
                     "magnet:?xt=urn:btih:" + std::string(40 - n.size(), 'a') + n +
                         "&dn=film" + n + "&tr=udp%3A%2F%2Ftracker.example.org%3A1337",
                     "Btdad", "1.4 GB", n, "2019-12-24"});
    }
  }
  void shootTabs(const std::string& size) {
    const std::pair<int, const char*> tabs[] = {
        {kFilmTab, "films"}, {kResultTab, "results"}, {kFilterTab, "filter"},
        {kSettingsTab, "settings"}, {kDonationTab, "donation"}};
    for (const auto& [tab, name] : tabs) {
      w().setCurrentTab(高级选择夹1, tab);
      processFor(60ms);
      EXPECT_FALSE(saveScreenshot(view(), "size_" + size + "_" + name).empty());
    }
  }
  Text stored(const char* key) {
    return readIniValue(app_->settings().filePath(), "窗口"_gbk, utf8ToGbk(key));
  }
};

TEST_F(WindowSize, MainControlsGrowWhileTheRestStaysCentredOrAnchored) {
  launch();
  ASSERT_TRUE(processUntil([&] { return view().isVisible(); }));
  fillList(40);
  EXPECT_EQ(view().minimumSize(), QSize(1159, 496));
  EXPECT_EQ(view().size(), QSize(1159, 496));
  shootTabs("minimum");

  view().resize(1920, 1080);
  ASSERT_TRUE(processUntil([&] { return view().size() == QSize(1920, 1080); }));
  processFor(50ms);
  const int dx = 1920 - 1159, dy = 1080 - 496;
  // The page's main controls take all the room.
  for (auto name : {std::string_view(超级列表框_磁力链接), std::string_view(编辑框_日志),
                    std::string_view(编辑框_公告)}) {
    EXPECT_EQ(view().widget(name)->size(), QSize(1159 + dx, 341 + dy)) << name;
  }
  QRect a = placed(编辑框_关键字词A), b = placed(编辑框_关键字词B), panel = placed(图片框2);
  EXPECT_EQ(a.width(), 850 + dx);
  EXPECT_EQ(b.bottom(), placed(超级列表框_磁力链接).bottom());
  EXPECT_LE(std::abs(a.height() - b.height()), 1);
  EXPECT_EQ(panel.right(), 1919);
  // The search row stays centred, the status bar at the bottom with its proportions.
  QRect row = placed(编辑框_搜索).united(placed(图片框_暂停继续));
  EXPECT_LE(std::abs(row.center().x() - 960), 1);
  QRect status = placed(状态条1);
  EXPECT_EQ(status.bottom(), 1079);
  EXPECT_EQ(status.width(), 1920);
  for (QLabel* part : view().widget(状态条1)->findChildren<QLabel*>()) {
    EXPECT_NEAR(part->width(), 232.0 * 1920 / 1159, 1.5);
  }
  // The film tiles stay centred on their page.
  QRect tiles = placed(图片框_电影(1)).united(placed(图片框_电影(11)));
  QRect page = placed(超级列表框_磁力链接);
  EXPECT_LE(std::abs(tiles.center().x() - page.center().x()), 2);
  EXPECT_GT(tiles.top() - page.top(), dy / 2);
  // The width the list gains goes to the title and the magnet link.
  auto* list = qobject_cast<QTreeView*>(view().widget(超级列表框_磁力链接));
  EXPECT_EQ(list->header()->sectionSize(1) + list->header()->sectionSize(2), 560 + dx);
  shootTabs("1920x1080");

  // Back at its smallest, 1159 x 496, every component is at its own place again.
  view().resize(1159, 496);
  ASSERT_TRUE(processUntil([&] { return view().size() == QSize(1159, 496); }));
  EXPECT_EQ(placed(编辑框_搜索), QRect(50, 40, 801, 35));
  EXPECT_EQ(placed(编辑框_关键字词B), QRect(0, 193 + 110, 850, 171));
  EXPECT_EQ(list->header()->sectionSize(2), 280);

  view().showMaximized();
  ASSERT_TRUE(processUntil([&] { return view().isMaximized(); }));
  ASSERT_TRUE(processUntil([&] { return stored("最大化") == "真"_gbk; }, 3s));
}

TEST_F(WindowSize, PlacementAndTabComeBackAtTheNextStartInTheirOwnSection) {
  launch();
  ASSERT_TRUE(processUntil([&] { return view().isVisible(); }));
  w().click(选择框_保证显示);  // a design key, which must stay as it is
  view().move(120, 80);
  view().resize(1300, 700);
  w().setCurrentTab(高级选择夹1, kLogTab);
  ASSERT_TRUE(processUntil([&] { return stored("宽度") == "1300"; }, 3s));
  EXPECT_EQ(stored("高度"), "700");
  EXPECT_EQ(stored("最大化"), "假"_gbk);
  EXPECT_EQ(stored("选项卡"), "3");
  EXPECT_EQ(readIniValue(app_->settings().filePath(), "显示"_gbk, "保证显示"_gbk), "真"_gbk);
  quit();

  launch();
  ASSERT_TRUE(processUntil([&] { return view().isVisible(); }));
  EXPECT_EQ(view().size(), QSize(1300, 700));
  EXPECT_EQ(view().pos(), QPoint(120, 80));
  EXPECT_EQ(w().currentTab(高级选择夹1), kLogTab);
  EXPECT_TRUE(w().checked(选择框_保证显示));
  view().showMaximized();
  ASSERT_TRUE(processUntil([&] { return stored("最大化") == "真"_gbk; }, 3s));
  EXPECT_EQ(stored("宽度"), "1300");  // the size it returns to
  quit();

  launch();
  ASSERT_TRUE(processUntil([&] { return view().isVisible(); }));
  EXPECT_TRUE(view().isMaximized());
}

TEST_F(WindowSize, APlacementOffEveryScreenComesBackIntoView) {
  {
    std::string ini = "[窗口]\r\n左边=-5000\r\n顶边=9000\r\n宽度=100\r\n高度=100\r\n";
    quenbo::testing::writeWholeFile(sandbox_.file("Clss.ini"), utf8ToGbk(ini));
  }
  launch();
  ASSERT_TRUE(processUntil([&] { return view().isVisible(); }));
  EXPECT_EQ(view().size(), QSize(1159, 496));  // never below the designed size
  EXPECT_GE(view().pos().x(), 0);
  EXPECT_LT(view().pos().y(), 1000);
}

}  // namespace
}  // namespace quenbo::qt::testing
