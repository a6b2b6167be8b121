// The UI loop on Qt's GUI thread. Tasks posted from other threads wait in a queue of our own
// and one queued call per batch tells the GUI thread to run them: the hand-over is ordered
// by our lock alone, and nothing but the call's name crosses into Qt's event queue.
#pragma once

#include <QObject>
#include <deque>
#include <functional>
#include <mutex>

#include "window/ui_loop.h"

namespace quenbo::qt {

class QtLoop final : public QObject, public window::UiLoop {
  Q_OBJECT

 public:
  // Construct on the GUI thread, after the QApplication; it must outlive everything that may
  // post to it (the application object and its worker threads).
  QtLoop();
  ~QtLoop() override;
  QtLoop(const QtLoop&) = delete;
  QtLoop& operator=(const QtLoop&) = delete;

  void post(std::function<void()> task) override;
  void postAfter(std::chrono::milliseconds delay, std::function<void()> task) override;
  bool onUiThread() const override;
  void processEvents() override;
  void waitProcessing(std::chrono::milliseconds duration) override;

 private slots:
  void runPending();

 private:
  std::mutex mutex_;  // guards tasks_ and wakePosted_; taken by any thread
  std::deque<std::function<void()>> tasks_;
  bool wakePosted_ = false;
};

}  // namespace quenbo::qt
