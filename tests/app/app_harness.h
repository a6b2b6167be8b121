// A whole program on the headless front-end, for flow tests.
#pragma once

#include <initializer_list>
#include <memory>
#include <string_view>

#include "app/application.h"
#include "base/encoding.h"
#include "support/fixtures.h"
#include "window/headless/headless_interactions.h"
#include "window/headless/headless_loop.h"
#include "forms/main_window_names.h"
#include "core/site_table.h"

namespace quenbo::app {

class AppHarness : public testing::SandboxTest {
 protected:
  ~AppHarness() override {
    if (app_) {
      app_->close();
      loop_.detach(app_->mainWindow());
    }
  }

  // Starts the program installed in the sandbox; its settings file is the sandbox's
  // Clss.ini, so a test may write one first.
  void launch(std::array<core::SiteWorker, core::kSiteCount> workers = {},
              settings::FilterRebuilder::Timing rebuildTiming = {}) {
    AppConfig config{sandbox_.path(), std::move(workers), settingsPath(),
                     rebuildTiming};
    app_ = std::make_unique<Application>(loop_, ui_, std::move(config));
    loop_.attach(app_->mainWindow());
    app_->create();
  }

  std::string settingsPath() const { return sandbox_.file("Clss.ini"); }

  window::WindowModel& w() { return app_->mainWindow(); }

  // Ticks exactly these sites, without clicks, so nothing is written: the settings loader
  // ticks all eleven visible ones on a first run.
  void tickOnly(std::initializer_list<std::string_view> labels) {
    for (const auto& site : core::kSites) {
      bool tick = false;
      for (std::string_view label : labels) tick = tick || label == site.label;
      w().setChecked(forms::names::siteCheckBox(site.label), tick);
    }
  }
  ui::SearchPresenter& searches() { return app_->searches(); }
  core::Search& search() { return *app_->searches().search(); }

  void search(const Text& keyword) {
    w().setText(forms::names::编辑框_搜索, keyword);
    w().click(forms::names::超级按钮_搜索);
  }
  bool runUntilFinished(std::chrono::milliseconds timeout = std::chrono::seconds(10)) {
    return loop_.runUntil([&] { return w().timerInterval(forms::names::时钟_线程) == 0; }, timeout);
  }

  window::HeadlessLoop loop_;
  window::HeadlessInteractions ui_;
  std::unique_ptr<Application> app_;
};

}  // namespace quenbo::app
