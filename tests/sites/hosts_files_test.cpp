#include "sites/hosts_files.h"

#include <gtest/gtest.h>

#include <sys/stat.h>

#include <chrono>
#include <functional>

#include "sites/site_hosts.h"
#include "support/fixtures.h"

namespace quenbo::sites {
namespace {

namespace fs = std::filesystem;
using testing::writeWholeFile;

class HostsFiles : public testing::SandboxTest {
 protected:
  fs::path at(const char* relative) const { return sandbox_.path() / relative; }
  void write(const char* relative, const std::string& text) {
    fs::create_directories(at(relative).parent_path());
    writeWholeFile(at(relative).string(), text);
  }
};

TEST_F(HostsFiles, TheOrderFollowsWhereTheProgramLives) {
  write("portable/sites.hosts", "");
  write("usr/share/quenbo/sites.hosts", "");
  fs::create_directories(at("usr/bin"));
  fs::create_directories(at("nothing/bin"));
  struct Case {
    const char* executableDirectory;
    const char* option;
    std::vector<std::pair<const char*, bool>> files;  // path and required
  } cases[] = {
      {"portable",
       "",
       {{"portable/sites.hosts", true},
        {"portable/sites.hosts.local", false},
        {"etc/sites.hosts", false},
        {"xdg/quenbo/sites.hosts.local", false}}},
      {"usr/bin",
       "mine.hosts",
       {{"usr/share/quenbo/sites.hosts", true},
        {"etc/sites.hosts", false},
        {"xdg/quenbo/sites.hosts.local", false},
        {"mine.hosts", true}}},
      // Nothing shipped anywhere: the file beside the executable is missed and reported.
      {"nothing/bin",
       "",
       {{"nothing/bin/sites.hosts", true},
        {"nothing/bin/sites.hosts.local", false},
        {"etc/sites.hosts", false},
        {"xdg/quenbo/sites.hosts.local", false}}},
  };
  for (const Case& c : cases) {
    fs::path option = *c.option ? at(c.option) : fs::path();
    auto files =
        hostsFileOrder(locateProgramFiles(at(c.executableDirectory)), at("etc"), at("xdg"), option);
    ASSERT_EQ(files.size(), c.files.size()) << c.executableDirectory;
    for (std::size_t i = 0; i < files.size(); ++i) {
      EXPECT_EQ(files[i].path, at(c.files[i].first)) << c.executableDirectory << " " << i;
      EXPECT_EQ(files[i].required, c.files[i].second) << c.executableDirectory << " " << i;
    }
  }
  // Without configuration directories only the program's own files and the option remain.
  EXPECT_EQ(hostsFileOrder(locateProgramFiles(at("usr/bin")), {}, {}, {}).size(), 1u);
}

TEST_F(HostsFiles, LaterFilesWinAndOnlyRequiredOnesAreMissed) {
  write("usr/share/quenbo/sites.hosts",
        "[sites]\nBtdad = shipped.example\nSobt = shipped.example\nRenz = shipped.example\n"
        "FeiBt = shipped.example\n");
  write("etc/sites.hosts", "[sites]\nSobt = machine.example\nRenz = machine.example\n");
  write("xdg/quenbo/sites.hosts.local", "[sites]\nRenz = user.example\nFeiBt =\n");
  fs::create_directories(at("usr/bin"));
  SiteHosts hosts =
      SiteHosts::load(hostsFileOrder(locateProgramFiles(at("usr/bin")), at("etc"), at("xdg"), {}));
  EXPECT_TRUE(hosts.problems().empty());
  EXPECT_EQ(hosts.host(0), "shipped.example");  // Btdad
  EXPECT_EQ(hosts.host(5), "machine.example");  // Sobt
  EXPECT_EQ(hosts.host(21), "user.example");    // Renz
  EXPECT_EQ(hosts.host(22), "");                // FeiBt, switched off by the user

  SiteHosts missing = SiteHosts::load(hostsFileOrder(locateProgramFiles(at("usr/bin")), at("etc"),
                                                     at("xdg"), at("søren 한글.hosts")));
  ASSERT_EQ(missing.problems().size(), 1u);
  EXPECT_EQ(missing.problems()[0], "cannot read the hosts file " + at("søren 한글.hosts").string());
}

// Whatever sits where a hosts file belongs is read or named with its reason; nothing is
// skipped without a word and a FIFO is never waited on.
TEST_F(HostsFiles, WhatCannotBeReadIsNamedWithItsReason) {
  struct Case {
    const char* name;
    std::function<void(const fs::path&)> make;
    const char* reason;  // empty: read
  };
  const Case cases[] = {
      {"FIFO", [](const fs::path& p) { ASSERT_EQ(::mkfifo(p.c_str(), 0600), 0); },
       ": not a regular file; its hosts are not used"},
      {"link to /dev/zero", [](const fs::path& p) { fs::create_symlink("/dev/zero", p); },
       ": not a regular file; its hosts are not used"},
      {"directory", [](const fs::path& p) { fs::create_directory(p); },
       ": not a regular file; its hosts are not used"},
      {"100 MB", [](const fs::path& p) { fs::resize_file((writeWholeFile(p, ""), p), 100 << 20); },
       ": larger than 4 MiB; its hosts are not used"},
      {"4 MiB and one byte",
       [](const fs::path& p) { fs::resize_file((writeWholeFile(p, ""), p), (4 << 20) + 1); },
       ": larger than 4 MiB; its hosts are not used"},
      {"link to a file",
       [](const fs::path& p) {
         writeWholeFile(p.string() + ".real", "[sites]\nRenz = user.example\n");
         fs::create_symlink(p.string() + ".real", p);
       },
       ""},
      {"dangling link", [](const fs::path& p) { fs::create_symlink("/nonexistent/x", p); }, ""},
  };
  write("usr/share/quenbo/sites.hosts", "[sites]\nRenz = shipped.example\n");
  fs::create_directories(at("usr/bin"));
  int n = 0;
  for (const Case& c : cases) {
    fs::path xdg = at(("xdg" + std::to_string(n++)).c_str());
    fs::path local = xdg / "quenbo" / "sites.hosts.local";
    fs::create_directories(local.parent_path());
    c.make(local);
    for (bool named : {false, true}) {
      // The user's file, which may be missing, and the same thing named by --hosts.
      auto started = std::chrono::steady_clock::now();
      SiteHosts hosts = SiteHosts::load(hostsFileOrder(locateProgramFiles(at("usr/bin")), {},
                                                       named ? fs::path() : xdg,
                                                       named ? local : fs::path()));
      EXPECT_LT(std::chrono::steady_clock::now() - started, std::chrono::seconds(2)) << c.name;
      if (std::string(c.reason).empty()) {
        EXPECT_EQ(hosts.problems().size(), named && std::string(c.name) == "dangling link")
            << c.name;
        continue;
      }
      ASSERT_EQ(hosts.problems().size(), 1u) << c.name;
      EXPECT_EQ(hosts.problems()[0], "cannot read the hosts file " + local.string() + c.reason)
          << c.name;
      EXPECT_EQ(hosts.host(21), "shipped.example") << c.name;
    }
  }
}

}  // namespace
}  // namespace quenbo::sites
