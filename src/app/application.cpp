#include "app/application.h"

#include "base/files.h"
#include "settings/settings_handlers.h"
#include "settings/settings_location.h"
#include "forms/main_window_names.h"
#include "forms/window_templates.h"

namespace quenbo::app {

using namespace window::names;
using window::Event;
using window::EventKind;

namespace {

// The update check works on the installation and the executable that runs, unless a test
// names others. The promotion link is not handed on yet: the film board has no setter for it
// here, so UpdateFlow::promotionLink() holds it until the board takes it.
update::UpdateSetup updateSetup(AppConfig& config) {
  update::UpdateSetup setup = std::move(config.update);
  if (setup.installDirectory.empty()) setup.installDirectory = config.installDirectory;
  if (setup.executablePath.empty()) {
    setup.executablePath = joinPath(executableDirectory(), executableName());
  }
  return setup;
}

}  // namespace

Application::Application(window::UiLoop& loop, window::Interactions& interactions,
                         AppConfig config)
    : loop_(loop),
      interactions_(interactions),
      mainWindow_(window::mainWindowTemplate()),
      updateWindow_(window::updateWindowTemplate()),
      filter_(mainWindow_),
      job_(mainWindow_, loop, interactions, filter_, std::move(config.workers),
           config.installDirectory),
      settings_(mainWindow_, config.settingsFile.empty()
                                 ? ui::settingsFilePath(config.installDirectory)
                                 : config.settingsFile),
      rebuilder_(loop, job_.store(), [this] { return job_.searchDone(); },
                 config.rebuildTiming),
      overrideSettings_(std::move(config.overrideSettings)),
      updates_(mainWindow_, updateWindow_, loop, interactions, updateSetup(config)) {
  bindMainWindow();
  ui::bindSettingsHandlers(mainWindow_, settings_, rebuilder_);
}

void Application::bindMainWindow() {
  auto& w = mainWindow_;
  w.on(主窗口, EventKind::Created, [this](const Event&) {
    core::StartupSteps steps;
    // The main window stays hidden until the check has decided.
    steps.openUpdateWindow = [this] { updates_.open(false); };
    steps.loadSettings = [this] {
      settings_.load();
      if (overrideSettings_) overrideSettings_(mainWindow_);
    };
    steps.markSettingsLoaded = [this] { settings_.markLoaded(); };
    job_.onWindowCreated(steps);
  });
  w.on(主窗口, EventKind::Destroying, [this](const Event&) { job_.onWindowDestroyed(); });
  w.on(超级按钮_搜索, EventKind::Clicked, [this](const Event&) { job_.start(); });
  w.on(编辑框_搜索, EventKind::KeyPressed, [this](const Event& e) {
    if (e.key == 13 && mainWindow_.enabled(超级按钮_搜索)) job_.start();
  });
  w.on(超级按钮_停止, EventKind::Clicked, [this](const Event&) { job_.stop(); });
  w.on(时钟_线程, EventKind::TimerTick, [this](const Event&) { job_.monitorTick(); });
  w.on(高级选择夹1, EventKind::TabChanged, [this](const Event& e) {
    if (e.index == kFilmTab) mainWindow_.setFocus(编辑框_搜索);
    if (e.index == kFilterTab) mainWindow_.setFocus(编辑框_关键字词A);
  });
}

}  // namespace quenbo::app
