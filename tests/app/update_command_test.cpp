// "quenbo update" run as a process from a copy of the real executable in a temporary
// installation, against the update server: the check's exit codes, a self-update that puts
// a newer executable in place and starts it, and a read-only installation left alone.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/wait.h>

#include <cstdio>
#include <filesystem>

#include "app/update_command.h"
#include "script/text_codec.h"
#include "support/fixtures.h"
#include "update_server/update_server.h"

namespace quenbo::app {
namespace {

namespace fs = std::filesystem;

struct CommandRun {
  int status = -1;
  std::string output;
};

class UpdateCommandProcess : public testing::SandboxTest {
 protected:
  UpdateCommandProcess() {
    fs::create_directories(home());
    fs::create_directories(release());
    fs::copy_file(QUENBO_EXECUTABLE, home() / "quenbo");
    testing::writeWholeFile(sandbox_.file("changes.txt"), "2.0 新的更新服务\n");
    server_ = std::make_unique<updateserver::UpdateServer>(
        updateserver::ServerOptions{.release = release(), .changeLog = sandbox_.file("changes.txt")});
    pointAt(server_->url());
  }
  // A name GBK cannot hold: the installation's paths never pass through a GBK text.
  fs::path home() const { return sandbox_.path() / "install-김민수"; }
  fs::path release() const { return sandbox_.path() / "release"; }
  void pointAt(const std::string& url) {
    testing::writeWholeFile((home() / "sites.hosts").string(), "[service]\nupdate = " + url + "\n");
  }
  void publish(const std::string& name, const std::string& bytes) {
    fs::create_directories((release() / name).parent_path());
    testing::writeWholeFile((release() / name).string(), bytes);
  }
  CommandRun run(const std::string& arguments) {
    std::string command = "'" + (home() / "quenbo").string() + "' update " + arguments + " 2>&1";
    FILE* pipe = popen(command.c_str(), "r");
    CommandRun result;
    char buffer[512];
    while (std::size_t n = fread(buffer, 1, sizeof buffer, pipe)) result.output.append(buffer, n);
    int status = pclose(pipe);
    result.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    return result;
  }
  int fileRequests() const {
    int count = 0;
    for (const auto& r : server_->requests()) count += r.target.starts_with("/files/");
    return count;
  }

  std::unique_ptr<updateserver::UpdateServer> server_;
};

TEST_F(UpdateCommandProcess, CheckExitsZeroTenOrOne) {
  testing::writeWholeFile((home() / "a.txt").string(), "A");
  publish("a.txt", "A");
  CommandRun none = run("--check");
  EXPECT_EQ(none.status, 0) << none.output;
  EXPECT_NE(none.output.find("无需更新"), std::string::npos) << none.output;

  publish("a.txt", "A2");
  publish("doc/new.txt", "N");
  CommandRun listed = run("--check");
  EXPECT_EQ(listed.status, 10) << listed.output;
  EXPECT_NE(listed.output.find("/a.txt  " + script::TextCodec::md5Hex("A2") + "  " + script::TextCodec::md5Hex("A")),
            std::string::npos) << listed.output;
  EXPECT_NE(listed.output.find("/doc/new.txt  " + script::TextCodec::md5Hex("N") + "  文件不存在"),
            std::string::npos) << listed.output;
  EXPECT_NE(listed.output.find("2.0 新的更新服务"), std::string::npos) << listed.output;
  EXPECT_EQ(fileRequests(), 0);

  for (const char* url : {"", "http://127.0.0.1:1"}) {
    pointAt(url);
    CommandRun failed = run("--check");
    EXPECT_EQ(failed.status, 1) << url;
    EXPECT_NE(failed.output.find("检查更新失败："), std::string::npos) << failed.output;
  }
}

TEST_F(UpdateCommandProcess, TheExecutableUpdatesItselfAndTheNewOneStarts) {
  fs::path marker = sandbox_.path() / "started";
  std::string newer = "#!/bin/sh\necho \"new $$\" > '" + marker.string() + "'\n";
  publish("quenbo", newer);
  publish("data/readme.txt", "R");
  CommandRun applied = run("--restart");
  EXPECT_EQ(applied.status, 0) << applied.output;
  EXPECT_NE(applied.output.find("/data/readme.txt: 成功"), std::string::npos) << applied.output;
  EXPECT_NE(applied.output.find("/quenbo: 成功"), std::string::npos) << applied.output;
  EXPECT_EQ(testing::readWholeFile((home() / "data/readme.txt").string()), "R");
  ASSERT_TRUE(testing::waitFor([&] { return fs::exists(marker); }, std::chrono::seconds(15)));
  EXPECT_EQ(script::TextCodec::fileMd5(home() / "quenbo"), script::TextCodec::md5Hex(newer));
  struct stat info {};
  ASSERT_EQ(::stat((home() / "quenbo").c_str(), &info), 0);
  EXPECT_TRUE(info.st_mode & S_IXUSR);
}

TEST_F(UpdateCommandProcess, HelpAndAnUnreadableHostsFileAskNothing) {
  CommandRun help = run("--help");
  EXPECT_EQ(help.status, 0) << help.output;
  EXPECT_EQ(help.output, updateUsage());
  CommandRun unreadable = run("--check --hosts=" + (sandbox_.path() / "missing.hosts").string());
  EXPECT_EQ(unreadable.status, 2) << unreadable.output;
  EXPECT_EQ(server_->requests().size(), 0u);
}

TEST_F(UpdateCommandProcess, AReadOnlyInstallationDownloadsNothing) {
  publish("a.txt", "A");
  ::chmod(home().c_str(), 0555);
  CommandRun refused = run("");
  ::chmod(home().c_str(), 0755);
  EXPECT_EQ(refused.status, 1) << refused.output;
  EXPECT_NE(refused.output.find("package manager"), std::string::npos) << refused.output;
  EXPECT_EQ(fileRequests(), 0);
  EXPECT_FALSE(fs::exists(home() / "a.txt"));
}

TEST_F(UpdateCommandProcess, TheServicesTextsReachTheTerminalWithoutControlCharacters) {
  publish("a\x1b[2Jb\x07.txt", "A");
  testing::writeWholeFile(sandbox_.file("changes.txt"),
                          "2.0\x1b]52;c;ZXZpbA==\x07 log\bline\rmore\x1b[31m\n2.1 next\n");
  CommandRun listed = run("--check");
  EXPECT_EQ(listed.status, 10) << listed.output;
  for (char control : {'\x1b', '\x07', '\b', '\r'}) {
    EXPECT_EQ(listed.output.find(control), std::string::npos) << int(control) << listed.output;
  }
  EXPECT_NE(listed.output.find("/a [2Jb .txt"), std::string::npos) << listed.output;
  EXPECT_NE(listed.output.find("\n2.1 next"), std::string::npos) << listed.output;  // lines stay
}

TEST_F(UpdateCommandProcess, APlainHttpServiceOffThisMachineIsRefusedByName) {
  pointAt("http://updates.example.org");
  CommandRun refused = run("--check");
  EXPECT_EQ(refused.status, 1) << refused.output;
  EXPECT_NE(refused.output.find("检查更新失败：[service] update"), std::string::npos)
      << refused.output;
}

TEST_F(UpdateCommandProcess, TheRestartedProgramGetsTheHostsFile) {
  fs::path marker = sandbox_.path() / "started";
  publish("quenbo", "#!/bin/sh\necho \"$*\" > '" + marker.string() + "'\n");
  fs::path hosts = home() / "sites.hosts";
  CommandRun applied = run("--restart --hosts=" + hosts.string());
  EXPECT_EQ(applied.status, 0) << applied.output;
  ASSERT_TRUE(testing::waitFor(
      [&] { return fs::exists(marker) && testing::readWholeFile(marker.string()).ends_with("\n"); },
      std::chrono::seconds(15)));
  EXPECT_EQ(testing::readWholeFile(marker.string()), "--hosts " + hosts.string() + "\n");
}

}  // namespace
}  // namespace quenbo::app
