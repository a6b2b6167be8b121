// The program without its front-end: both window models, the search engine and the window's
// search presenter, and the bindings of window events to their handlers. A front-end supplies the UI loop and the
// interactions, draws the models and reports the user's actions as events.
#pragma once

#include <array>
#include <filesystem>
#include <functional>
#include <memory>

#include "base/text.h"
#include "core/search.h"
#include "settings/filter_rebuilder.h"
#include "settings/settings_store.h"
#include "ui/film_board.h"
#include "ui/search_presenter.h"
#include "ui/site_status.h"
#include "update/update_flow.h"
#include "window/interactions.h"
#include "window/ui_loop.h"
#include "window/window_model.h"

namespace quenbo::app {

struct AppConfig {
  std::filesystem::path installDirectory;  // where the executable lives
  core::SiteWorkers workers;  // empty entries end at once
  // The settings file; empty: "Clss.ini" next to the executable, or in the user's
  // configuration directory when the executable's directory is not writable.
  std::filesystem::path settingsFile = {};
  // When a rebuild after a filter change waits for typing to pause.
  settings::FilterRebuilder::Timing rebuildTiming = {};
  // Choices for this run only (the command line's): made after the settings file has been
  // read and before changes are written, so the file keeps the user's own values.
  std::function<void(window::WindowModel&)> overrideSettings = {};
  // The film board's host (host or host:port); empty: the board is not fetched.
  Text boardHost = {};
  // The update check: the service, the running executable, how the process ends.
  update::UpdateSetup update = {};
  // Whether a site has a host to ask: a ticked site without one is not started, a search
  // none of whose sites has one does not start, and the site boxes are marked. Empty: every
  // site has one.
  ui::HostCheck siteHasHost = {};
};

class Application final {
 public:
  Application(window::UiLoop& loop, window::Interactions& interactions, AppConfig config);
  Application(const Application&) = delete;
  Application& operator=(const Application&) = delete;

  window::WindowModel& mainWindow() { return mainWindow_; }
  window::WindowModel& updateWindow() { return updateWindow_; }
  core::SearchEngine& engine() { return engine_; }
  ui::SearchPresenter& searches() { return searches_; }
  settings::SettingsStore& settings() { return settings_; }
  settings::FilterRebuilder& rebuilder() { return rebuilder_; }
  ui::FilmBoard& filmBoard() { return board_; }
  update::UpdateFlow& updates() { return updates_; }

  // Creates the main window: its created event runs the start-up sequence.
  void create() { mainWindow_.create(); }
  // Closes the main window: the orderly shutdown runs before it is gone.
  void close() { mainWindow_.destroy(); }
  // Whether threads of the program are still waiting for the network (search workers of a
  // stopped search, the update service): destroying the program waits for them. Any thread.
  bool threadsLeft() const { return searches_.liveWorkers() > 0 || updates_.busyThreads() > 0; }

  // What "站点主机…" opens; a front-end without a hosts editor sets none (UI thread).
  void setHostsEditor(std::function<void()> open) { openHostsEditor_ = std::move(open); }
  // The hosts changed: the site boxes' marks are redrawn (UI thread).
  void hostsChanged() { ui::markSitesWithoutHost(mainWindow_, siteHasHost_); }

 private:
  void bindMainWindow();
  void startSearch();
  // The main window's created event: the start-up sequence.
  void windowCreated();

  window::UiLoop& loop_;
  window::Interactions& interactions_;
  window::WindowModel mainWindow_;
  window::WindowModel updateWindow_;
  const std::filesystem::path installDirectory_;
  core::SearchEngine engine_;
  ui::SearchPresenter searches_;
  settings::SettingsStore settings_;
  settings::FilterRebuilder rebuilder_;
  ui::FilmBoard board_;
  std::function<void(window::WindowModel&)> overrideSettings_;
  ui::HostCheck siteHasHost_;
  std::function<void()> openHostsEditor_;  // UI thread
  ui::SiteStatusTable siteStatus_;         // UI thread
  update::UpdateFlow updates_;  // last: its threads use everything above
};

}  // namespace quenbo::app
