// Process entry of the quenbo executable: "quenbo search ..." searches without windows,
// "quenbo board" prints the film board, "quenbo check-sites" checks the sites, "quenbo update
// ..." checks for and applies updates (the sub-commands of command_line.h);
// --help and --version print; anything else starts the graphical program.
#include <unistd.h>

#include <atomic>
#include <csignal>
#include <iostream>
#include <span>
#include <thread>

#include "app/command_line.h"
#include "app/gui_entry.h"
#include "app/program_options.h"
#include "base/files.h"
#include "base/stop_bell.h"

namespace {

// Ctrl-C and SIGTERM are taken by a thread of their own rather than a handler, so that they
// can wake the search at once instead of waiting for it to look at a flag. The first of
// each kind stops the search and prints what was found; a second of the same kind ends the
// process at once, by that signal. Make it before any other thread starts: every thread
// inherits the blocked signals.
class InterruptWatcher final {
 public:
  InterruptWatcher() {
    sigemptyset(&signals_);
    sigaddset(&signals_, SIGINT);
    sigaddset(&signals_, SIGTERM);
    pthread_sigmask(SIG_BLOCK, &signals_, nullptr);
    thread_ = std::thread([this] { watch(); });
  }
  // Ends the watching thread, so that the process does not end with it still waiting.
  ~InterruptWatcher() {
    quitting_ = true;
    pthread_kill(thread_.native_handle(), SIGINT);
    thread_.join();
  }
  InterruptWatcher(const InterruptWatcher&) = delete;
  InterruptWatcher& operator=(const InterruptWatcher&) = delete;

  std::atomic<bool> interrupted{false};
  quenbo::StopBell bell;  // rung when `interrupted` turns true

 private:
  void watch() {
    bool seen[2] = {false, false};
    for (;;) {
      int signal = 0;
      if (sigwait(&signals_, &signal) != 0) continue;
      if (quitting_) return;
      bool& before = seen[signal == SIGINT ? 0 : 1];
      if (before) {
        sigset_t again;
        sigemptyset(&again);
        sigaddset(&again, signal);
        std::signal(signal, SIG_DFL);
        pthread_sigmask(SIG_UNBLOCK, &again, nullptr);
        std::raise(signal);
        continue;
      }
      before = true;
      interrupted = true;
      bell.ring();
    }
  }

  sigset_t signals_;
  std::atomic<bool> quitting_{false};
  std::thread thread_;
};

// Runs the sub-command with the arguments after its name.
int runSubCommand(const quenbo::app::SubCommand& command, std::span<const char* const> arguments) {
  quenbo::app::CommandContext context{quenbo::executableDirectory(), std::cout, std::cerr};
  context.progressLine = ::isatty(STDERR_FILENO) == 1;
  if (!command.takesInterrupts) return command.run(arguments, context);
  InterruptWatcher watcher;
  context.interrupted = &watcher.interrupted;
  context.interruptBell = &watcher.bell;
  return command.run(arguments, context);
}

}  // namespace

int main(int argc, char** argv) {
  std::span<const char* const> arguments(const_cast<const char* const*>(argv) + 1, argc - 1);
  if (!arguments.empty()) {
    if (const quenbo::app::SubCommand* command = quenbo::app::findSubCommand(arguments[0]))
      return runSubCommand(*command, arguments.subspan(1));
  }
  if (auto status = quenbo::app::handleProgramOptions(arguments, std::cout, std::cerr))
    return *status;
  return quenbo::runGui(argc, argv);
}
