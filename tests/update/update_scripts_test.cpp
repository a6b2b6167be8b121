// The replace script run for real: it ends only the one process it is given, puts the new
// file in place whole and starts it. (The restart script runs in the update run's tests.)
#include <gtest/gtest.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>

#include "support/fixtures.h"
#include "update/update_scripts.h"

extern char** environ;

namespace quenbo::update {
namespace {

namespace fs = std::filesystem;

pid_t start(const std::string& program, std::vector<std::string> args) {
  std::vector<char*> argv{const_cast<char*>(program.c_str())};
  for (auto& a : args) argv.push_back(a.data());
  argv.push_back(nullptr);
  pid_t pid = 0;
  EXPECT_EQ(posix_spawn(&pid, program.c_str(), nullptr, nullptr, argv.data(), environ), 0);
  return pid;
}

bool ended(pid_t pid) {
  int status = 0;
  return waitpid(pid, &status, WNOHANG) == pid;
}

std::string marker(const fs::path& dir) {
  return "#!/bin/sh\necho \"new $*\" > '" + (dir / "marker").string() + "'\n";
}

class UpdateScripts : public testing::SandboxTest {};

TEST_F(UpdateScripts, ShellQuotingKeepsEveryCharacter) {
  EXPECT_EQ(shellQuote("a b"), "'a b'");
  EXPECT_EQ(shellQuote("it's $HOME"), "'it'\\''s $HOME'");
}

TEST_F(UpdateScripts, ReplaceEndsOnlyOurProcessSwapsTheFileWholeAndStartsIt) {
  fs::path target = sandbox_.path() / "my prog";
  fs::copy_file("/bin/sleep", target);
  pid_t ours = start(target.string(), {"30"});
  pid_t sibling = start(target.string(), {"30"});  // the same program, not ours to end
  fs::path source = sandbox_.path() / "临时主程序";
  testing::writeWholeFile(source.string(), marker(sandbox_.path()));
  ASSERT_TRUE(runDetachedScript(replaceScript(source.string(), target.string(), ours, "--x")));
  // The shell creates the marker before it writes into it: wait for the whole line.
  const fs::path markerFile = sandbox_.path() / "marker";
  EXPECT_TRUE(testing::waitFor(
      [&] {
        return fs::exists(markerFile) && testing::readWholeFile(markerFile.string()) == "new --x\n";
      },
      std::chrono::seconds(15)))
      << testing::readWholeFile(markerFile.string());
  EXPECT_TRUE(ended(ours) || testing::waitFor([&] { return ended(ours); }));
  EXPECT_FALSE(ended(sibling));
  EXPECT_EQ(testing::readWholeFile(target.string()), marker(sandbox_.path()));
  EXPECT_TRUE((fs::status(target).permissions() & fs::perms::owner_exec) != fs::perms::none);
  // Nothing is left beside the target but the download.
  int entries = 0;
  for (const auto& entry : fs::directory_iterator(sandbox_.path())) {
    (void)entry;
    ++entries;
  }
  EXPECT_EQ(entries, 3);  // target, download, marker
  kill(sibling, SIGKILL);
  waitpid(sibling, nullptr, 0);
}

}  // namespace
}  // namespace quenbo::update
