// A whole program on the headless front-end, for flow tests.
#pragma once

#include <memory>

#include "app/application.h"
#include "base/encoding.h"
#include "support/fixtures.h"
#include "ui/window/headless/headless_interactions.h"
#include "ui/window/headless/headless_loop.h"
#include "ui/window/main_window_names.h"

namespace quenbo::app {

class AppHarness : public testing::SandboxTest {
 protected:
  ~AppHarness() override {
    if (app_) {
      app_->close();
      loop_.detach(app_->mainWindow());
    }
  }

  void launch(std::array<core::SiteWorker, core::kSiteCount> workers = {}) {
    AppConfig config{utf8ToGbk(sandbox_.path().string()), std::move(workers)};
    app_ = std::make_unique<Application>(loop_, ui_, std::move(config));
    loop_.attach(app_->mainWindow());
    app_->create();
  }

  window::WindowModel& w() { return app_->mainWindow(); }
  core::SearchJob& job() { return app_->job(); }

  void search(const Text& keyword) {
    w().setText(window::names::编辑框_搜索, keyword);
    w().click(window::names::超级按钮_搜索);
  }
  bool runUntilFinished(std::chrono::milliseconds timeout = std::chrono::seconds(10)) {
    return loop_.runUntil([&] { return w().timerInterval(window::names::时钟_线程) == 0; }, timeout);
  }

  window::HeadlessLoop loop_;
  window::HeadlessInteractions ui_;
  std::unique_ptr<Application> app_;
};

}  // namespace quenbo::app
