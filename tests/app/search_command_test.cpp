// "quenbo search" end to end: the program's own search job, store and filter against the
// site simulator, with the hits printed as another program would read them.
#include "app/search_command.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/wait.h>

#include <atomic>
#include <cstdio>
#include <nlohmann/json.hpp>
#include <set>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "base/encoding.h"
#include "site_simulator/site_simulator.h"
#include "support/fixtures.h"
#include "core/site_table.h"
#include "settings/settings_store.h"
#include "core/row_sort.h"
#include "ui/text_export.h"

namespace quenbo::app {
namespace {

using simulator::SiteBehaviour;
using simulator::SiteSimulator;
using testing::readWholeFile;
using testing::writeWholeFile;

const std::string kKeyword = "电影 Key";

struct Outcome {
  int status = -1;
  std::string out, err;
  std::vector<std::vector<std::string>> lines;  // tab-separated fields of each output line
};

// Every "btih:" followed by 40 hexadecimal digits, lower-cased.
std::set<std::string> lowerHashes(const std::string& text) {
  std::set<std::string> hashes;
  for (std::size_t at = text.find("btih:"); at != std::string::npos;
       at = text.find("btih:", at + 1)) {
    std::string hash = text.substr(at + 5, 40);
    if (hash.size() < 40 || hash.find_first_not_of("0123456789abcdefABCDEF") != std::string::npos)
      continue;
    for (char& c : hash) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    hashes.insert(hash);
  }
  return hashes;
}

class SearchCommand : public testing::SandboxTest {
 protected:
  void SetUp() override {
    // The shipped hosts file is installed too; the simulator's is named on the command line.
    writeWholeFile(sandbox_.file("sites.hosts"), "[sites]\n");
    ASSERT_TRUE(sites_.writeHostsFile(hostsFile()));
  }

  std::string hostsFile() const { return sandbox_.file("simulated.hosts"); }
  std::string settingsFile() const { return sandbox_.file("Clss.ini"); }

  // Runs the command as installed in the sandbox, pointed at the simulator.
  Outcome run(std::vector<std::string> arguments, const std::atomic<bool>* interrupted = nullptr,
              bool terminal = false) {
    arguments.push_back("--hosts=" + hostsFile());
    std::vector<const char*> argv;
    for (const auto& a : arguments) argv.push_back(a.c_str());
    std::ostringstream out, err;
    Outcome o;
    o.status = runSearchCommand(argv, sandbox_.path(), out, err, interrupted, terminal);
    o.out = out.str();
    o.err = err.str();
    std::istringstream lines(o.out);
    for (std::string line; std::getline(lines, line);) {
      std::vector<std::string> fields;
      std::istringstream cells(line);
      for (std::string cell; std::getline(cells, cell, '\t');) fields.push_back(cell);
      o.lines.push_back(fields);
    }
    return o;
  }

  // The resources a site shows on its pages, as lower-case info hashes.
  std::set<std::string> shownBy(std::string_view site, int pages) const {
    std::set<std::string> hashes;
    for (int page = 1; page <= pages; ++page) {
      auto items = sites_.itemsOnPage(site, kKeyword, page);
      // Btdad's last box on a page has no box after it to close it.
      if (site == "Btdad" && !items.empty()) items.pop_back();
      for (const auto& item : items) hashes.merge(lowerHashes("btih:" + item.infoHash));
    }
    return hashes;
  }

  SiteSimulator sites_;
};

TEST_F(SearchCommand, FindsEveryResourceOfTheElevenSitesOnceAndLeavesTheSettingsAlone) {
  // No settings file: the eleven visible sites are ticked, five pages each; the simulator
  // shows three, and the same resource appears on every site.
  Outcome o = run({kKeyword});
  ASSERT_EQ(o.status, 0) << o.err;
  std::set<std::string> expected;
  for (const char* site : {"Btdad", "Iheian", "Sunyaa", "Sobt", "章鱼搜索", "种子搜", "Torrentz",
                           "Renz", "SXBTZZ", "Btsow", "FeiBt"})
    expected.merge(shownBy(site, 3));
  EXPECT_EQ(lowerHashes(o.out), expected);
  EXPECT_EQ(o.lines.size(), expected.size()) << "a resource listed twice";

  std::set<std::string> labels;
  for (const auto& fields : o.lines) {
    ASSERT_EQ(fields.size(), 6u) << o.out;
    EXPECT_NE(fields[0].find("电影"), std::string::npos) << fields[0];  // GBK pages too
    labels.insert(fields[2]);
  }
  EXPECT_EQ(labels.size(), 11u);
  EXPECT_FALSE(std::filesystem::exists(settingsFile())) << "a search must not write settings";
}

TEST_F(SearchCommand, FollowsTheSettingsFileWithoutChangingIt) {
  // Only Renz ticked; filter words hide titles with 纪录片; the command line asks for two
  // pages, which must not be stored.
  std::string ini = utf8ToGbk(
      "[搜索]\r\n页数=9\r\n[过滤]\r\n过滤字词=真\r\n过滤文本=纪录片\r\n[站点]\r\n"
      "Btdad=假\r\nIheian=假\r\nSunyaa=假\r\nSobt=假\r\n章鱼搜索=假\r\n种子搜=假\r\n"
      "Torrentz=假\r\nSXBTZZ=假\r\nBtsow=假\r\nFeiBt=假\r\n");
  writeWholeFile(settingsFile(), ini);
  std::string before = readWholeFile(settingsFile());

  Outcome o = run({kKeyword, "--pages=2"});
  ASSERT_EQ(o.status, 0) << o.err;
  ASSERT_FALSE(o.lines.empty());
  for (const auto& fields : o.lines) {
    EXPECT_EQ(fields[2], "Renz");
    EXPECT_EQ(fields[0].find("纪录片"), std::string::npos) << fields[0];
  }
  EXPECT_EQ(sites_.requests("Renz").size(), 2u);
  EXPECT_EQ(sites_.requests("Btsow").size(), 0u);
  EXPECT_EQ(readWholeFile(settingsFile()), before);
}

TEST_F(SearchCommand, JsonHoldsTheSameHitsAsTabSeparatedText) {
  // Sobt sends GBK pages, 磁小鸭 \u-escaped JSON and labels its hits 磁力鸭; 磁小鸭 cannot be
  // ticked in the window.
  // The two sites run side by side and share some resources: with every copy listed, both
  // runs list the same hits, in an order that depends on which site answers first.
  writeWholeFile(settingsFile(), utf8ToGbk("[过滤]\r\n删除重复=假\r\n"));
  std::vector<std::string> arguments = {kKeyword, "--sites=Sobt,磁小鸭", "--pages=1"};
  Outcome tsv = run(arguments);
  arguments.push_back("--format=json");
  Outcome json = run(arguments);
  ASSERT_EQ(json.status, 0) << json.err;

  auto hits = nlohmann::json::parse(json.out);
  ASSERT_EQ(hits.size(), tsv.lines.size());
  ASSERT_FALSE(hits.empty());
  // The two sites run at once, so the two runs may list their hits in another order.
  std::multiset<std::vector<std::string>> fromJson;
  std::set<std::string> siteLabels;
  for (const auto& hit : hits) {
    fromJson.insert(std::vector<std::string>{hit["title"], hit["magnet"], hit["site"],
                                             hit["size"], hit["popularity"], hit["date"]});
    siteLabels.insert(hit["site"].get<std::string>());
  }
  EXPECT_EQ(fromJson, std::multiset<std::vector<std::string>>(tsv.lines.begin(), tsv.lines.end()));
  EXPECT_EQ(siteLabels, (std::set<std::string>{"Sobt", "磁力鸭"}));
}

TEST_F(SearchCommand, KeptAndNewConnectionsListTheSameHitsByteForByte) {
  // Every copy listed, so which site answers first changes only the order of the lines.
  writeWholeFile(settingsFile(), utf8ToGbk("[过滤]\r\n删除重复=假\r\n"));
  sites_.setRoundTrip(std::chrono::milliseconds(10));
  auto sortedLines = [](const std::string& out) {
    std::multiset<std::string> lines;
    std::istringstream in(out);
    for (std::string line; std::getline(in, line);) lines.insert(line);
    return lines;
  };
  Outcome kept = run({kKeyword});
  Outcome fresh = run({kKeyword, "--new-connections"});
  ASSERT_EQ(kept.status, 0) << kept.err;
  ASSERT_EQ(fresh.status, 0) << fresh.err;
  EXPECT_GT(kept.lines.size(), 200u);
  EXPECT_EQ(sortedLines(kept.out), sortedLines(fresh.out));
}

TEST_F(SearchCommand, ADeadSiteEndsWithItsLogLineWhileTheOthersDeliver) {
  SiteBehaviour dead;
  dead.dead = true;
  sites_.setBehaviour("Sobt", dead);
  Outcome o = run({kKeyword, "--sites=Sobt,FeiBt", "--log", "--timeout=3"});
  ASSERT_EQ(o.status, 0) << o.err;
  EXPECT_EQ(lowerHashes(o.out), shownBy("FeiBt", 3));
  EXPECT_NE(o.err.find("Web：Sobt              页面不存在 或 无资源数据 ，已自动停止搜索\n"),
            std::string::npos)
      << o.err;
  EXPECT_NE(o.err.find("Web：FeiBt             第 3 页\n"), std::string::npos) << o.err;
  EXPECT_EQ(o.err.find('\r'), std::string::npos);
}

TEST_F(SearchCommand, NothingSearchedIsSaidWithEachSitesReasonAndExitsThree) {
  SiteBehaviour dead, broken, empty, normal;
  dead.dead = true;
  broken.serverError = true;
  empty.pages = 0;
  struct Case {
    const char* name;
    SiteBehaviour feiBt;
    int status;
  } cases[] = {
      {"both dead", dead, kExitNothingSearched},
      {"dead and a server error", broken, kExitNothingSearched},
      {"dead and an answer without hits", empty, 0},
      {"dead and hits", normal, 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    sites_.setBehaviour("Sobt", dead);
    sites_.setBehaviour("FeiBt", c.feiBt);
    Outcome o = run({kKeyword, "--sites=Sobt,FeiBt", "--timeout=3"});
    EXPECT_EQ(o.status, c.status) << o.err;
    const std::size_t said = o.err.find("quenbo search: no site could be searched (Sobt: ");
    if (c.status == 0) {
      EXPECT_EQ(said, std::string::npos) << o.err;
      continue;
    }
    EXPECT_EQ(o.out, "");
    ASSERT_NE(said, std::string::npos) << o.err;
    const std::string line = o.err.substr(said, o.err.find('\n', said) - said);
    EXPECT_NE(line.find("; FeiBt: "), std::string::npos) << line;
    EXPECT_NE(line.find("); quenbo check-sites tells which hosts answer"), std::string::npos) << line;
    EXPECT_EQ(c.status == kExitNothingSearched && c.feiBt.serverError,
              line.find("500") != std::string::npos)
        << line;
  }
}

TEST_F(SearchCommand, AnInterruptStopsTheSearchAndPrintsTheHitsSoFar) {
  SiteBehaviour slow;
  slow.pages = 30;
  slow.latencyMs = 150;
  sites_.setBehaviourForAll(slow);
  std::atomic<bool> interrupted{false};
  std::thread interrupter([&] {
    testing::waitFor([&] { return sites_.requests("Renz").size() >= 3; });
    interrupted = true;
  });
  Outcome o = run({kKeyword, "--sites=Renz", "--pages=30", "--log"}, &interrupted);
  interrupter.join();
  EXPECT_EQ(o.status, kExitInterrupted);
  EXPECT_GE(o.lines.size(), 10u);
  EXPECT_LT(o.lines.size(), 100u);
  EXPECT_NE(o.err.find("已手动停止搜索"), std::string::npos) << o.err;
}

TEST_F(SearchCommand, SaysWhyItCannotSearch) {
  Outcome unknown = run({kKeyword, "--sites=Nope"});
  EXPECT_EQ(unknown.status, kExitUsage);
  EXPECT_EQ(unknown.out, "");
  EXPECT_NE(unknown.err.find("unknown site Nope"), std::string::npos);

  Outcome empty = run({""});
  EXPECT_EQ(empty.status, kExitCannotStart);
  EXPECT_EQ(empty.err, "quenbo: 搜索内容不能为空\n");

  std::string noSites = "[站点]\r\n";
  for (const auto& site : core::kSites) noSites += std::string(site.label) + "=假\r\n";
  writeWholeFile(settingsFile(), utf8ToGbk(noSites));
  Outcome none = run({kKeyword});
  EXPECT_EQ(none.status, kExitCannotStart);
  EXPECT_NE(none.err.find("no site is ticked"), std::string::npos) << none.err;
}

TEST_F(SearchCommand, AKeywordGbkCannotHoldIsRefusedAndNeverSearchedAsQuestionMarks) {
  for (const char* keyword : {"김치", "电影 🎬"}) {
    SCOPED_TRACE(keyword);
    Outcome o = run({keyword, "--sites=FeiBt"});
    EXPECT_EQ(o.status, kExitUsage);
    EXPECT_EQ(o.out, "");
    const std::string outside = std::string(keyword) == "김치" ? "(김치)" : "(🎬)";
    EXPECT_EQ(o.err.rfind("quenbo search: the keyword holds characters GBK cannot hold " + outside,
                          0),
              0u)
        << o.err;
  }
  EXPECT_TRUE(sites_.requests().empty());
  EXPECT_EQ(keywordProblem("check-sites", "김치").rfind("quenbo check-sites: the keyword holds", 0),
            0u);
  EXPECT_EQ(keywordProblem("search", "电影 2019"), "");
}

TEST_F(SearchCommand, ClampedPagesAndTimeoutAreAnnouncedAndUsed) {
  Outcome o = run({kKeyword, "--sites=Renz", "--pages=100", "--timeout=1"});
  ASSERT_EQ(o.status, 0) << o.err;
  EXPECT_NE(o.err.find("quenbo search: --pages=100 is outside 1 to 30; using 30 pages per site\n"),
            std::string::npos)
      << o.err;
  EXPECT_NE(o.err.find("--timeout=1 is outside 3 to 10; using 3 seconds per request\n"),
            std::string::npos);
  EXPECT_EQ(sites_.requests("Renz").size(), 4u);  // three pages of hits, then an empty one

  Outcome inside = run({kKeyword, "--sites=Renz", "--pages=30", "--timeout=10"});
  EXPECT_EQ(inside.err, "");
}

TEST_F(SearchCommand, ProgressLineOnlyOnATerminalAndNeverWithLogOrQuiet) {
  struct Case {
    std::vector<std::string> arguments;
    bool terminal, shown;
  } cases[] = {
      {{kKeyword, "--sites=Renz,FeiBt"}, true, true},
      {{kKeyword, "--sites=Renz,FeiBt"}, false, false},
      {{kKeyword, "--sites=Renz,FeiBt", "--quiet"}, true, false},
      {{kKeyword, "--sites=Renz,FeiBt", "--log"}, true, false},
  };
  for (const Case& c : cases) {
    Outcome o = run(c.arguments, nullptr, c.terminal);
    ASSERT_EQ(o.status, 0) << o.err;
    EXPECT_EQ(o.err.find("sites done") != std::string::npos, c.shown) << o.err;
    if (!c.shown) continue;
    // Each drawing overwrites the last; the line is cleared at the end.
    EXPECT_TRUE(o.err.starts_with("\r")) << o.err;
    EXPECT_NE(o.err.find("/2 sites done, "), std::string::npos) << o.err;
    EXPECT_TRUE(o.err.ends_with("\r\033[K")) << o.err;
    EXPECT_EQ(o.out.find('\r'), std::string::npos);
  }
}

TEST_F(SearchCommand, AnUnreadableHostsFileIsACommandLineError) {
  std::vector<std::string> arguments = {kKeyword, "--hosts=" + sandbox_.file("missing.hosts")};
  std::vector<const char*> argv;
  for (const auto& a : arguments) argv.push_back(a.c_str());
  std::ostringstream out, err;
  EXPECT_EQ(runSearchCommand(argv, sandbox_.path(), out, err), kExitUsage);
  EXPECT_EQ(out.str(), "");
  EXPECT_NE(err.str().find("cannot read the hosts file " + sandbox_.file("missing.hosts")),
            std::string::npos)
      << err.str();
}

TEST(SearchCommandProcess, TheExecutableDispatchesSearchAndExitsWithTheStatus) {
  std::string command = std::string(QUENBO_EXECUTABLE) + " search x --sites=Nope 2>&1";
  FILE* pipe = popen(command.c_str(), "r");
  ASSERT_NE(pipe, nullptr);
  std::string output;
  char buffer[256];
  while (std::size_t n = fread(buffer, 1, sizeof buffer, pipe)) output.append(buffer, n);
  int status = pclose(pipe);
  ASSERT_TRUE(WIFEXITED(status));
  EXPECT_EQ(WEXITSTATUS(status), 2);
  EXPECT_NE(output.find("quenbo search: unknown site Nope"), std::string::npos) << output;
}

TEST_F(SearchCommand, SortsBySizeAndExportsTheBytesOfTheListsExport) {
  std::string file = sandbox_.file("列表");  // kept as given: no ".txt" is added here
  Outcome o = run({kKeyword, "--sites=Renz,Btsow", "--sort=size", "--export=" + file});
  ASSERT_EQ(o.status, 0) << o.err;
  ASSERT_GT(o.lines.size(), 10u);
  std::vector<core::ResultRow> rows;
  for (std::size_t i = 0; i < o.lines.size(); ++i) {
    const auto& f = o.lines[i];
    ASSERT_EQ(f.size(), 6u);
    rows.push_back({utf8ToGbk(f[0]), utf8ToGbk(f[1]), utf8ToGbk(f[2]), utf8ToGbk(f[3]),
                    utf8ToGbk(f[4]), utf8ToGbk(f[5])});
    if (i > 0) {
      EXPECT_GE(core::sizeSortKey(rows[i - 1].size), core::sizeSortKey(rows[i].size)) << "line " << i;
    }
  }
  EXPECT_EQ(readWholeFile(file), ui::exportBytes(rows));

  Outcome failed = run({kKeyword, "--sites=Renz", "--export=" + sandbox_.file("no/such.txt")});
  EXPECT_EQ(failed.status, 1);
  EXPECT_NE(failed.err.find("cannot write"), std::string::npos) << failed.err;
  EXPECT_FALSE(failed.lines.empty()) << "the hits are printed all the same";
}

TEST_F(SearchCommand, ExportKeepsAReadOnlyFile) {
  std::string file = sandbox_.file("kept.txt");
  writeWholeFile(file, "mine\r\n");
  ASSERT_EQ(::chmod(file.c_str(), 0444), 0);
  Outcome o = run({kKeyword, "--sites=Renz", "--export=" + file});
  EXPECT_EQ(o.status, 1);
  EXPECT_NE(o.err.find("quenbo search: cannot write " + file + ": Permission denied"),
            std::string::npos)
      << o.err;
  EXPECT_FALSE(o.lines.empty()) << "the hits are printed all the same";
  EXPECT_EQ(readWholeFile(file), "mine\r\n");
}

}  // namespace
}  // namespace quenbo::app
