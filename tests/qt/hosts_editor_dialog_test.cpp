// The hosts editor's 测试 button against a site that never answers: the dialog owns the
// check and ends it when it closes.
#include "qt/hosts_editor_dialog.h"

#include <QCoreApplication>
#include <QPointer>
#include <QPushButton>
#include <atomic>
#include <memory>

#include "qt_fixture.h"
#include "support/fixtures.h"
#include "support/silent_host.h"

namespace quenbo::qt::testing {
namespace {

using namespace std::chrono_literals;

class HostsEditorDialogTest : public quenbo::testing::SandboxTest {};

TEST_F(HostsEditorDialogTest, ClosingDuringACheckOfASilentSiteEndsTheCheckAtOnce) {
  quenbo::testing::SilentHost silent;
  const std::filesystem::path hostsFile = sandbox_.path() / "sites.hosts";
  quenbo::testing::writeWholeFile(hostsFile.string(),
                                  "[sites]\nBtdad = " + silent.hostAndPort() + "\n");
  // Counts the checks under way, and outlives the dialog in case a check does.
  auto checking = std::make_shared<std::atomic<int>>(0);
  SiteChecker checker = [checking](const sites::SiteHosts& hosts, int site, int timeoutSeconds,
                                   const std::atomic<bool>& stop, StopBell& stopBell) {
    ++*checking;
    Text verdict = checkPageOne(hosts, site, timeoutSeconds, stop, stopBell);
    --*checking;
    return verdict;
  };
  QPointer<HostsEditorDialog> dialog = new HostsEditorDialog(
      sites::HostsEditing({{hostsFile, true}}, {}), checker, [] { return 10; }, {});
  dialog->setAttribute(Qt::WA_DeleteOnClose);
  dialog->show();
  int btdad = -1;
  for (std::size_t r = 0; r < dialog->editing().rows().size(); ++r) {
    if (dialog->editing().rows()[r].key == "Btdad") btdad = static_cast<int>(r);
  }
  ASSERT_GE(btdad, 0);
  ASSERT_NE(dialog->testButton(btdad), nullptr);
  dialog->testButton(btdad)->click();
  ASSERT_TRUE(silent.waitForConnection());

  auto begin = std::chrono::steady_clock::now();
  dialog->close();
  // What the program's event loop does once the close has returned to it.
  QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
  ASSERT_TRUE(dialog.isNull());
  EXPECT_LT(std::chrono::steady_clock::now() - begin, 1s);
  EXPECT_EQ(checking->load(), 0) << "the check outlived the dialog";
  EXPECT_TRUE(silent.waitForHangUps(100ms));
}

}  // namespace
}  // namespace quenbo::qt::testing
