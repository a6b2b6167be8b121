// The self-update scripts run for real: the replace script ends only the one process it is
// given, puts the new file in place whole and starts it; the restart script starts the
// program after its delay.
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
  ASSERT_TRUE(testing::waitFor([&] { return fs::exists(sandbox_.path() / "marker"); },
                               std::chrono::seconds(15)));
  EXPECT_EQ(testing::readWholeFile((sandbox_.path() / "marker").string()), "new --x\n");
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

TEST_F(UpdateScripts, WithoutArgumentsNothingIsStarted) {
  fs::path target = sandbox_.path() / "prog";
  testing::writeWholeFile(target.string(), "old");
  fs::path source = sandbox_.path() / "new";
  testing::writeWholeFile(source.string(), marker(sandbox_.path()));
  std::string script = replaceScript(source.string(), target.string(), 999999, std::nullopt);
  EXPECT_EQ(script.find(shellQuote(target.string()) + " <"), std::string::npos);
  ASSERT_TRUE(runDetachedScript(script));
  ASSERT_TRUE(testing::waitFor(
      [&] { return testing::readWholeFile(target.string()) != "old"; }, std::chrono::seconds(15)));
  EXPECT_FALSE(fs::exists(sandbox_.path() / "marker"));
}

TEST_F(UpdateScripts, RestartStartsTheProgramAfterItsDelay) {
  fs::path program = sandbox_.path() / "prog";
  testing::writeWholeFile(program.string(), marker(sandbox_.path()));
  fs::permissions(program, fs::perms::owner_all);
  EXPECT_NE(restartScript(program.string(), 0).find("sleep 2\n"), std::string::npos);
  auto begin = std::chrono::steady_clock::now();
  ASSERT_TRUE(runDetachedScript(restartScript(program.string(), 1)));
  ASSERT_TRUE(testing::waitFor([&] { return fs::exists(sandbox_.path() / "marker"); },
                               std::chrono::seconds(10)));
  EXPECT_GE(std::chrono::steady_clock::now() - begin, std::chrono::milliseconds(900));
}

}  // namespace
}  // namespace quenbo::update
