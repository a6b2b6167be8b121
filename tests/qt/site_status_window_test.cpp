// The site status tab, the marks of sites without a host, the refusal of a search none of
// whose sites has one, and the hosts editor, in the real window against the site simulator.
#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QTableWidget>
#include <QTest>
#include <cstdlib>

#include "app/hosts_reload.h"
#include "app/site_setup.h"
#include "base/files.h"
#include "qt/hosts_editor_dialog.h"
#include "qt/qt_text.h"
#include "qt/report_table_model.h"
#include "qt_app_harness.h"
#include "site_simulator/site_simulator.h"
#include "forms/main_window_names.h"

namespace quenbo::qt::testing {
namespace {

using namespace forms::names;
using namespace std::chrono_literals;

class SiteStatusWindow : public QtAppTest {
 protected:
  SiteStatusWindow() {
    const char* old = std::getenv("XDG_CONFIG_HOME");
    oldConfig_ = old ? std::optional<std::string>(old) : std::nullopt;
    ::setenv("XDG_CONFIG_HOME", (sandbox_.path() / "config").c_str(), 1);
  }
  ~SiteStatusWindow() override {
    if (oldConfig_) {
      ::setenv("XDG_CONFIG_HOME", oldConfig_->c_str(), 1);
    } else {
      ::unsetenv("XDG_CONFIG_HOME");
    }
  }

  // The program with `shipped` as its shipped hosts file, wired as the graphical entry
  // wires it: live hosts, the marks, and the editor behind 站点主机….
  void start(const std::string& shipped) {
    quenbo::testing::writeWholeFile(sandbox_.file("sites.hosts"), shipped);
    sites_ = app::setUpSites(sandbox_.path());
    launch(std::move(sites_.workers),
           [this](app::AppConfig& config) { config.siteHasHost = sites_.hasHost; });
    editor_ = std::make_unique<HostsEditorLauncher>(
        [this] { return sites::hostsFileOrder(sandbox_.path(), {}); }, checkPageOne, [] { return 5; },
        [this] {
          EXPECT_TRUE(app::reloadHosts(sites_, sandbox_.path(), {}).empty());
          app_->hostsChanged();
        },
        &view());
    app_->setHostsEditor([this] { editor_->open(); });
    ASSERT_TRUE(processUntil([&] { return view().isVisible(); }));
  }

  // Only these sites ticked.
  void tickOnly(std::initializer_list<std::string_view> labels) {
    for (const auto& site : core::kSites) {
      bool wanted = std::find(labels.begin(), labels.end(), site.label) != labels.end();
      if (w().checked(siteCheckBox(site.label)) != wanted) w().click(siteCheckBox(site.label));
    }
  }

  // The simulator's hosts file with the keys of `emptied` left empty.
  std::string hostsWithout(std::initializer_list<std::string_view> emptied) {
    std::string text = simulator_.hostsFileText();
    for (std::string_view label : emptied) {
      std::string key = "\n" + std::string(label) + " = ";
      std::size_t at = text.find(key);
      if (at == std::string::npos) continue;
      std::size_t end = text.find('\n', at + key.size());
      text.erase(at + key.size(), end - at - key.size());
    }
    return text;
  }

  int statusRow(std::string_view label) {
    for (int r = 0; r < w().rowCount(超级列表框_站点状态); ++r) {
      if (w().cell(超级列表框_站点状态, r, 0) == utf8ToGbk(label)) return r;
    }
    return -1;
  }
  Text statusCell(std::string_view label, int column) {
    int row = statusRow(label);
    return row < 0 ? Text() : w().cell(超级列表框_站点状态, row, column);
  }
  QCheckBox* siteBox(std::string_view label) {
    return qobject_cast<QCheckBox*>(view().widget(siteCheckBox(label)));
  }
  int editorRow(std::string_view section, std::string_view key) {
    const auto& rows = editor_->dialog()->editing().rows();
    for (std::size_t r = 0; r < rows.size(); ++r) {
      if (rows[r].section == section && rows[r].key == key) return static_cast<int>(r);
    }
    return -1;
  }
  QString verdict(int row) {
    return editor_->dialog()->table()->item(row, HostsEditorDialog::kVerdict)->text();
  }

  simulator::SiteSimulator simulator_;
  app::SiteSetup sites_;
  std::unique_ptr<HostsEditorLauncher> editor_;
  std::optional<std::string> oldConfig_;
  const std::filesystem::path userFile_ = sandbox_.path() / "config/quenbo/sites.hosts.local";
};

TEST_F(SiteStatusWindow, TheTabFollowsEverySiteOfASearchAndSaysWhyOnesFailed) {
  simulator::SiteBehaviour dead, slow, redesigned;
  dead.dead = true;
  slow.latencyMs = 1500;
  redesigned.layoutChanged = true;
  simulator_.setBehaviour("Btdad", dead);
  simulator_.setBehaviour("Sobt", slow);
  simulator_.setBehaviour("Iheian", redesigned);
  start(hostsWithout({"Renz"}));
  w().setText(编辑框_页数, "2");
  w().setText(编辑框_搜索, "电影"_gbk);
  w().click(超级按钮_搜索);
  ASSERT_EQ(w().rowCount(超级列表框_站点状态), 11);  // every ticked site, from the start
  w().setCurrentTab(高级选择夹1, kSiteStatusTab);

  // While the slow site still waits for its first page, the others have ended.
  ASSERT_TRUE(processUntil([&] {
    return statusCell("Btdad", 1) == "失败"_gbk && statusCell("Btsow", 1) == "完成"_gbk;
  }, 20s));
  EXPECT_EQ(statusCell("Sobt", 1), "第 1 页"_gbk);
  processFor(50ms);
  EXPECT_FALSE(saveScreenshot(view(), "status_tab_during_search").empty());

  ASSERT_TRUE(processUntil([&] { return w().timerInterval(时钟_线程) == 0; }, 60s));
  w().setCurrentTab(高级选择夹1, kSiteStatusTab);
  processFor(100ms);
  struct Expected {
    std::string_view site;
    const char* state;
    const char* reasonPart;  // UTF-8; empty: no reason
  };
  for (const Expected& e : {Expected{"Renz", "未配置主机", "未配置主机"},
                            Expected{"Btdad", "失败", ""}, Expected{"Sobt", "完成", ""},
                            Expected{"Iheian", "失败", "页面结构可能已改变"},
                            Expected{"Btsow", "完成", ""}}) {
    EXPECT_EQ(statusCell(e.site, 1), utf8ToGbk(e.state)) << e.site;
    Text reason = statusCell(e.site, 7);
    if (*e.reasonPart) {
      EXPECT_NE(reason.find(utf8ToGbk(e.reasonPart)), Text::npos) << e.site;
    }
  }
  EXPECT_FALSE(statusCell("Btdad", 7).empty());  // the engine's text for the reset connection
  EXPECT_EQ(statusCell("Btsow", 6), Text(simulator_.host("Btsow")));

  // The table shows every row, and the reason cell's tooltip is its whole text.
  ReportTableModel* table = view().table(超级列表框_站点状态);
  ASSERT_EQ(table->rowCount(), 11);
  QModelIndex reason = table->index(statusRow("Iheian"), 7);
  EXPECT_EQ(table->data(reason, Qt::ToolTipRole).toString(),
            toQString(statusCell("Iheian", 7)));
  // No log line for the site that was never started.
  EXPECT_EQ(w().text(编辑框_日志).find("Web：Renz"_gbk), Text::npos);
  EXPECT_FALSE(saveScreenshot(view(), "status_tab_after_search").empty());
}

TEST_F(SiteStatusWindow, SitesWithoutAHostAreMarkedAndASearchOfOnlyThoseIsRefused) {
  start(hostsWithout({"Btdad", "Sobt", "Renz", "FeiBt"}));
  for (auto [label, marked] : {std::pair{"Btdad", true}, {"Sobt", true}, {"Renz", true},
                               {"Btsow", false}, {"Iheian", false}}) {
    QCheckBox* box = siteBox(label);
    ASSERT_NE(box, nullptr) << label;
    EXPECT_EQ(box->property("marked").toBool(), marked) << label;
    // An unmarked box keeps the window's standing hint.
    EXPECT_EQ(box->toolTip(), marked ? QStringLiteral("未配置主机") : QStringLiteral("在此站点搜索"))
        << label;
  }
  w().setCurrentTab(高级选择夹1, kSettingsTab);
  processFor(50ms);
  EXPECT_FALSE(saveScreenshot(view(), "settings_tab_unconfigured_marked").empty());

  tickOnly({"Btdad", "Sobt"});
  w().setText(编辑框_搜索, "电影"_gbk);
  QString shown;
  whenModalShown([&](QWidget& modal) {
    auto& box = dynamic_cast<QMessageBox&>(modal);
    shown = box.text();
    box.button(QMessageBox::Yes)->click();
  });
  w().click(超级按钮_搜索);
  EXPECT_TRUE(shown.startsWith(QStringLiteral("勾选的站点都没有配置主机，搜索没有开始。"))) << shown.toStdString();
  EXPECT_FALSE(app_->searches().running());
  EXPECT_TRUE(w().enabled(超级按钮_搜索));
  EXPECT_EQ(w().rowCount(超级列表框_站点状态), 0);
  // The answer "yes" opened the hosts editor.
  ASSERT_TRUE(processUntil([&] { return editor_->dialog() && editor_->dialog()->isVisible(); }));

  // One ticked site with a host is enough to start.
  editor_->dialog()->close();
  tickOnly({"Btdad", "Btsow"});
  w().click(超级按钮_搜索);
  EXPECT_TRUE(app_->searches().running());
  ASSERT_TRUE(processUntil([&] { return w().timerInterval(时钟_线程) == 0; }, 30s));
  EXPECT_EQ(statusCell("Btdad", 1), "未配置主机"_gbk);
}

TEST_F(SiteStatusWindow, TheHostsEditorChecksTestsAndSavesAndTheNextSearchUsesIt) {
  start(hostsWithout({"Btdad"}));
  auto* button = qobject_cast<QPushButton*>(view().widget(按钮_站点主机));
  ASSERT_NE(button, nullptr);
  w().setCurrentTab(高级选择夹1, kSettingsTab);
  processFor(30ms);
  QTest::mouseClick(button, Qt::LeftButton);
  ASSERT_TRUE(processUntil([&] { return editor_->dialog() && editor_->dialog()->isVisible(); }));
  HostsEditorDialog& dialog = *editor_->dialog();
  const int btdad = editorRow("sites", "Btdad");
  ASSERT_GE(btdad, 0);
  EXPECT_TRUE(dialog.table()->item(btdad, HostsEditorDialog::kSource)->toolTip().endsWith(
      QStringLiteral("/sites.hosts")));
  QLineEdit* value = dialog.valueBox(btdad);
  ASSERT_NE(value, nullptr);

  // Each value is checked as it is typed, with the reader's rule.
  const std::string host = simulator_.host("Btdad");
  struct Case {
    std::string typed;
    bool accepted;
  };
  for (const Case& c : {Case{"http://" + host, false}, Case{host + "/path", false},
                        Case{"a b", false}, Case{simulator_.deadHost() + "," + host, true},
                        Case{host, true}}) {
    value->clear();
    QTest::keyClicks(value, QString::fromStdString(c.typed));
    EXPECT_EQ(verdict(btdad).isEmpty(), c.accepted) << c.typed;
    EXPECT_EQ(dialog.saveButton()->isEnabled(), c.accepted) << c.typed;
    if (c.typed == "a b") {
      EXPECT_FALSE(saveScreenshot(dialog, "hosts_editor_refusing").empty());
    }
  }

  // 测试 runs the site check off the UI thread and shows its verdict.
  QPushButton* test = dialog.testButton(btdad);
  ASSERT_NE(test, nullptr);
  test->click();
  EXPECT_FALSE(test->isEnabled());
  ASSERT_TRUE(processUntil([&] { return test->isEnabled(); }, 20s));
  EXPECT_TRUE(verdict(btdad).startsWith(QStringLiteral("ok"))) << verdict(btdad).toStdString();
  processFor(50ms);
  EXPECT_FALSE(saveScreenshot(dialog, "hosts_editor").empty());

  dialog.saveButton()->click();
  ASSERT_TRUE(fileExists(userFile_));
  EXPECT_NE(quenbo::testing::readWholeFile(userFile_.string()).find("Btdad=" + host),
            std::string::npos);
  EXPECT_EQ(dialog.table()->item(btdad, HostsEditorDialog::kSource)->toolTip(),
            toQString(displayPath(userFile_)));
  EXPECT_FALSE(dialog.saveButton()->isEnabled());
  ASSERT_TRUE(processUntil([&] { return !siteBox("Btdad")->property("marked").toBool(); }));
  dialog.close();

  // No restart: the next search asks the saved host.
  tickOnly({"Btdad"});
  w().setText(编辑框_搜索, "电影"_gbk);
  w().click(超级按钮_搜索);
  ASSERT_TRUE(processUntil([&] { return w().timerInterval(时钟_线程) == 0; }, 30s));
  EXPECT_EQ(statusCell("Btdad", 1), "完成"_gbk);
  EXPECT_GT(w().rowCount(超级列表框_磁力链接), 0);
  EXPECT_FALSE(simulator_.requests("Btdad").empty());
}

}  // namespace
}  // namespace quenbo::qt::testing
