// Starts the quenbo executable again and again and reports how long each run took from the
// moment the process was started until its main window had been painted. The program,
// started with QUENBO_STARTUP_PROBE set, prints the monotonic clock's time at that moment
// and then closes itself. Needs a display (run it under xvfb-run without one).
//
// Usage: quenbo_startup_timer <path to quenbo> [runs]
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include "probe_spawn.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <string>
#include <vector>

namespace {

// One run: the milliseconds from spawn to "shown", or a negative number on failure.
double timeOneRun(const char* program) {
  long long started = monotonicNanoseconds();
  ProbeChild child = spawnProbe("1", {const_cast<char*>(program)});
  if (child.pid == 0) return -1;
  const pid_t pid = child.pid;
  int out[2] = {child.output, -1};
  std::string line;
  pollfd wait{out[0], POLLIN, 0};
  char c;
  while (poll(&wait, 1, 20000) > 0 && read(out[0], &c, 1) == 1 && c != '\n') line += c;
  close(out[0]);

  // The program closes itself after the report; give it time for its orderly shutdown.
  int status = 0;
  for (int i = 0; i < 200 && waitpid(pid, &status, WNOHANG) == 0; ++i) usleep(50000);
  if (waitpid(pid, &status, WNOHANG) == 0) {
    kill(pid, SIGKILL);
    waitpid(pid, &status, 0);
    std::fprintf(stderr, "the program did not end after its window was shown\n");
  }
  if (line.rfind("shown ", 0) != 0) return -1;
  long long shown = std::atoll(line.c_str() + 6);
  return (shown - started) / 1e6;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 2) {
    std::fprintf(stderr, "usage: %s <path to quenbo> [runs]\n", argv[0]);
    return 2;
  }
  int runs = argc > 2 ? std::max(1, std::atoi(argv[2])) : 10;
  std::vector<double> times;
  for (int i = 0; i < runs; ++i) {
    double ms = timeOneRun(argv[1]);
    if (ms < 0) {
      std::fprintf(stderr, "run %d: the window was not reported as shown\n", i + 1);
      return 1;
    }
    std::printf("run %2d: %.1f ms\n", i + 1, ms);
    times.push_back(ms);
  }
  std::sort(times.begin(), times.end());
  std::printf(
      "process start to window shown over %d runs: min %.1f ms, median %.1f ms, max %.1f ms\n",
      runs, times.front(), times[times.size() / 2], times.back());
  return 0;
}
