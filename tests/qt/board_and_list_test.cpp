// The film tab filled from the simulated board, and the result list's own actions in the real
// window: a header click that sorts, and the popup menu with its two submenus. Screenshots of
// both board pages, the sorted list and the open menu.
#include <QApplication>
#include <QCursor>
#include <QHeaderView>
#include <QLabel>
#include <QMenu>
#include <QScreen>
#include <QTest>
#include <QTimer>
#include <QTreeView>

#include "forms/main_window_names.h"
#include "qt/component_widgets.h"
#include "qt/qt_text.h"
#include "qt_app_harness.h"
#include "site_simulator/site_simulator.h"

namespace quenbo::qt::testing {
namespace {

using namespace forms::names;
using namespace std::chrono_literals;

class BoardAndList : public QtAppTest {
 protected:
  bool tileHasPicture(int n) {
    auto* box = dynamic_cast<PictureBox*>(view().widget(图片框_电影(n)));
    return box != nullptr && box->hasPicture();
  }
  std::vector<std::string> sizes() {
    std::vector<std::string> out;
    for (int r = 0; r < w().rowCount(超级列表框_磁力链接); ++r)
      out.push_back(gbkToUtf8(w().cell(超级列表框_磁力链接, r, 4)));
    return out;
  }
};

TEST_F(BoardAndList, FilmTabShowsTheBoardsPostersOnBothPages) {
  simulator::SiteSimulator sites;
  boardHost_ = sites.boardHost();
  launch();
  ASSERT_TRUE(
      processUntil([&] { return view().isVisible() && app_->filmBoard().loaderFinished(); }, 30s));
  // Every poster reaches its picture box and decodes there.
  auto allShown = [&] {
    for (int n = 1; n <= 10; ++n) {
      if (!tileHasPicture(n)) return false;
    }
    return true;
  };
  EXPECT_TRUE(processUntil(allShown));
  EXPECT_EQ(toText(dynamic_cast<QLabel*>(view().widget(透明标签_电影名称(1)))->text()),
            "星河彼岸"_gbk);
  EXPECT_FALSE(saveScreenshot(view(), "film_board_page1").empty());

  QTest::mouseClick(view().widget(透明标签_下一页), Qt::LeftButton);
  ASSERT_TRUE(processUntil([&] { return view().widget(图片框_电影(6))->isVisible(); }));
  EXPECT_FALSE(view().widget(图片框_电影(1))->isVisible());
  EXPECT_FALSE(saveScreenshot(view(), "film_board_page2").empty());

  QTest::mouseClick(view().widget(图片框_电影(7)), Qt::LeftButton);
  EXPECT_EQ(w().text(编辑框_搜索), "第七个夏天"_gbk);
}

TEST_F(BoardAndList, HeaderClickSortsAndTheMenuShowsItsSubmenus) {
  static const char* const sizes_[] = {"700 MB", "1.5 GB", "512 KB", "3 TB",
                                       "1.2 gb", "4.7 GB", "88 MB"};
  const int n = static_cast<int>(std::size(sizes_));
  std::array<core::SiteWorker, core::kSiteCount> workers;
  workers[*core::siteIndex("Btsow")] = [](core::SiteRun& run) {
    for (int i = 1; i <= n; ++i) {
      run.handOver({"示例影片 "_gbk + std::to_string(i) + " 1080p",
                    "magnet:?xt=urn:btih:" + std::string(40, static_cast<char>('a' + i)), "Btsow",
                    utf8ToGbk(sizes_[i - 1]), std::to_string(i * 37 % 11), "2019-12-24"});
    }
    run.clearRunning();
  };
  launch(workers);
  ASSERT_TRUE(processUntil([&] { return view().isVisible(); }));
  for (const auto& site : core::kSites) {
    w().setChecked(siteCheckBox(site.label), site.label == std::string_view("Btsow"));
  }
  w().setText(编辑框_搜索, "1080p");
  w().click(超级按钮_搜索);
  ASSERT_TRUE(processUntil([&] { return w().timerInterval(时钟_线程) == 0; }, 10s));
  auto* list = dynamic_cast<QTreeView*>(view().widget(超级列表框_磁力链接));
  ASSERT_NE(list, nullptr);
  ASSERT_TRUE(processUntil([&] { return list->model()->rowCount() == n; }));

  QHeaderView* header = list->header();
  QPoint sizeHeader(header->sectionViewportPosition(4) + header->sectionSize(4) / 2,
                    header->height() / 2);
  QTest::mouseClick(header->viewport(), Qt::LeftButton, {}, sizeHeader);
  EXPECT_EQ(sizes(), (std::vector<std::string>{"4.7 GB", "1.5 GB", "1.2 gb", "700 MB", "88 MB",
                                               "512 KB", "3 TB"}));
  processFor(100ms);
  EXPECT_EQ(list->model()->index(0, 4).data().toString(), QStringLiteral("4.7 GB"));
  EXPECT_EQ(list->model()->index(0, 0).data().toString(), QStringLiteral("1"));
  EXPECT_FALSE(saveScreenshot(view(), "results_sorted_by_size").empty());

  // The menu over the second row, with 数据排序 opened; it is dismissed once seen.
  QRect second = list->visualRect(list->model()->index(1, 1));
  QStringList topLevel, sortItems;
  std::string menuShot;
  int ticks = 0;
  QTimer poll;
  poll.setInterval(20);
  QObject::connect(&poll, &QTimer::timeout, [&] {
    auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
    if (menu == nullptr) return;
    if (topLevel.isEmpty()) {
      for (QAction* a : menu->actions())
        topLevel << (a->isSeparator() ? QStringLiteral("-") : a->text());
      for (QAction* a : menu->actions()) {
        if (a->menu() == nullptr) continue;
        for (QAction* s : a->menu()->actions()) {
          if (a->text() == QStringLiteral("数据排序")) sortItems << s->text();
        }
        if (a->text() == QStringLiteral("数据排序")) {
          menu->setActiveAction(a);
          a->menu()->popup(menu->pos() + menu->actionGeometry(a).topRight());
        }
      }
      return;
    }
    if (++ticks < 6) return;  // the submenu is drawn
    poll.stop();
    if (onXServer()) {
      QRect area = view().frameGeometry();
      for (QWidget* top : QApplication::topLevelWidgets()) {
        if (qobject_cast<QMenu*>(top) && top->isVisible()) area |= top->geometry();
      }
      QPixmap screen = QGuiApplication::primaryScreen()->grabWindow(0);
      menuShot = screenshotPath("result_menu_open");
      if (!screen.copy(area).save(QString::fromStdString(menuShot), "PNG")) menuShot.clear();
    }
    while (QWidget* popup = QApplication::activePopupWidget()) popup->close();
  });
  poll.start();
  QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, second.center());
  EXPECT_EQ(w().selectedRow(超级列表框_磁力链接), 1);
  QCursor::setPos(list->viewport()->mapToGlobal(second.center()));
  QMetaObject::invokeMethod(
      list, [&] { emit list->customContextMenuRequested(second.center()); }, Qt::QueuedConnection);
  ASSERT_TRUE(processUntil([&] { return !poll.isActive(); }));
  EXPECT_EQ(topLevel, (QStringList{"迅雷下载", "复制链接", "-", "数据排序", "导出数据"}));
  EXPECT_EQ(sortItems, (QStringList{"文件大小", "资源热度", "默认顺序"}));
  if (onXServer()) {
    EXPECT_FALSE(menuShot.empty());
  }
}

}  // namespace
}  // namespace quenbo::qt::testing
