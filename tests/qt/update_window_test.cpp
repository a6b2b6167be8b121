// The update window on real widgets against the update server: the change log it opens
// on, the file list, progress while a download is under way, and the announcement tab the
// service's five-field parameter fills. Each state is kept as a screenshot.
#include <QApplication>
#include <QMessageBox>
#include <QPushButton>
#include <QTabBar>
#include <QTest>
#include <filesystem>

#include "qt/component_widgets.h"
#include "qt_app_harness.h"
#include "forms/main_window_names.h"
#include "update/update_rows.h"
#include "update_server/update_server.h"

namespace quenbo::qt::testing {
namespace {

using namespace forms::names;
using namespace std::chrono_literals;
namespace fs = std::filesystem;

class UpdateWindowScreens : public QtAppTest {};

TEST_F(UpdateWindowScreens, LogFilesProgressAndAnnouncement) {
  quenbo::testing::TempDir release;
  fs::create_directories(release.path() / "plugins");
  quenbo::testing::writeWholeFile((release.path() / "plugins" / "magnet-helper.so").string(),
                                  std::string(400 * 1024, 'x'));
  quenbo::testing::writeWholeFile((release.path() / "sites.hosts").string(), "[sites]\n");
  quenbo::testing::writeWholeFile((sandbox_.path() / "sites.hosts").string(), "old\n");
  quenbo::testing::writeWholeFile(sandbox_.file("changes.txt"),
                                  "Quenbo 2.0\n- 更新检查不再阻塞窗口\n- 下载按摘要校验\n");
  updateserver::UpdateServer server(
      {.release = release.path(),
       .changeLog = sandbox_.file("changes.txt"),
       .param = "##x#https://example.org/#欢迎使用 Quenbo 2.0！\r\n更新服务现已可用：检查、"
                "日志与自我更新。",
       .throttleMs = 25});
  std::vector<int> ended;
  launch({}, [&](app::AppConfig& config) {
    config.update.service.baseUrl = server.url();
    config.update.executablePath = sandbox_.file("no-such-program");  // nothing to restart
    config.update.endProcess = [&](int code) { ended.push_back(code); };
  });
  auto& u = app_->updateWindow();
  ASSERT_TRUE(processUntil([&] { return updateView_->isVisible(); }));
  EXPECT_FALSE(view().isVisible());
  ASSERT_TRUE(processUntil([&] { return !u.text(编辑框_更新内容).empty(); }));
  processFor(50ms);
  EXPECT_FALSE(saveScreenshot(*updateView_, "update_log").empty());

  QTest::mouseClick(updateView_->widget(按钮_查看), Qt::LeftButton);
  ASSERT_TRUE(processUntil([&] { return u.visible(超级列表框_文件); }));
  EXPECT_EQ(u.rowCount(超级列表框_文件), 2);
  processFor(50ms);
  EXPECT_FALSE(saveScreenshot(*updateView_, "update_files").empty());

  QString finished, noRestart;
  whenModalShown([&](QWidget& modal) {
    auto& box = dynamic_cast<QMessageBox&>(modal);
    finished = box.text();
    // Then the program to restart is missing, and the window says so.
    whenModalShown([&](QWidget& second) {
      auto& why = dynamic_cast<QMessageBox&>(second);
      noRestart = why.text();
      why.button(QMessageBox::Ok)->click();
    });
    box.button(QMessageBox::Ok)->click();
  });
  QTest::mouseClick(updateView_->widget(按钮_更新), Qt::LeftButton);
  auto midway = [&] {
    for (int row = 0; row < u.rowCount(超级列表框_文件); ++row) {
      Text status = u.cell(超级列表框_文件, row, update::kStatusColumn);
      if (status.ends_with("%") && status != "0%" && status != "100%") return true;
    }
    return false;
  };
  ASSERT_TRUE(processUntil(midway, 20s));
  processFor(30ms);
  EXPECT_FALSE(saveScreenshot(*updateView_, "update_progress").empty());
  ASSERT_TRUE(processUntil([&] { return !finished.isEmpty(); }, 60s));
  EXPECT_EQ(finished, QStringLiteral("程序更新完毕，点击确定后程序将自动重启"));
  EXPECT_EQ(quenbo::testing::readWholeFile((sandbox_.path() / "sites.hosts").string()), "[sites]\n");
  ASSERT_TRUE(processUntil([&] { return !noRestart.isEmpty(); }, 10s));
  EXPECT_TRUE(noRestart.contains(QStringLiteral("no-such-program"))) << noRestart.toStdString();
  EXPECT_TRUE(ended.empty());  // the program to restart is missing: the window stays

  // The five-field parameter showed the announcement tab.
  updateView_->close();
  ASSERT_TRUE(processUntil([&] { return view().isVisible() && !updateView_->isVisible(); }));
  auto& tabs = *dynamic_cast<TabControl*>(view().widget(高级选择夹1));
  EXPECT_TRUE(tabs.tabBar()->isTabVisible(kAnnouncementTab));
  QTest::mouseClick(tabs.tabBar(), Qt::LeftButton, {},
                    tabs.tabBar()->tabRect(kAnnouncementTab).center());
  ASSERT_TRUE(processUntil([&] { return w().currentTab(高级选择夹1) == kAnnouncementTab; }));
  processFor(50ms);
  EXPECT_FALSE(saveScreenshot(view(), "update_announcement").empty());
  EXPECT_EQ(app_->updates().promotionLink(), "https://example.org/");
}

}  // namespace
}  // namespace quenbo::qt::testing
