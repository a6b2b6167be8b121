// The two shell scripts of a self-update. The running executable cannot be replaced while
// the program still needs it, so a detached script waits for the program to end, puts the
// new file in place and starts it. Paths are native (UTF-8).
#pragma once

#include <sys/types.h>

#include <optional>
#include <string>
#include <vector>

namespace quenbo::update {

// Waits `seconds` (2 when not positive), starts `executable` with `arguments` (shell words,
// as shellWords gives them), deletes itself.
std::string restartScript(const std::string& executable, int seconds,
                          const std::string& arguments = {});

// Waits about 2 s; when `pid` still runs `target`, ends that one process (and no other);
// copies `source` next to `target`, gives it `mode` (the old file's) and renames it over
// `target`, so the target is the old or the new file, never a mix; then starts `target` with
// `arguments` when they are given (an empty string: no arguments); deletes itself. When the
// copy or the rename fails, it writes the target's path into `failureMark` (when named) for
// the next start to report, and starts nothing.
std::string replaceScript(const std::string& source, const std::string& target, pid_t pid,
                          const std::optional<std::string>& arguments, mode_t mode = 0755,
                          const std::string& failureMark = {});

// The arguments as shell words, each after a blank: " '--hosts' 'my file'".
std::string shellWords(const std::vector<std::string>& arguments);

// Writes the script to a new file of the temporary directory and runs it with /bin/sh in a
// session of its own, without waiting; false when that could not be done.
bool runDetachedScript(const std::string& script);

// A shell word that stands for exactly `text`.
std::string shellQuote(const std::string& text);

}  // namespace quenbo::update
