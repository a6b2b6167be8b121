#include "base/worker_threads.h"

namespace quenbo {

WorkerThreads::~WorkerThreads() {
  stopAndJoin();
}

void WorkerThreads::start(std::function<void()> work) {
  joinFinished();
  if (stopping_) return;
  auto owned = std::make_unique<Thread>();
  Thread* thread = owned.get();
  ++running_;
  thread->thread = std::thread([this, thread, work = std::move(work)] {
    work();
    --running_;
    thread->done = true;
  });
  threads_.push_back(std::move(owned));
}

void WorkerThreads::stopAndJoin() {
  stopping_ = true;
  bell_.ring();
  for (const auto& thread : threads_) thread->thread.join();
  threads_.clear();
}

void WorkerThreads::joinFinished() {
  std::erase_if(threads_, [](const std::unique_ptr<Thread>& thread) {
    if (!thread->done) return false;
    thread->thread.join();
    return true;
  });
}

}  // namespace quenbo
