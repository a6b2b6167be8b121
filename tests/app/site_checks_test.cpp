// "quenbo check-sites" and "quenbo search --summary" against the site simulator: one row per
// site with its verdict or state, and the exit status a script relies on.
#include <gtest/gtest.h>

#include <map>
#include <nlohmann/json.hpp>
#include <sstream>
#include <string>
#include <vector>

#include "app/check_sites_command.h"
#include "app/search_command.h"
#include "site_simulator/site_simulator.h"
#include "sites/site_mirrors.h"
#include "support/fixtures.h"

namespace quenbo::app {
namespace {

using simulator::SiteBehaviour;
using simulator::SiteSimulator;
using testing::writeWholeFile;

struct Outcome {
  int status = -1;
  std::string out, err;
  std::map<std::string, std::vector<std::string>> rows;  // by label: the other fields
};

Outcome parsed(int status, const std::ostringstream& out, const std::ostringstream& err,
               bool tableOnErr) {
  Outcome o{status, out.str(), err.str(), {}};
  std::istringstream lines(tableOnErr ? o.err : o.out);
  for (std::string line; std::getline(lines, line);) {
    std::vector<std::string> fields;
    std::istringstream cells(line);
    for (std::string cell; std::getline(cells, cell, '\t');) fields.push_back(cell);
    if (fields.size() < 6) continue;
    o.rows[fields[0]] = std::vector<std::string>(fields.begin() + 1, fields.end());
  }
  return o;
}

class SiteChecks : public testing::SandboxTest {
 protected:
  void SetUp() override {
    writeWholeFile(sandbox_.file("sites.hosts"), "[sites]\n");
    sites::forgetMirrors();
  }
  void TearDown() override { sites::forgetMirrors(); }

  Outcome check(std::vector<std::string> arguments, const std::string& hosts) {
    writeWholeFile(sandbox_.file("case.hosts"), hosts);
    arguments.push_back("--hosts=" + sandbox_.file("case.hosts"));
    std::vector<const char*> argv;
    for (const auto& a : arguments) argv.push_back(a.c_str());
    std::ostringstream out, err;
    int status = runCheckSitesCommand(argv, sandbox_.path(), out, err);
    return parsed(status, out, err, false);
  }

  SiteSimulator sites_;
};

TEST_F(SiteChecks, ExitStatusSaysWhetherEverySiteWithAHostIsOk) {
  const std::string all = sites_.hostsFileText();
  const std::string btdadOnly = "[sites]\nBtdad = " + sites_.host("Btdad") + "\n";
  struct Case {
    const char* name;
    std::vector<std::string> arguments;
    std::string hosts;
    std::map<std::string, std::string> broken;  // label: behaviour to switch on
    int status;
    std::map<std::string, std::string> verdicts;  // label: verdict expected
  } cases[] = {
      {"every site with a host", {}, all, {}, kExitSitesOk, {{"Btdad", "ok"}, {"idopea", "ok"}}},
      {"a site without host is listed, not counted", {"--sites=Btdad,Sobt"}, btdadOnly, {},
       kExitSitesOk, {{"Btdad", "ok"}, {"Sobt", "未配置主机"}}},
      {"no checked site has a host", {"--sites=Sobt"}, btdadOnly, {}, kExitSitesFailing,
       {{"Sobt", "未配置主机"}}},
      {"one site answers 500", {"--sites=Btdad,sobt"}, all, {{"Sobt", "error"}},
       kExitSitesFailing, {{"Btdad", "ok"}, {"Sobt", "HTTP error"}}},
      {"layout changed and dead", {"--sites=Btdad,Sobt,Torrentz"}, all,
       {{"Sobt", "layout"}, {"Torrentz", "dead"}}, kExitSitesFailing,
       {{"Btdad", "ok"}, {"Sobt", "页面结构可能已改变"}, {"Torrentz", "unreachable"}}},
      {"nothing found", {"--sites=Renz", "--keyword=nothing"}, all, {{"Renz", "empty"}},
       kExitSitesFailing, {{"Renz", "无结果"}}},
      {"a dead first mirror", {"--sites=Btdad,FeiBt"}, sites_.hostsFileText(true), {},
       kExitSitesOk, {{"Btdad", "ok"}, {"FeiBt", "ok"}}},
      {"unknown site", {"--sites=Nowhere"}, all, {}, kExitUsage, {}},
      {"unknown format", {"--format=xml"}, all, {}, kExitUsage, {}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    sites_.setBehaviourForAll({});
    for (const auto& [label, how] : c.broken) {
      sites_.setBehaviour(label, {.pages = how == "empty" ? 0 : 3,
                                  .serverError = how == "error",
                                  .dead = how == "dead",
                                  .layoutChanged = how == "layout"});
    }
    Outcome o = check(c.arguments, c.hosts);
    EXPECT_EQ(o.status, c.status) << o.out << o.err;
    for (const auto& [label, verdict] : c.verdicts) {
      ASSERT_TRUE(o.rows.count(label)) << label << "\n" << o.out;
      EXPECT_EQ(o.rows[label][1], verdict) << label;
    }
    if (c.status == kExitUsage) {
      EXPECT_TRUE(o.out.empty());
    }
  }
  // The row holds the host it used: the live mirror after a dead one.
  Outcome mirrored = check({"--sites=Btdad"}, sites_.hostsFileText(true));
  EXPECT_EQ(mirrored.rows["Btdad"][0], sites_.host("Btdad"));
  EXPECT_EQ(mirrored.rows["Btdad"][2], "200 OK");
}

TEST_F(SiteChecks, JsonRowsCarryTheSameFields) {
  sites_.setBehaviour("Sobt", {.serverError = true});
  Outcome o = check({"--sites=Btdad,Sobt", "--format=json"}, sites_.hostsFileText());
  EXPECT_EQ(o.status, kExitSitesFailing);
  auto rows = nlohmann::json::parse(o.out);
  ASSERT_EQ(rows.size(), 2u);
  EXPECT_EQ(rows[0]["site"], "Btdad");
  EXPECT_EQ(rows[0]["verdict"], "ok");
  EXPECT_GT(rows[0]["hits"].get<int>(), 0);
  EXPECT_EQ(rows[1]["verdict"], "HTTP error");
  EXPECT_EQ(rows[1]["status"], "500 Internal Server Error");
}

TEST_F(SiteChecks, SearchSummaryShowsEveryTickedSiteAndSitesWithoutHostStayOutOfTheLog) {
  sites_.setBehaviour("Sobt", {.layoutChanged = true});
  sites_.setBehaviour("Renz", {.serverError = true});
  // Btdad, Sobt and Renz have hosts; Iheian has none.
  writeWholeFile(sandbox_.file("case.hosts"),
                 "[sites]\nBtdad = " + sites_.host("Btdad") + "\nSobt = " + sites_.host("Sobt") +
                     "\nRenz = " + sites_.host("Renz") + "\n");
  std::vector<std::string> arguments = {"电影 Key", "--sites=Btdad,Sobt,Renz,Iheian",
                                        "--pages=2", "--summary", "--log",
                                        "--settings=" + sandbox_.file("Clss.ini"),
                                        "--hosts=" + sandbox_.file("case.hosts")};
  std::vector<const char*> argv;
  for (const auto& a : arguments) argv.push_back(a.c_str());
  std::ostringstream out, err;
  Outcome o = parsed(runSearchCommand(argv, sandbox_.path(), out, err), out, err, true);
  ASSERT_EQ(o.status, 0) << o.err;
  ASSERT_EQ(o.rows.size(), 4u) << o.err;
  // host, state, reason, ms, found, listed
  EXPECT_EQ(o.rows["Btdad"][1], "完成");
  EXPECT_EQ(o.rows["Btdad"][0], sites_.host("Btdad"));
  EXPECT_GT(std::stoi(o.rows["Btdad"][4]), 0);
  EXPECT_EQ(o.rows["Btdad"][5], o.rows["Btdad"][4]);  // no filter, no duplicates in one site
  EXPECT_EQ(o.rows["Sobt"][1], "失败");
  EXPECT_EQ(o.rows["Sobt"][2], "页面结构可能已改变");
  EXPECT_EQ(o.rows["Renz"][2], "500 Internal Server Error");
  EXPECT_EQ(o.rows["Iheian"][1], "未配置主机");
  EXPECT_EQ(o.rows["Iheian"][0], "");
  // Three sites write their lines; the one without host writes none.
  EXPECT_NE(o.err.find("Web：Btdad"), std::string::npos);
  EXPECT_EQ(o.err.find("Web：Iheian"), std::string::npos) << o.err;
}

}  // namespace
}  // namespace quenbo::app
