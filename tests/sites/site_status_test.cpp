// What a site's run reports and what the site check says, reason by reason, through the real
// page loop against the site simulator; in the same runs the log lines stay those of the
// page loop, byte for byte, with one extra line only where a mirror takes over.
#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "base/encoding.h"
#include "recording_channel.h"
#include "site_simulator/site_simulator.h"
#include "sites/result_traces.h"
#include "sites/site_adapter.h"
#include "sites/site_check.h"
#include "sites/site_hosts.h"
#include "sites/site_log.h"
#include "sites/site_mirrors.h"
#include "support/silent_host.h"

namespace quenbo::sites {
namespace {

using core::SiteState;
using simulator::SiteBehaviour;
using simulator::SiteSimulator;
using testing::RecordingChannel;
using Lines = std::vector<std::string>;

constexpr int kBtdad = 0, kCiliwang = 3, kSobt = 5, kCixiaoya = 7, kTorrentz = 12;
const std::string kPage1 = "第 1 页", kPage2 = "第 2 页";
const std::string kFinished = "全部页数搜索完毕 ";
const std::string kNoData = "页面不存在 或 无资源数据 ，已自动停止搜索";
const std::string kJsonFailed = "JSON解析失败，已自动停止搜索";
const std::string kLayout = "页面结构可能已改变";

struct Case {
  const char* name;
  int site;
  SiteBehaviour behaviour;
  int pageLimit;
  SiteState state;
  std::string reason;  // the report's reason starts with it; "" for none
  SiteState verdict;
  Lines lines;         // the log messages; "MIRROR" stands for the mirror switch line
  bool hits = false;   // whether hits came
  // The hosts file; empty: the simulator's own.
  std::function<std::string(const SiteSimulator&)> hosts = {};
  int timeout = 5;
};

std::string hostsWith(const std::string& section, const std::string& key,
                      const std::string& value) {
  return "[" + section + "]\n" + key + " = " + value + "\n";
}

const Case kCases[] = {
    {"NoHost", kBtdad, {}, 1, SiteState::noHost, "未配置主机", SiteState::noHost,
     {kPage1, kNoData, kFinished}, false, [](const SiteSimulator&) { return std::string(); }},
    {"ConnectionRefused", kBtdad, {}, 1, SiteState::unreachable, "711 ", SiteState::unreachable,
     {kPage1, kNoData, kFinished}, false,
     [](const SiteSimulator& s) { return hostsWith("sites", "Btdad", s.deadHost()); }},
    {"TimeOut", kBtdad, {.latencyMs = 2500}, 1, SiteState::unreachable, "712 ",
     SiteState::unreachable, {kPage1, kNoData, kFinished}, false, {}, 1},
    // An https API asked of a plain HTTP server: the handshake fails.
    {"TlsFailure", kTorrentz, {}, 1, SiteState::unreachable, "711 ", SiteState::unreachable,
     {kPage1, kJsonFailed, kFinished}, false,
     [](const SiteSimulator& s) { return hostsWith("apis", "A", s.host("Btdad")); }, 1},
    {"Http500", kBtdad, {.serverError = true}, 1, SiteState::httpError,
     "500 Internal Server Error", SiteState::httpError, {kPage1, kNoData, kFinished}},
    {"JsonSiteAnswersHtml", kTorrentz, {.htmlInsteadOfJson = true}, 1, SiteState::jsonFailed,
     "JSON解析失败（text/html; charset=utf-8）", SiteState::jsonFailed,
     {kPage1, kJsonFailed, kFinished}},
    {"LayoutChangedHtml", kBtdad, {.layoutChanged = true}, 2, SiteState::layoutChanged, kLayout,
     SiteState::layoutChanged, {kPage1, kNoData, kFinished}},
    {"LayoutChangedJson", kTorrentz, {.layoutChanged = true}, 2, SiteState::layoutChanged, kLayout,
     SiteState::layoutChanged, {kPage1, kNoData, kFinished}},
    {"LayoutChangedJsonCutAsText", kCiliwang, {.layoutChanged = true}, 2, SiteState::layoutChanged,
     kLayout, SiteState::layoutChanged, {kPage1, kNoData, kFinished}},
    {"JsonWithoutItsList", kCixiaoya, {.jsonWithoutList = true}, 2, SiteState::layoutChanged, kLayout,
     SiteState::layoutChanged, {kPage1, kNoData, kFinished}},
    {"NoResultsHtml", kSobt, {.pages = 0}, 2, SiteState::noResults, "", SiteState::noResults,
     {kPage1, kNoData, kFinished}},
    {"NoResultsJson", kTorrentz, {.pages = 0}, 2, SiteState::noResults, "",
     SiteState::noResults, {kPage1, kNoData, kFinished}},
    // A redesigned page without a single result holds nothing that looks like one.
    {"NoResultsAfterRedesign", kSobt, {.pages = 0, .layoutChanged = true}, 1,
     SiteState::noResults, "", SiteState::noResults, {kPage1, kNoData, kFinished}},
    {"OutOfPagesAfterPage1", kSobt, {.pages = 1}, 3, SiteState::done, "", SiteState::done,
     {kPage1, kPage2, kNoData, kFinished}, true},
    {"EveryPage", kTorrentz, {}, 2, SiteState::done, "", SiteState::done,
     {kPage1, kPage2, kFinished}, true},
    {"MirrorFailover", kBtdad, {}, 2, SiteState::done, "", SiteState::done,
     {kPage1, "MIRROR", kPage2, kFinished}, true,
     [](const SiteSimulator& s) { return s.hostsFileText(true); }},
};

class SiteStatus : public ::testing::TestWithParam<Case> {
 protected:
  static void SetUpTestSuite() { simulator_ = std::make_unique<SiteSimulator>(); }
  static void TearDownTestSuite() { simulator_.reset(); }
  void SetUp() override {
    ASSERT_TRUE(simulator_->running());
    simulator_->setBehaviourForAll({});
    forgetMirrors();
  }
  static inline std::unique_ptr<SiteSimulator> simulator_;
};

TEST_P(SiteStatus, ReportsWhyTheSiteEndedAndKeepsItsLogLines) {
  const Case& c = GetParam();
  const std::string label = SiteSimulator::siteLabels()[static_cast<std::size_t>(c.site)];
  simulator_->setBehaviour(label, c.behaviour);
  SiteHosts hosts;
  hosts.read(c.hosts ? c.hosts(*simulator_) : simulator_->hostsFileText());
  ASSERT_TRUE(hosts.problems().empty());
  std::vector<SitePlan> mirrors = planMirrors(c.site, hosts);
  if (mirrors.empty()) mirrors.push_back(planSite(c.site, hosts));

  RecordingChannel channel(utf8ToGbk("电影 Key"), c.pageLimit, c.timeout);
  runSiteAdapter(mirrors, channel);
  core::SiteReport report = channel.siteReport();
  EXPECT_EQ(report.state, c.state) << gbkToUtf8(core::siteStateText(report.state, 0));
  EXPECT_EQ(gbkToUtf8(report.reason).substr(0, c.reason.size()), c.reason)
      << gbkToUtf8(report.reason);
  if (c.reason.empty()) {
    EXPECT_EQ(report.reason, "");
  }
  EXPECT_EQ(report.hitsFound, static_cast<int>(channel.hits().size()));
  EXPECT_EQ(report.hitsFound > 0, c.hits);
  EXPECT_EQ(report.hitLabel, SiteCatalogue::row(c.site).hitLabel);
  const Text liveHost = mirrors.back().host;
  EXPECT_EQ(report.mirror, liveHost);

  // Byte for byte the page loop's lines; the mirror switch is the one line added.
  std::vector<Text> lines = channel.lines();
  ASSERT_EQ(lines.size(), c.lines.size());
  for (std::size_t i = 0; i < lines.size(); ++i) {
    Text message = c.lines[i] == "MIRROR"
                       ? SiteLogMessages::mirrorSwitch(mirrors.front().host,
                                                       "711 发送请求失败!"_gbk, liveHost)
                       : utf8ToGbk(c.lines[i]);
    EXPECT_EQ(lines[i], siteLogLine(lines[i].substr(0, 20), utf8ToGbk(label), message))
        << gbkToUtf8(lines[i]);
  }

  // The check fetches page 1 through the same loop and comes to the same verdict.
  SiteCheck check = checkSite(hosts, c.site, utf8ToGbk("电影 Key"), c.timeout);
  EXPECT_EQ(check.verdict, c.verdict) << gbkToUtf8(siteVerdictText(check.verdict));
  EXPECT_EQ(check.host, c.verdict == SiteState::noHost ? Text() : liveHost);
  EXPECT_EQ(check.hits > 0, c.verdict == SiteState::done);
}

INSTANTIATE_TEST_SUITE_P(EveryReason, SiteStatus, ::testing::ValuesIn(kCases),
                         [](const ::testing::TestParamInfo<Case>& info) {
                           return std::string(info.param.name);
                         });

TEST(SiteStatusMirrors, TheChosenMirrorIsTriedFirstByLaterRuns) {
  SiteSimulator sites;
  forgetMirrors();
  SiteHosts hosts;
  hosts.read(sites.hostsFileText(true));
  std::vector<SitePlan> mirrors = planMirrors(kBtdad, hosts);
  ASSERT_EQ(mirrors.size(), 2u);
  RecordingChannel first("Key", 1, 5);
  runSiteAdapter(mirrors, first);
  EXPECT_EQ(rememberedMirror(kBtdad), mirrors[1].host);
  RecordingChannel second("Key", 1, 5);
  runSiteAdapter(mirrors, second);
  EXPECT_EQ(second.lines().size(), 2u);  // page 1 and the end: no switch any more
  EXPECT_FALSE(second.hits().empty());
  // A remembered host no longer listed is passed over.
  EXPECT_EQ(mirrorOrder(kBtdad, {"x.example", "y.example"}), (std::vector<std::size_t>{0, 1}));
  forgetMirrors();
}

// A site's mirror walk for page 1 has twice the time-out in all, however many mirrors are
// silent: the ones it leaves are named in the log and the reason.
TEST(SiteStatusMirrors, SilentMirrorsCostTwiceTheTimeOutAtMost) {
  SiteSimulator sites;
  std::vector<std::unique_ptr<testing::SilentHost>> silent;
  struct Case {
    const char* name;
    int silentMirrors;
    bool answered;  // the live mirror is reached within the walk's time
  } cases[] = {{"one silent mirror", 1, true}, {"five silent mirrors", 5, false}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    forgetMirrors();
    std::string list;
    for (int i = 0; i < c.silentMirrors; ++i) {
      silent.push_back(std::make_unique<testing::SilentHost>());
      ASSERT_NE(silent.back()->port(), 0);
      list += silent.back()->hostAndPort() + ", ";
    }
    list += sites.host("Btdad");
    SiteHosts hosts;
    hosts.read(hostsWith("sites", "Btdad", list));
    ASSERT_TRUE(hosts.problems().empty());
    std::vector<SitePlan> mirrors = planMirrors(kBtdad, hosts);
    ASSERT_EQ(mirrors.size(), static_cast<std::size_t>(c.silentMirrors + 1));

    RecordingChannel channel("Key", 1, 1);
    const auto started = std::chrono::steady_clock::now();
    runSiteAdapter(mirrors, channel);
    const auto took = std::chrono::steady_clock::now() - started;
    EXPECT_LT(took, std::chrono::milliseconds(2800));
    core::SiteReport report = channel.siteReport();
    std::vector<Text> lines = channel.lines();
    if (c.answered) {
      EXPECT_EQ(report.state, SiteState::done);
      EXPECT_FALSE(channel.hits().empty());
      continue;
    }
    // Two mirrors had the walk's time; the other three and the live one were left.
    Text skipped;
    for (std::size_t i = 2; i < mirrors.size(); ++i) {
      skipped += (i == 2 ? "" : "、"_gbk) + mirrors[i].host;
    }
    EXPECT_EQ(report.state, SiteState::unreachable);
    EXPECT_EQ(report.mirror, mirrors[1].host);
    const Text note = SiteLogMessages::mirrorsSkippedNote(2, skipped);
    const std::size_t noteAt = report.reason.find(note);
    ASSERT_NE(noteAt, Text::npos) << gbkToUtf8(report.reason);
    EXPECT_EQ(noteAt + note.size(), report.reason.size());
    const Text failure = report.reason.substr(0, noteAt);
    EXPECT_EQ(failure.substr(0, 4), "712 ");
    ASSERT_EQ(lines.size(), 5u);  // page 1, one switch, the skip, no data, the end
    EXPECT_EQ(lines[2], siteLogLine(lines[2].substr(0, 20), "Btdad",
                                    SiteLogMessages::mirrorsSkipped(mirrors[1].host, failure, 2,
                                                                    skipped)))
        << gbkToUtf8(lines[2]);
    EXPECT_EQ(gbkToUtf8(SiteLogMessages::mirrorsSkipped("a", "712 x", 6, "b、c"_gbk)),
              "主机 a 无法使用（712 x），镜像时限 6 秒已用完，未试镜像 b、c");
  }
  forgetMirrors();
}

TEST(ResultTraces, HashesAndMagnetLinksButNotWordsOrNumbers) {
  struct Case {
    const char* page;
    bool traces;
  } cases[] = {
      {"<a href=\"MAGNET:?xt=urn:btih:x\">", true},
      {"<code>0123456789abcdef0123456789ABCDEF01234567</code>", true},
      {"id=KRSXG5CTMVRXEZLUKRSXG5CTMVRXEZLU;", true},
      {"<p>Nothing was found for your search.</p>", false},
      {"magnet links are listed here", false},
      {"0123456789012345678901234567890123456789", false},   // digits only
      {"abcdefabcdefabcdefabcdefabcdefabcdefabcd", false},   // letters only
      {"0123456789abcdef0123456789abcdef012345678", false},  // 41 digits long
      {"ABCDEFGHIJKLMNOPQRSTUVWXYZABCDEF", false},           // base-32 letters, no digit
      {"KRSXG5CTMVRXEZLUkrsxg5ctmvrxezlu", false},           // mixed case
  };
  for (const Case& c : cases) EXPECT_EQ(holdsResultTraces(c.page), c.traces) << c.page;
}

}  // namespace
}  // namespace quenbo::sites
