// The update window's check: at start-up, from the menu item "检查更新" and from the
// "检测更新" link. It asks the service off the window thread (the windows never freeze, and
// the check is bounded by the service's time-out), then shows the main window or the file
// list with the change log, fills the announcement tab and the promotion tiles, and hands
// over to the self-update when the user presses 立即更新.
#pragma once

#include <cstddef>
#include <filesystem>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "base/text.h"
#include "base/worker_threads.h"
#include "update/update_service.h"
#include "update/updater.h"
#include "window/interactions.h"
#include "window/ui_loop.h"
#include "window/window_model.h"

namespace quenbo::update {

inline constexpr std::string_view kApplicationKey = "36b3216fdaeeb975729fae923d5a4fd1";

struct UpdateSetup {
  ServiceConfig service;
  std::filesystem::path installDirectory;
  std::filesystem::path executablePath;  // the running executable; its digest is the own digest
  // Ends the process at once; called on the UI thread. Empty: flush and _Exit.
  std::function<void(int)> endProcess;
  // Receives the promotion link (the film board opens it); may be empty.
  std::function<void(const Text&)> setPromotionLink;
  // The program's arguments (after its name): an update starts it again with them.
  std::vector<std::string> arguments = {};
  TransferLimits limits = {};
};

class UpdateFlow final {
 public:
  UpdateFlow(window::WindowModel& mainWindow, window::WindowModel& updateWindow,
             window::UiLoop& loop, window::Interactions& interactions, UpdateSetup setup);
  // Ends the work of its threads (requests and downloads are abandoned, a question waiting
  // for an answer is dropped) and joins them: it takes a moment, whatever the hosts do.
  ~UpdateFlow();
  UpdateFlow(const UpdateFlow&) = delete;
  UpdateFlow& operator=(const UpdateFlow&) = delete;

  // The three callers; UI thread. Deletes a leftover "临时主程序", reports a replace that
  // failed after the last update, and runs the check. A check asked for while one runs only
  // marks it manual; one asked for during or after an update says why it cannot run.
  void open(bool manual);

  // UI thread.
  bool checking() const { return checking_; }
  int checkResult() const { return checkResult_; }
  bool manual() const { return manual_; }
  const Text& promotionLink() const { return promotionLink_; }
  // Threads started and not finished yet (checks, log fetches, pictures, the update run).
  int busyThreads() const { return threads_.running(); }
  // Threads started and not joined yet (tests).
  std::size_t keptThreads() const { return threads_.kept(); }

  void toggleView();
  void onUpdateWindowClosed();
  void startUpdate();
  void applyParam(const Text& param);
  window::MessageAnswer notify(const Text& text, bool beep, window::MessageButtons buttons);

 private:
  struct Outcome;
  void bind();
  void runCheck();
  void finishCheck(const Outcome& outcome);
  void showResult(int result, const Text& message);
  void loadLog();
  void fillPromotion(const Text& actors, const Text& title, const Text& pictureUrl);
  void setPromotionLink(const Text& link);
  void endProcess(int code);
  // Runs `work` on a thread of its own; UI thread.
  void spawn(std::function<void()> work);
  // Asks the user on the UI thread and waits for the answer; a thread's question. Once the
  // flow is closing it answers No without asking.
  window::MessageAnswer askFromThread(const Text& text, window::MessageButtons buttons,
                                      window::MessageIcon icon);
  // Runs `task` on the UI thread later, unless this flow is gone by then.
  void later(std::function<void()> task);

  window::WindowModel& main_;
  window::WindowModel& window_;
  window::UiLoop& loop_;
  window::Interactions& interactions_;
  UpdateSetup setup_;
  UpdateService service_;
  // UI thread only.
  bool checking_ = false;
  bool updating_ = false;
  bool manual_ = false;
  bool flush_ = false;
  int checkResult_ = 0;
  Text promotionLink_;
  std::shared_ptr<int> alive_ = std::make_shared<int>(0);  // tasks posted by threads hold a weak one
  WorkerThreads threads_;  // last: the threads use everything above
};

}  // namespace quenbo::update
