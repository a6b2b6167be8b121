// Measures, with the real program, what the user waits for after 停止 and after closing the
// window while every search site is slow: the site simulator answers after 5 s (or the
// latency given). The program, started with QUENBO_STARTUP_PROBE=stop-and-close, searches,
// presses 停止 and reports when the status bar shows the end, then searches again and closes;
// this tool times the process's exit. Needs a display (run it under xvfb-run without one).
//
// Usage: quenbo_stop_close_timer <path to quenbo> [latency ms]
#include "probe_spawn.h"

#include <poll.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <filesystem>
#include <map>
#include <string>
#include <vector>

#include "site_simulator/site_simulator.h"

int main(int argc, char** argv) {
  if (argc < 2) {
    std::fprintf(stderr, "usage: %s <path to quenbo> [latency ms]\n", argv[0]);
    return 2;
  }
  const int latency = argc > 2 ? std::atoi(argv[2]) : 5000;
  quenbo::simulator::SiteSimulator sites;
  quenbo::simulator::SiteBehaviour slow;
  slow.latencyMs = latency;
  sites.setBehaviourForAll(slow);
  const std::filesystem::path hosts =
      std::filesystem::temp_directory_path() / ("quenbo-slow-" + std::to_string(getpid()) + ".hosts");
  if (!sites.writeHostsFile(hosts.string())) return 1;

  std::string hostsOption = "--hosts=" + hosts.string();
  ProbeChild child = spawnProbe("stop-and-close", {argv[1], hostsOption.data()});
  if (child.pid == 0) return 1;
  const pid_t pid = child.pid;
  int out[2] = {child.output, -1};

  // "<what> <ns>" lines until the program closes its output by ending.
  std::map<std::string, long long> at;
  std::string line;
  pollfd wait{out[0], POLLIN, 0};
  char c;
  while (poll(&wait, 1, 60000) > 0 && read(out[0], &c, 1) == 1) {
    if (c != '\n') {
      line += c;
      continue;
    }
    auto space = line.find(' ');
    if (space != std::string::npos) at[line.substr(0, space)] = std::atoll(line.c_str() + space);
    line.clear();
  }
  close(out[0]);
  int status = 0;
  waitpid(pid, &status, 0);
  const long long exited = monotonicNanoseconds();
  std::filesystem::remove(hosts);
  for (const char* what : {"shown", "stop", "final", "close"}) {
    if (!at.count(what)) {
      std::fprintf(stderr, "the program did not report \"%s\"\n", what);
      return 1;
    }
  }
  std::printf("every site answering after %d ms, %zu requests seen\n", latency,
              sites.requests().size());
  std::printf("停止 to the final status: %.1f ms\n", (at["final"] - at["stop"]) / 1e6);
  std::printf("close to process exit: %.1f ms (exit status %d)\n", (exited - at["close"]) / 1e6,
              WIFEXITED(status) ? WEXITSTATUS(status) : -1);
  return 0;
}
