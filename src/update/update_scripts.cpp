#include "update/update_scripts.h"

#include <fcntl.h>
#include <spawn.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>

extern char** environ;

namespace quenbo::update {

std::string shellQuote(const std::string& text) {
  std::string quoted = "'";
  for (char c : text) {
    if (c == '\'') {
      quoted += "'\\''";
    } else {
      quoted += c;
    }
  }
  return quoted + "'";
}

std::string shellWords(const std::vector<std::string>& arguments) {
  std::string words;
  for (const std::string& argument : arguments) words += " " + shellQuote(argument);
  return words;
}

std::string restartScript(const std::string& executable, int seconds,
                          const std::string& arguments) {
  return "#!/bin/sh\n"
         "sleep " + std::to_string(seconds > 0 ? seconds : 2) + "\n" +
         shellQuote(executable) + arguments + " </dev/null >/dev/null 2>&1 &\n"
         "rm -f \"$0\"\n";
}

std::string replaceScript(const std::string& source, const std::string& target, pid_t pid,
                          const std::optional<std::string>& arguments, mode_t mode,
                          const std::string& failureMark) {
  std::string q = shellQuote(target);
  char octal[8];
  std::snprintf(octal, sizeof octal, "%04o", static_cast<unsigned>(mode & 07777));
  std::string script =
      "#!/bin/sh\n"
      "sleep 2\n"
      "pid=" + std::to_string(pid) + "\n"
      // Only our own process, and only while it still is the program being replaced.
      "ours() { [ \"$(readlink /proc/$pid/exe 2>/dev/null)\" = " + q + " ]; }\n"
      "if ours; then\n"
      "  kill \"$pid\" 2>/dev/null\n"
      "  n=0\n"
      "  while ours && [ $n -lt 30 ]; do sleep 0.1; n=$((n + 1)); done\n"
      "  if ours; then kill -9 \"$pid\" 2>/dev/null; fi\n"
      "fi\n"
      "new=" + q + ".new.$$\n"
      "if ! { cp -f " + shellQuote(source) + " \"$new\" && chmod " + octal +
      " \"$new\" && mv -f \"$new\" " + q + "; }; then\n"
      "  rm -f \"$new\" \"$0\"\n" +
      (failureMark.empty() ? std::string()
                           : "  printf '%s\\n' " + q + " > " + shellQuote(failureMark) + "\n") +
      "  exit 1\n"
      "fi\n";
  if (arguments) {
    script += q + (arguments->empty() ? "" : " " + *arguments) + " </dev/null >/dev/null 2>&1 &\n";
  }
  return script + "rm -f \"$0\"\n";
}

bool runDetachedScript(const std::string& script) {
  const char* tmp = std::getenv("TMPDIR");
  std::string path = std::string(tmp != nullptr && *tmp != '\0' ? tmp : "/tmp") +
                     "/quenbo-update-XXXXXX";
  int fd = ::mkstemp(path.data());
  if (fd < 0) return false;
  bool written = ::write(fd, script.data(), script.size()) == static_cast<ssize_t>(script.size());
  ::close(fd);
  if (!written) {
    ::unlink(path.c_str());
    return false;
  }
  posix_spawn_file_actions_t actions;
  posix_spawnattr_t attributes;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
  posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
  posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", O_WRONLY, 0);
  posix_spawnattr_init(&attributes);
  posix_spawnattr_setflags(&attributes, POSIX_SPAWN_SETSID);
  char shell[] = "/bin/sh";
  char* argv[] = {shell, path.data(), nullptr};
  pid_t child = 0;
  int failed = posix_spawn(&child, shell, &actions, &attributes, argv, environ);
  posix_spawn_file_actions_destroy(&actions);
  posix_spawnattr_destroy(&attributes);
  if (failed != 0) ::unlink(path.c_str());
  return failed == 0;
}

}  // namespace quenbo::update
