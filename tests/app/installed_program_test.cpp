// The real executable, copied into folders named with characters GBK cannot hold, finds its
// hosts files and settings there: as a portable copy and as an installed program.
#include <gtest/gtest.h>
#include <sys/wait.h>

#include <cstdio>
#include <filesystem>
#include <set>
#include <sstream>
#include <string>

#include "app/application.h"
#include "base/encoding.h"
#include "forms/main_window_names.h"
#include "core/site_table.h"
#include "site_simulator/site_simulator.h"
#include "support/fixtures.h"
#include "window/headless/headless_interactions.h"
#include "window/headless/headless_loop.h"

namespace quenbo::app {
namespace {

namespace fs = std::filesystem;
using namespace forms::names;
using testing::readWholeFile;
using testing::writeWholeFile;

struct ProgramRun {
  int status = -1;
  std::string output;  // standard output and error
};

std::string quoted(const fs::path& path) {
  return "'" + path.string() + "'";
}

// Runs the executable at `program` with XDG_CONFIG_HOME set to `config`.
ProgramRun runProgram(const fs::path& program, const fs::path& config,
                      const std::string& arguments) {
  std::string command =
      "XDG_CONFIG_HOME=" + quoted(config) + " " + quoted(program) + " " + arguments + " 2>&1";
  ProgramRun run;
  FILE* pipe = popen(command.c_str(), "r");
  if (!pipe) return run;
  char buffer[4096];
  while (std::size_t n = fread(buffer, 1, sizeof buffer, pipe)) run.output.append(buffer, n);
  int status = pclose(pipe);
  run.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  return run;
}

// The site column of every printed hit.
std::set<std::string> sitesOf(const std::string& output) {
  std::set<std::string> sites;
  std::istringstream lines(output);
  for (std::string line; std::getline(lines, line);) {
    std::istringstream cells(line);
    std::string cell;
    for (int i = 0; i < 3 && std::getline(cells, cell, '\t'); ++i) {
    }
    sites.insert(cell);
  }
  return sites;
}

class InstalledProgram : public testing::SandboxTest {
 protected:
  fs::path root() const { return sandbox_.path() / "søren" / "한글"; }
  fs::path copyProgram(const fs::path& directory) {
    fs::create_directories(directory);
    fs::copy_file(QUENBO_EXECUTABLE, directory / "quenbo");
    return directory / "quenbo";
  }

  simulator::SiteSimulator sites_;
};

TEST_F(InstalledProgram, APortableCopyReadsAndWritesItsFilesBesideItself) {
  fs::path program = copyProgram(root());
  writeWholeFile((root() / "sites.hosts").string(), "[sites]\n");
  ASSERT_TRUE(sites_.writeHostsFile((root() / "sites.hosts.local").string()));

  {  // The settings store of the program in that folder: untick all but Renz, two pages.
    window::HeadlessLoop loop;
    window::HeadlessInteractions ui;
    Application application(loop, ui, AppConfig{root(), {}});
    window::WindowModel& w = application.mainWindow();
    loop.attach(w);
    application.create();
    for (const auto& site : core::kSites) {
      if (site.shown && site.label != "Renz") w.click(siteCheckBox(site.label));
    }
    w.setText(编辑框_页数, "2");
    EXPECT_EQ(application.settings().filePath(), root() / "Clss.ini");
    application.close();
    loop.detach(w);
  }
  std::string ini = gbkToUtf8(readWholeFile((root() / "Clss.ini").string()));
  EXPECT_NE(ini.find("页数=2"), std::string::npos) << ini;
  EXPECT_NE(ini.find("Btsow=假"), std::string::npos) << ini;

  ProgramRun run = runProgram(program, sandbox_.path() / "no-config", "search 电影");
  ASSERT_EQ(run.status, 0) << run.output;
  EXPECT_EQ(sitesOf(run.output), std::set<std::string>{"Renz"}) << run.output;
  EXPECT_EQ(sites_.requests("Renz").size(), 2u);
}

TEST_F(InstalledProgram, AnInstalledCopyFindsItsDataAndTheUsersConfiguration) {
  fs::path program = copyProgram(root() / "usr" / "bin");
  fs::create_directories(root() / "usr" / "share" / "quenbo");
  ASSERT_TRUE(sites_.writeHostsFile((root() / "usr/share/quenbo/sites.hosts").string()));
  fs::path config = root() / "설정";
  fs::create_directories(config / "quenbo");
  writeWholeFile((config / "quenbo" / "Clss.ini").string(),
                 utf8ToGbk("[搜索]\r\n页数=1\r\n[站点]\r\nBtdad=假\r\nIheian=假\r\nSunyaa=假\r\n"
                           "Sobt=假\r\n章鱼搜索=假\r\n种子搜=假\r\nTorrentz=假\r\nRenz=假\r\n"
                           "SXBTZZ=假\r\nBtsow=假\r\n"));
  // The user's hosts switch Renz off; FeiBt stays.
  writeWholeFile((config / "quenbo" / "sites.hosts.local").string(), "[sites]\nRenz =\n");

  ProgramRun run = runProgram(program, config, "search 电影 --sites=FeiBt,Renz");
  ASSERT_EQ(run.status, 0) << run.output;
  EXPECT_EQ(sitesOf(run.output), std::set<std::string>{"FeiBt"}) << run.output;
  EXPECT_EQ(sites_.requests("FeiBt").size(), 1u);  // one page, from the user's Clss.ini
  EXPECT_EQ(sites_.requests("Renz").size(), 0u);
  EXPECT_FALSE(fs::exists(root() / "usr" / "bin" / "Clss.ini"));

  ProgramRun missing = runProgram(program, config, "search x --hosts " + quoted(root() / "nope"));
  EXPECT_EQ(missing.status, 2);
  EXPECT_NE(missing.output.find("cannot read the hosts file " + (root() / "nope").string()),
            std::string::npos)
      << missing.output;
}

TEST_F(InstalledProgram, HelpAndVersionNeedNoDisplay) {
  fs::path program = copyProgram(root());
  std::string noDisplay = "env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM ";
  struct Case {
    const char* arguments;
    int status;
    const char* shows;
  } cases[] = {
      {"--version", 0, "quenbo "},
      {"--help", 0, "quenbo search KEYWORD"},
      {"search --help", 0, "--pages=N"},
      {"", 1, "no display found"},
  };
  for (const Case& c : cases) {
    std::string command = noDisplay + quoted(program) + " " + c.arguments + " 2>&1";
    FILE* pipe = popen(command.c_str(), "r");
    ASSERT_NE(pipe, nullptr);
    std::string output;
    char buffer[4096];
    while (std::size_t n = fread(buffer, 1, sizeof buffer, pipe)) output.append(buffer, n);
    int status = pclose(pipe);
    ASSERT_TRUE(WIFEXITED(status)) << c.arguments;
    EXPECT_EQ(WEXITSTATUS(status), c.status) << c.arguments << ": " << output;
    EXPECT_NE(output.find(c.shows), std::string::npos) << output;
  }
}

}  // namespace
}  // namespace quenbo::app
