#include "qt/qt_loop.h"

#include <QCoreApplication>
#include <QEvent>
#include <QEventLoop>
#include <QThread>
#include <QTimer>

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
