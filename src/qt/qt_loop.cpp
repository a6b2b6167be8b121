#include "qt/qt_loop.h"

#include <QCoreApplication>
#include <QEvent>
#include <QEventLoop>
#include <QThread>
#include <QTimer>
#include <algorithm>

namespace quenbo::qt {

QtLoop::QtLoop() = default;

QtLoop::~QtLoop() = default;

void QtLoop::post(std::function<void()> task) {
  bool wake = false;
  {
    std::lock_guard lock(mutex_);
    tasks_.push_back(std::move(task));
    if (!wakePosted_) wakePosted_ = wake = true;
  }
  if (wake) QMetaObject::invokeMethod(this, "runPending", Qt::QueuedConnection);
}

void QtLoop::postAfter(std::chrono::milliseconds delay, std::function<void()> task) {
  // Qt timers belong to the thread that starts them: start it on the GUI thread, counting
  // the delay from now.
  using Clock = std::chrono::steady_clock;
  auto due = Clock::now() + delay;
  auto start = [this, due, task = std::move(task)]() mutable {
    auto left = std::chrono::ceil<std::chrono::milliseconds>(due - Clock::now());
    QTimer::singleShot(std::max(left, std::chrono::milliseconds(0)), Qt::PreciseTimer, this,
                       std::move(task));
  };
  if (onUiThread()) {
    start();
  } else {
    post(std::move(start));
  }
}

bool QtLoop::onUiThread() const {
  return QThread::currentThread() == thread();
}

void QtLoop::runPending() {
  std::deque<std::function<void()>> tasks;
  {
    std::lock_guard lock(mutex_);
    tasks.swap(tasks_);
    // A task may wait in a nested loop for tasks posted after it: those need a wake-up of
    // their own.
    wakePosted_ = false;
  }
  for (auto& task : tasks) task();
}

void QtLoop::processEvents() {
  QCoreApplication::processEvents(QEventLoop::AllEvents);
  runPending();
}

void QtLoop::waitProcessing(std::chrono::milliseconds duration) {
  // A nested loop: timers tick and user input is handled while the caller waits.
  QEventLoop loop;
  QTimer::singleShot(duration, Qt::PreciseTimer, &loop, &QEventLoop::quit);
  loop.exec();
}

}  // namespace quenbo::qt
