// Starts the program under measurement with QUENBO_STARTUP_PROBE set and its standard output
// on a pipe, where the program prints the probe's time stamps.
#pragma once

#include <spawn.h>
#include <unistd.h>

#include <ctime>
#include <string>
#include <vector>

extern char** environ;

// The clock the program's probe stamps are read on (CLOCK_MONOTONIC), in nanoseconds.
inline long long monotonicNanoseconds() {
  timespec now{};
  clock_gettime(CLOCK_MONOTONIC, &now);
  return static_cast<long long>(now.tv_sec) * 1000000000LL + now.tv_nsec;
}

struct ProbeChild {
  pid_t pid = 0;    // 0: not started
  int output = -1;  // read end of the child's standard output
};

// `args` is the child's argument list without the closing null, program first.
inline ProbeChild spawnProbe(const std::string& probe, std::vector<char*> args) {
  int out[2];
  if (pipe(out) != 0) return {};
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_adddup2(&actions, out[1], 1);
  posix_spawn_file_actions_addclose(&actions, out[0]);
  std::vector<std::string> env;
  for (char** e = environ; *e; ++e) env.emplace_back(*e);
  env.emplace_back("QUENBO_STARTUP_PROBE=" + probe);
  std::vector<char*> envp;
  for (auto& e : env) envp.push_back(e.data());
  envp.push_back(nullptr);
  args.push_back(nullptr);
  ProbeChild child;
  int rc = posix_spawn(&child.pid, args[0], &actions, nullptr, args.data(), envp.data());
  posix_spawn_file_actions_destroy(&actions);
  close(out[1]);
  if (rc != 0) {
    close(out[0]);
    return {};
  }
  child.output = out[0];
  return child;
}
