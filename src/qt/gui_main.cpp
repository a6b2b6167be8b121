// The graphical program: both windows on Qt, the application behind them.
#include <QApplication>
#include <QTimer>
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <functional>
#include <string>
#include <vector>

#include "app/application.h"
#include "app/gui_entry.h"
#include "app/hosts_reload.h"
#include "app/site_setup.h"
#include "base/encoding.h"
#include "base/files.h"
#include "base/numbers.h"
#include "qt/artwork.h"
#include "qt/hosts_editor_dialog.h"
#include "qt/hints.h"
#include "qt/look.h"
#include "qt/main_window_keys.h"
#include "qt/placement_keeper.h"
#include "qt/qt_interactions.h"
#include "qt/qt_loop.h"
#include "qt/qt_text.h"
#include "qt/site_problems.h"
#include "qt/translations.h"
#include "qt/window_view.h"
#include "sites/hosts_files.h"
#include "forms/main_window_names.h"

namespace quenbo::qt {
namespace {

long long monotonicNow() {
  timespec now{};
  clock_gettime(CLOCK_MONOTONIC, &now);
  return static_cast<long long>(now.tv_sec) * 1000000000LL + now.tv_nsec;
}

// With QUENBO_STARTUP_PROBE set, the program writes the monotonic clock's time once the
// main window has been painted for the first time, then closes as the user would. The
// timers in tools/startup_timer read it. With the value "stop-and-close" it first runs a
// search, presses 停止 while requests wait, reports when the status bar shows the end, then
// searches again and closes while requests wait ("stop", "final", "close" lines).
class StartupProbe final : public QObject {
 public:
  StartupProbe(WindowView& window, bool stopAndClose)
      : window_(window), stopAndClose_(stopAndClose) {
    window.installEventFilter(this);
  }

 protected:
  bool eventFilter(QObject*, QEvent* event) override {
    if (event->type() != QEvent::Paint || reported_) return false;
    reported_ = true;
    // The next turn of the loop comes after the painted window has been handed over.
    QTimer::singleShot(0, this, [this] {
      report("shown");
      if (stopAndClose_) return search([this] { stop(); });
      window_.close();
    });
    return false;
  }

 private:
  static void report(const char* what) {
    std::printf("%s %lld\n", what, monotonicNow());
    std::fflush(stdout);
  }
  // Starts a search and runs `then` once its requests have been waiting a while.
  void search(std::function<void()> then) {
    using namespace forms::names;
    window_.model().setText(编辑框_搜索, "probe");
    window_.model().click(超级按钮_搜索);
    QTimer::singleShot(1500, this, std::move(then));
  }
  void stop() {
    using namespace forms::names;
    report("stop");
    window_.model().click(超级按钮_停止);
    auto* poll = new QTimer(this);
    connect(poll, &QTimer::timeout, this, [this, poll] {
      if (window_.model().statusPart(状态条1, 0) != "任务状态：资源采集完毕"_gbk) return;
      poll->stop();
      report("final");
      search([this] {
        report("close");
        window_.close();
      });
    });
    poll->start(2);
  }

  WindowView& window_;
  const bool stopAndClose_;
  bool reported_ = false;
};

[[noreturn]] void endProcessNow(int code) {
  std::fflush(nullptr);
  std::_Exit(code);
}

}  // namespace
}  // namespace quenbo::qt

namespace quenbo {

int runGui(int argc, char** argv) {
  using namespace qt;
  // Taken before Qt removes its own: an update starts the program again with all of them.
  std::vector<std::string> arguments(argv + std::min(argc, 1), argv + argc);
  QApplication gui(argc, argv);
  // The process ends when the main window is gone, not when the last window closes: the
  // main window is hidden while the update window decides.
  QApplication::setQuitOnLastWindowClosed(false);
  applyLook(gui);
  installQtTranslations(gui, windowLocale(QLocale::system()));
  QApplication::setWindowIcon(applicationIcon());

  QtLoop loop;
  QtInteractions interactions(loop);
  app::AppConfig config;
  const std::filesystem::path installDirectory = executableDirectory();
  config.installDirectory = installDirectory;
  const std::filesystem::path hostsFile = app::hostsFileOption(
      {const_cast<const char* const*>(argv), static_cast<std::size_t>(argc)});
  app::SiteSetup sites = app::setUpSites(config.installDirectory, hostsFile);
  config.workers = std::move(sites.workers);
  config.siteHasHost = sites.hasHost;
  config.boardHost = sites.boardHost;
  config.update.service.baseUrl = sites.updateService;
  config.update.arguments = std::move(arguments);
  app::Application application(loop, interactions, std::move(config));
  installArtwork(application.mainWindow(), application.updateWindow());

  WindowView updateView(application.updateWindow(), loop);
  WindowView mainView(application.mainWindow(), loop);
  interactions.setParentWindow(&mainView);
  // A check waits as long as a search would for a page.
  auto checkTimeout = [&application] {
    int seconds = textToInteger(application.mainWindow().text(forms::names::编辑框_时间));
    return seconds > 0 ? seconds : 10;
  };
  // A save re-reads the hosts files: the next search's workers use them, no restart.
  HostsEditorLauncher hostsEditor(
      [&] { return sites::hostsFileOrder(installDirectory, hostsFile); }, checkPageOne, checkTimeout,
      [&] {
        (void)reloadHosts(sites, installDirectory, hostsFile);
        application.hostsChanged();
      },
      &mainView);
  application.setHostsEditor([&hostsEditor] { hostsEditor.open(); });
  mainView.setResizable(true);
  PlacementKeeper placement(mainView, application.settings());
  MainWindowKeys keys(mainView);
  applyMainWindowHints(mainView);
  mainView.setHideWhileClosing(true);
  mainView.setCloseHandler([&application] { application.close(); });
  updateView.setCloseHandler([&application] { application.updates().onUpdateWindowClosed(); });
  mainView.setGoneHandler([] { QCoreApplication::quit(); });
  std::unique_ptr<StartupProbe> probe;
  if (qEnvironmentVariableIsSet("QUENBO_STARTUP_PROBE")) {
    probe = std::make_unique<StartupProbe>(
        mainView, qgetenv("QUENBO_STARTUP_PROBE") == QByteArrayLiteral("stop-and-close"));
  }

  application.create();
  reportSiteProblems(sites, hostsFile, application.mainWindow(), interactions, mainView);
  const int code = QApplication::exec();
  // Threads still waiting for a slow site or service would hold the process until their
  // time-outs, with no window left. Nothing of theirs is kept: every setting was written
  // when it changed.
  if (application.threadsLeft()) endProcessNow(code);
  return code;
}

}  // namespace quenbo
