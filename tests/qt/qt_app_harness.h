// The whole program on Qt widgets, put together as the graphical entry does it, with its
// install directory in a sandbox.
#pragma once

#include <QCoreApplication>
#include <functional>
#include <memory>

#include "app/application.h"
#include "base/encoding.h"
#include "qt_fixture.h"
#include "support/fixtures.h"
#include "qt/artwork.h"
#include "qt/hints.h"
#include "qt/main_window_keys.h"
#include "qt/placement_keeper.h"
#include "qt/qt_interactions.h"
#include "qt/qt_loop.h"
#include "qt/window_view.h"

namespace quenbo::qt::testing {

class QtAppTest : public quenbo::testing::SandboxTest {
 protected:
  // `adjust` may change the configuration before the program starts.
  void launch(std::array<core::SiteWorker, core::kSiteCount> workers = {},
              const std::function<void(app::AppConfig&)>& adjust = {}) {
    app::AppConfig config;
    config.installDirectory = sandbox_.path();
    config.workers = std::move(workers);
    config.boardHost = boardHost_;
    if (adjust) adjust(config);
    app_ = std::make_unique<app::Application>(loop_, ui_, std::move(config));
    installArtwork(app_->mainWindow(), app_->updateWindow());
    updateView_ = std::make_unique<WindowView>(app_->updateWindow(), loop_);
    mainView_ = std::make_unique<WindowView>(app_->mainWindow(), loop_);
    ui_.setParentWindow(mainView_.get());
    ui_.setLauncher([this](const QString& program, const QStringList& arguments) {
      launched_.push_back(program + QLatin1Char(' ') + arguments.join(QLatin1Char(' ')));
      return true;
    });
    mainView_->setResizable(true);
    placement_ = std::make_unique<PlacementKeeper>(*mainView_, app_->settings());
    keys_ = std::make_unique<MainWindowKeys>(*mainView_);
    applyMainWindowHints(*mainView_);
    mainView_->setHideWhileClosing(true);
    mainView_->setCloseHandler([this] { app_->close(); });
    mainView_->setGoneHandler([this] { ++gone_; });
    updateView_->setCloseHandler([this] { app_->updates().onUpdateWindowClosed(); });
    app_->create();
  }

  // Closes the program as the user would and forgets it: a later launch is the next start,
  // on the same install directory and settings file.
  void quit() {
    if (app_ && !app_->mainWindow().destroyed()) {
      mainView_->close();
      processUntil([&] { return gone_ > 0; });
    }
    TearDown();
    gone_ = 0;
  }

  void TearDown() override {
    if (app_ && !app_->mainWindow().destroyed()) app_->close();
    keys_.reset();
    placement_.reset();
    mainView_.reset();
    updateView_.reset();
    app_.reset();
  }

  window::WindowModel& w() { return app_->mainWindow(); }
  WindowView& view() { return *mainView_; }

  QtLoop loop_;
  QtInteractions ui_{loop_};
  std::unique_ptr<app::Application> app_;
  std::unique_ptr<WindowView> updateView_;
  std::unique_ptr<WindowView> mainView_;
  std::unique_ptr<PlacementKeeper> placement_;
  std::unique_ptr<MainWindowKeys> keys_;
  Text boardHost_;  // the film board's host; empty: no board
  QStringList launched_;
  int gone_ = 0;
};

}  // namespace quenbo::qt::testing
