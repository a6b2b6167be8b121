#include "app/application.h"

#include "base/files.h"
#include "settings/settings_handlers.h"
#include "settings/settings_location.h"
#include "ui/result_list_handlers.h"
#include "update/install_paths.h"
#include "forms/main_window_names.h"
#include "forms/window_templates.h"

namespace quenbo::app {

using namespace forms::names;
using window::Event;
using window::EventKind;

namespace {

// The update check works on the installation and the executable that runs, unless a test
// names others; the promotion link it receives goes to the film board, which opens it.
update::UpdateSetup updateSetup(AppConfig& config, ui::FilmBoard& board) {
  update::UpdateSetup setup = std::move(config.update);
  if (!setup.setPromotionLink) {
    setup.setPromotionLink = [&board](const Text& link) { board.setPromotionLink(link); };
  }
  if (setup.installDirectory.empty()) setup.installDirectory = config.installDirectory;
  if (setup.executablePath.empty()) {
    setup.executablePath = executablePath();
  }
  return setup;
}

}  // namespace

Application::Application(window::UiLoop& loop, window::Interactions& interactions,
                         AppConfig config)
    : loop_(loop),
      interactions_(interactions),
      mainWindow_(forms::mainWindowTemplate(), &loop),
      updateWindow_(forms::updateWindowTemplate(), &loop),
      installDirectory_(config.installDirectory),
      engine_(std::move(config.workers), config.siteHasHost),
      searches_(mainWindow_, loop, interactions, engine_),
      settings_(mainWindow_, config.settingsFile.empty()
                                 ? settings::settingsFilePath(config.installDirectory)
                                 : config.settingsFile),
      rebuilder_(loop, [this] { searches_.rebuild(); }, [this] { return searches_.searchDone(); },
                 config.rebuildTiming),
      board_(mainWindow_, interactions, std::move(config.boardHost)),
      overrideSettings_(std::move(config.overrideSettings)),
      siteHasHost_(std::move(config.siteHasHost)),
      siteStatus_(mainWindow_, [this] { return searches_.reports(); }),
      updates_(mainWindow_, updateWindow_, loop, interactions, updateSetup(config, board_)) {
  bindMainWindow();
  settings::bindSettingsHandlers(mainWindow_, settings_, rebuilder_);
  ui::bindResultListHandlers(mainWindow_, interactions_, searches_);
  ui::bindFilmBoardHandlers(mainWindow_, board_);
  ui::markSitesWithoutHost(mainWindow_, siteHasHost_);
}

// A search whose ticked sites all lack a host does not start; the empty keyword's own
// message comes first.
void Application::startSearch() {
  if (!mainWindow_.text(编辑框_搜索).empty() &&
      !ui::tickedSitesHaveHosts(mainWindow_, interactions_, siteHasHost_, openHostsEditor_)) {
    return;
  }
  searches_.start();
  siteStatus_.refresh(true);
}

void Application::windowCreated() {
  loop_.assertOnUiThread();
  update::deleteUpdateLeftover(installDirectory_);
  // The main window stays hidden until the update check has decided.
  updates_.open(false);
  board_.layout();
  board_.startLoader();
  settings_.load();
  if (overrideSettings_) overrideSettings_(mainWindow_);
  settings_.markLoaded();
  mainWindow_.setFocus(编辑框_搜索);
}

void Application::bindMainWindow() {
  auto& w = mainWindow_;
  w.on(主窗口, EventKind::Created, [this](const Event&) { windowCreated(); });
  w.on(主窗口, EventKind::Destroying, [this](const Event&) { searches_.windowDestroyed(); });
  w.on(超级按钮_搜索, EventKind::Clicked, [this](const Event&) { startSearch(); });
  w.on(编辑框_搜索, EventKind::KeyPressed, [this](const Event& e) {
    if (e.key == 13 && mainWindow_.enabled(超级按钮_搜索)) startSearch();
  });
  w.on(超级按钮_停止, EventKind::Clicked, [this](const Event&) { searches_.stop(); });
  // The window's shortcuts: Esc stops a running search, Ctrl+L and Ctrl+F go to the keyword.
  w.on(主窗口, EventKind::KeyPressed, [this](const Event& e) {
    if (e.key == 27 && !e.control && mainWindow_.enabled(超级按钮_停止)) {
      mainWindow_.click(超级按钮_停止);
    } else if (e.control && (e.key == 'L' || e.key == 'F')) {
      mainWindow_.setFocus(编辑框_搜索);
    }
  });
  w.on(时钟_线程, EventKind::TimerTick, [this](const Event&) { searches_.monitorTick(); });
  // The status tab follows the workers at the monitor's pace, and once more at the end.
  w.on(时钟_线程, EventKind::TimerTick, [this](const Event&) { siteStatus_.refresh(); });
  searches_.onFinished([this] { siteStatus_.refresh(); });
  w.on(按钮_站点主机, EventKind::Clicked, [this](const Event&) {
    if (openHostsEditor_) openHostsEditor_();
  });
  // Hits are judged against a copy of the filter controls: every change takes a new one, so
  // it acts on the very next hit.
  for (const auto& box : {选择框_精准搜索, 选择框_过滤字词, 选择框_显示字词, 选择框_删除重复}) {
    w.on(box, EventKind::Clicked, [this](const Event&) { searches_.refreshFilter(); });
  }
  for (const auto& box : {编辑框_关键字词A, 编辑框_关键字词B, 编辑框_GB, 编辑框_MB}) {
    w.on(box, EventKind::TextChanged, [this](const Event&) { searches_.refreshFilter(); });
  }
  w.on(高级选择夹1, EventKind::TabChanged, [this](const Event& e) {
    if (e.index == kFilmTab) mainWindow_.setFocus(编辑框_搜索);
    if (e.index == kFilterTab) mainWindow_.setFocus(编辑框_关键字词A);
    if (e.index == kSiteStatusTab) siteStatus_.refresh(true);
  });
}

}  // namespace quenbo::app
