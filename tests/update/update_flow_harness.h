// The update check and run on the headless front-end against a real update server: both
// windows' models, a sandboxed installation with a stand-in executable, and a record of
// the process endings the flow asks for.
#pragma once

#include <filesystem>
#include <memory>
#include <vector>

#include "base/encoding.h"
#include "forms/main_window_names.h"
#include "forms/window_templates.h"
#include "support/fixtures.h"
#include "update/update_flow.h"
#include "update/update_rows.h"
#include "update_server/update_server.h"
#include "window/headless/headless_interactions.h"
#include "window/headless/headless_loop.h"

namespace quenbo::update {

namespace fs = std::filesystem;
using namespace forms::names;

class UpdateFlowHarness : public testing::SandboxTest {
 protected:
  UpdateFlowHarness() {
    fs::create_directories(home());
    fs::create_directories(release());
    put(home() / "quenbo", "old program");
  }
  ~UpdateFlowHarness() override { flow_.reset(); }

  fs::path home() const { return sandbox_.path() / "install"; }
  fs::path release() const { return sandbox_.path() / "release"; }
  static void put(const fs::path& file, const std::string& bytes) {
    fs::create_directories(file.parent_path());
    testing::writeWholeFile(file.string(), bytes);
  }
  // A stand-in program that leaves a marker when it is started.
  void installMarkerProgram() {
    put(home() / "quenbo", "#!/bin/sh\necho started > '" + marker().string() + "'\n");
    fs::permissions(home() / "quenbo", fs::perms::owner_all);
  }
  fs::path marker() const { return sandbox_.path() / "started"; }

  void serve(updateserver::ServerOptions options = {}) {
    options.release = release();
    if (options.changeLog.empty()) options.changeLog = sandbox_.path() / "changes.txt";
    put(options.changeLog, "1.1 更快的搜索\n");
    server_ = std::make_unique<updateserver::UpdateServer>(options);
  }

  // A fresh flow on fresh windows (handlers stay bound to a model for its life).
  void start(const std::string& baseUrl, std::string trusted = {}, int timeoutMs = 10000) {
    flow_.reset();
    mainModel_ = std::make_unique<window::WindowModel>(forms::mainWindowTemplate());
    updateModel_ = std::make_unique<window::WindowModel>(forms::updateWindowTemplate());
    UpdateSetup setup;
    setup.service = {baseUrl, std::move(trusted), timeoutMs};
    setup.installDirectory = home();
    setup.executablePath = home() / "quenbo";
    setup.endProcess = [this](int code) { ended_.push_back(code); };
    setup.setPromotionLink = [this](const Text& link) { links_.push_back(link); };
    setup.arguments = arguments_;
    setup.limits = limits_;
    flow_ = std::make_unique<UpdateFlow>(main(), win(), loop_, ui_, std::move(setup));
  }
  void startOnServer() { start(server_->url()); }

  // Runs the check (or waits for whatever runs) until it has decided.
  bool settle(std::chrono::milliseconds timeout = std::chrono::seconds(15)) {
    bool settled = loop_.runUntil(
        [&] { return !flow_->checking() && flow_->busyThreads() == 0; }, timeout);
    // A thread posts its last steps (a question, the end of the process) before it leaves:
    // run them too, or the loop stops between the thread's end and those tasks.
    loop_.processEvents();
    return settled;
  }
  bool check(bool manual) {
    flow_->open(manual);
    return settle();
  }
  bool update() {
    win().click(按钮_更新);
    return settle(std::chrono::seconds(30));
  }

  int rows() const { return updateModel_->rowCount(超级列表框_文件); }
  // Runs an update of the listed rows on this thread, as the window's flow does: every
  // status goes back into the list.
  void runUpdater(UpdaterSetup setup, UpdaterHooks hooks) {
    hooks.statusChanged = [this](int row, const Text& status) {
      updateModel_->setCell(超级列表框_文件, row, kStatusColumn, status);
    };
    std::vector<FileRow> listed;
    for (int row = 0; row < rows(); ++row) listed.push_back(updateModel_->row(超级列表框_文件, row));
    Updater(std::move(listed), std::move(setup), std::move(hooks)).runUpdate();
  }
  std::string cell(int row, int column) const {
    return gbkToUtf8(updateModel_->cell(超级列表框_文件, row, column));
  }
  // The texts of the message boxes shown since the `from`th.
  std::vector<std::string> messages(std::size_t from = 0) const {
    std::vector<std::string> texts;
    auto all = ui_.messages();
    for (std::size_t i = from; i < all.size(); ++i) texts.push_back(gbkToUtf8(all[i].text));
    return texts;
  }
  window::WindowModel& main() { return *mainModel_; }
  window::WindowModel& win() { return *updateModel_; }
  int fileRequests() const {
    int count = 0;
    for (const auto& r : server_->requests()) count += r.target.starts_with("/files/");
    return count;
  }

  window::HeadlessLoop loop_;
  window::HeadlessInteractions ui_;
  std::unique_ptr<window::WindowModel> mainModel_;
  std::unique_ptr<window::WindowModel> updateModel_;
  std::unique_ptr<updateserver::UpdateServer> server_;
  std::vector<int> ended_;
  std::vector<Text> links_;
  // The flows started from now on restart with these and keep to these.
  std::vector<std::string> arguments_;
  TransferLimits limits_;
  std::unique_ptr<UpdateFlow> flow_;  // last: it goes first
};

}  // namespace quenbo::update
