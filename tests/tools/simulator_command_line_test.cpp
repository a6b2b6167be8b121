// The command line of quenbo-site-simulator and the URL patterns its sites answer to.
#include <gtest/gtest.h>

#include "site_simulator/simulator_command_line.h"
#include "site_simulator/url_pattern.h"

namespace quenbo {
namespace {

using simulator::CommandLine;
using simulator::parseCommandLine;

TEST(SimulatorCommandLine, ReadsEveryOptionInBothForms) {
  CommandLine line;
  std::string message;
  ASSERT_TRUE(parseCommandLine({"--pages", "30", "--per-page=4", "--latency", "50", "--hosts-out",
                                "x.hosts", "--dead", "btdad,SOBT", "--error=磁小鸭",
                                "--html", "Torrentz", "--no-list", "all", "--skrbt-https",
                                "--layout-changed=Renz", "--slow", "Sobt,FeiBt", "700",
                                "--mirror-dead"},
                               line, message))
      << message;
  EXPECT_EQ(line.options.behaviour.pages, 30);
  EXPECT_EQ(line.options.behaviour.perPage, 4);
  EXPECT_EQ(line.options.behaviour.latencyMs, 50);
  EXPECT_EQ(line.hostsOut, "x.hosts");
  EXPECT_EQ(line.dead, (std::vector<std::string>{"Btdad", "Sobt"}));
  EXPECT_EQ(line.serverError, (std::vector<std::string>{"磁小鸭"}));
  EXPECT_EQ(line.htmlInsteadOfJson, (std::vector<std::string>{"Torrentz"}));
  EXPECT_EQ(line.jsonWithoutList.size(), 26u);
  EXPECT_TRUE(line.options.skrbtOverTls);
  EXPECT_EQ(line.layoutChanged, (std::vector<std::string>{"Renz"}));
  EXPECT_EQ(line.slow, (std::vector<std::pair<std::string, int>>{{"Sobt", 700}, {"FeiBt", 700}}));
  EXPECT_TRUE(line.mirrorDead);
  EXPECT_FALSE(line.help);
}

TEST(SimulatorCommandLine, RefusesWhatItCannotUse) {
  struct Case {
    std::vector<std::string> arguments;
    const char* message;
  } cases[] = {
      {{"--pages", "-1"}, "bad value for --pages: -1"},
      {{"--latency", "5ms"}, "bad value for --latency: 5ms"},
      {{"--per-page"}, "--per-page needs a value"},
      {{"--dead", "Btdad,Nowhere"}, "unknown site: Nowhere"},
      {{"--colour", "red"}, "unknown option: --colour"},
      {{"stray"}, "unknown argument: stray"},
      {{"--slow", "Sobt"}, "--slow needs sites and a number of milliseconds"},
      {{"--slow", "Sobt", "fast"}, "--slow needs sites and a number of milliseconds"},
  };
  for (const Case& c : cases) {
    CommandLine line;
    std::string message;
    EXPECT_FALSE(parseCommandLine(c.arguments, line, message));
    EXPECT_EQ(message, c.message);
  }
  CommandLine defaults;
  std::string message;
  ASSERT_TRUE(parseCommandLine({}, defaults, message));
  EXPECT_EQ(defaults.hostsOut, "sites.simulated.hosts");
  EXPECT_EQ(defaults.options.behaviour.pages, 3);
}

TEST(UrlPattern, TakesKeywordPageAndStampOnlyFromTheirPlaces) {
  struct Case {
    const char* pattern;
    const char* target;
    bool matches;
    const char* keyword;
    int page;
    const char* stamp;
  } cases[] = {
      {"/zh-cn/s/{P}/{KW}", "/zh-cn/s/2/abc", true, "abc", 2, ""},
      {"/search-{KW}-0-0-{P}.html", "/search-a-0-0-b-0-0-12.html", true, "a-0-0-b", 12, ""},
      {"/search-{KW}-0-0-{P}.html", "/search-%E7%94%B5%20x-0-0-1.html", true, "电 x", 1, ""},
      {"/search?keyword={KW}&sort=hot&page={P}&mode=1&_={T}",
       "/search?keyword=abc&sort=hot&page=3&mode=1&_=1575200000123", true, "abc", 3, "1575200000123"},
      {"/search-{KW}-0-0-{P}.html", "/search-abc-0-0-.html", false, "", 0, ""},
      {"/search-{KW}-0-0-{P}.html", "/search-abc-0-0-1.html/", false, "", 0, ""},
      {"/search/{KW}/page/{P}", "/search/a/b/page/1", false, "", 0, ""},
      {"/search?q={KW}&p={P}", "/search?q=abc&p=1&x=2", false, "", 0, ""},
      {"/search?q={KW}&p={P}", "/search?q=a&b&p=1", false, "", 0, ""},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.target);
    auto match = simulator::matchUrlPattern(c.pattern, c.target);
    ASSERT_EQ(match.has_value(), c.matches);
    if (!match) continue;
    EXPECT_EQ(match->keyword, c.keyword);
    EXPECT_EQ(match->page, c.page);
    EXPECT_EQ(match->timestamp, c.stamp);
  }
}

}  // namespace
}  // namespace quenbo
