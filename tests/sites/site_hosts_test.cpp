#include "sites/site_hosts.h"
#include "sites/site_plan.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "base/encoding.h"
#include "base/ini_file.h"
#include "support/fixtures.h"

namespace quenbo::sites {
namespace {

constexpr int kBtdad = 0, kCixiaoya = 7, kZhongzisou = 10, kKickass = 14, kSkrbt = 15, kMonova = 16,
              kBtsow = 20, kIdopea = 25;

TEST(SiteHosts, ReadsSitesApisAndMarkers) {
  SiteHosts hosts;
  hosts.read(
      "\xEF\xBB\xBF; comment = not a key\n"
      "# another comment\n"
      "[sites]\n"
      "  btdad =  btdad.example  \r\n"
      "磁小鸭 = duck.example:8443\n"
      "Btsow = 127.0.0.1:4000\n"
      "[apis]\n"
      "A = api-a.example\n"
      "b = [::1]:8080\n"
      "[markers]\n"
      "Btsow = btsow.example\n");
  EXPECT_TRUE(hosts.problems().empty());
  EXPECT_EQ(hosts.host(kBtdad), "btdad.example");
  EXPECT_EQ(hosts.baseUrl(kBtdad), "http://btdad.example");
  EXPECT_EQ(hosts.baseUrl(kCixiaoya), "https://duck.example:8443");
  EXPECT_EQ(hosts.baseUrl(kZhongzisou), "https://api-a.example");
  EXPECT_EQ(hosts.baseUrl(kIdopea), "https://api-a.example");
  EXPECT_EQ(hosts.baseUrl(kKickass), "http://[::1]:8080");
  EXPECT_EQ(hosts.markerHost(kBtsow), "btsow.example");
  EXPECT_EQ(hosts.baseUrl(kBtsow), "https://127.0.0.1:4000");
  EXPECT_EQ(hosts.baseUrl(kMonova), "");
  EXPECT_EQ(hosts.markerHost(kMonova), "");
}

TEST(SiteHosts, LaterTextsWinKeyByKeyAndAnEmptyValueSwitchesASiteOff) {
  SiteHosts hosts;
  hosts.read("[sites]\nBtdad = one.example\nSobt = sobt.example\n[apis]\nA = a.example\n");
  hosts.read("[sites]\nBtdad = two.example\n[apis]\nA =\n");
  EXPECT_EQ(hosts.host(kBtdad), "two.example");
  EXPECT_EQ(hosts.host(5), "sobt.example");
  EXPECT_EQ(hosts.baseUrl(kZhongzisou), "");
}

TEST(SiteHosts, SkrbtCarriesItsScheme) {
  struct Case {
    const char* value;
    const char* baseUrl;
  } cases[] = {
      {"http://skrbt.example", "http://skrbt.example"},
      {"https://skrbt.example:444", "https://skrbt.example:444"},
      {"HTTPS://skrbt.example", "HTTPS://skrbt.example"},
      {"skrbt.example", "https://skrbt.example"},
      {"", ""},
  };
  for (const Case& c : cases) {
    SiteHosts hosts;
    hosts.read(std::string("[sites]\nSkrbt = ") + c.value + "\n");
    EXPECT_EQ(hosts.baseUrl(kSkrbt), c.baseUrl) << c.value;
    EXPECT_TRUE(hosts.problems().empty()) << c.value;
  }
}

TEST(SiteHosts, RefusesWhatIsNotAHost) {
  for (const char* value :
       {"http://btdad.example", "btdad.example/mirror", "a b", "x?y=1", "user@host", "host#x"}) {
    SiteHosts hosts;
    hosts.read(std::string("[sites]\nBtdad = one.example\n"));
    hosts.read(std::string("[sites]\nBtdad = ") + value + "\n");
    EXPECT_EQ(hosts.host(kBtdad), "") << value;
    ASSERT_EQ(hosts.problems().size(), 1u) << value;
    EXPECT_NE(hosts.problems()[0].find("Btdad"), std::string::npos);
  }
  SiteHosts hosts;
  hosts.read("[sites]\nSkrbt = ftp://skrbt.example\n[markers]\nMonova = m.example/x\n");
  EXPECT_EQ(hosts.baseUrl(kSkrbt), "");
  EXPECT_EQ(hosts.problems().size(), 2u);
}

TEST(SiteHosts, TheUpdateServiceIsAnHttpOrHttpsBaseUrl) {
  struct Case {
    const char* value;
    const char* service;
  };
  for (const Case& c : {Case{"", ""}, Case{"https://updates.example", "https://updates.example"},
                        Case{"http://127.0.0.1:8080", "http://127.0.0.1:8080"},
                        Case{"updates.example", "https://updates.example"},
                        Case{"https://updates.example/path", ""}}) {
    SiteHosts hosts;
    hosts.read(std::string("[service]\nupdate = ") + c.value + "\n");
    EXPECT_EQ(hosts.updateService(), c.service) << c.value;
  }
}

TEST(SiteHosts, KeysOutsideTheirSectionDoNotCount) {
  SiteHosts hosts;
  hosts.read("Btdad = early.example\n[apis]\nBtdad = api.example\n[other]\nA = x.example\n");
  EXPECT_EQ(hosts.host(kBtdad), "");
  EXPECT_EQ(hosts.host(kZhongzisou), "");
}

// The one rule the reader and the hosts editor share, mirror lists included.
TEST(SiteHosts, HostValueRuleAcceptsMirrorListsPartByPart) {
  struct Case {
    const char* value;
    bool withScheme, several;
    const char* problemHas;  // "" when fine
  } cases[] = {
      {"", false, true, ""},
      {"a.example", false, false, ""},
      {"a.example,b.example:8080", false, true, ""},
      {" a.example , [::1]:81 ", false, true, ""},
      {"http://a.example,b.example", true, true, ""},
      {"a.example,b.example", false, false, "lists several hosts"},
      {"a.example,,b.example", false, true, "empty host"},
      {"a.example,", false, true, "empty host"},
      {"a.example,b.example/x", false, true, "\"b.example/x\" is not a host"},
      {"http://a.example", false, true, "is not a host"},
      {"ftp://a.example,https://b.example", true, true, "\"ftp://a.example\" is not a host"},
  };
  for (const Case& c : cases) {
    std::string problem = hostValueProblem(c.value, c.withScheme, c.several);
    if (std::string(c.problemHas).empty()) {
      EXPECT_EQ(problem, "") << c.value;
    } else {
      EXPECT_NE(problem.find(c.problemHas), std::string::npos) << c.value << ": " << problem;
    }
  }
  SiteHosts hosts;
  hosts.read(
      "[sites]\nBtdad = a.example, b.example:81\nSkrbt = http://s.example,t.example\n"
      "[apis]\nA = api1.example,api2.example\n[markers]\nBtsow = x.example,y.example\n"
      "[board]\nhost = b1.example,b2.example\n");
  EXPECT_EQ(hosts.hosts(kBtdad), (std::vector<Text>{"a.example", "b.example:81"}));
  EXPECT_EQ(hosts.baseUrl(kBtdad), "http://a.example");
  EXPECT_EQ(hosts.baseUrl(kBtdad, "b.example:81"), "http://b.example:81");
  EXPECT_EQ(hosts.hosts(kSkrbt), (std::vector<Text>{"http://s.example", "https://t.example"}));
  EXPECT_EQ(hosts.hosts(kIdopea), (std::vector<Text>{"api1.example", "api2.example"}));
  EXPECT_EQ(hosts.markerHost(kBtsow, "z.example"), "z.example");  // its marker was refused
  EXPECT_EQ(hosts.markerHost(kMonova, "m2.example"), "m2.example");
  EXPECT_EQ(hosts.boardHost(), "");
  EXPECT_EQ(hosts.problems().size(), 2u);
}

// The 10,239-byte cut of the settings file never applies to a hosts value: a list of
// mirrors longer than that is read whole, its last host included.
TEST(SiteHosts, AValueIsNeverCut) {
  std::string value;
  for (int i = 0; i < 1000; ++i) {
    value += (i ? ", " : "") + std::string("mirror-") + std::to_string(i) + ".example:8080";
  }
  ASSERT_GT(value.size(), kIniValueBuffer);
  for (std::string_view section : {"sites", "apis"}) {
    SiteHosts hosts;
    hosts.read("[" + std::string(section) + "]\n" +
               (section == "sites" ? "Btdad" : "A") + " = " + value + "\n");
    EXPECT_TRUE(hosts.problems().empty()) << section;
    std::vector<Text> all = hosts.hosts(section == "sites" ? kBtdad : kZhongzisou);
    ASSERT_EQ(all.size(), 1000u) << section;
    EXPECT_EQ(all.back(), "mirror-999.example:8080") << section;
  }
  // A long value with a fault after the cut is refused with its key, not cut into a host.
  SiteHosts bad;
  bad.read("[sites]\nBtdad = " + value + ", bad/host\n");
  ASSERT_EQ(bad.problems().size(), 1u);
  EXPECT_EQ(bad.problems()[0].find("[sites] Btdad: "), 0u);
  EXPECT_NE(bad.problems()[0].find("\"bad/host\" is not a host"), std::string::npos);
}

TEST(SiteHosts, NetworkReuseIsZeroOrOneAndLaterFilesWin) {
  struct Case {
    const char* text;
    bool reuse;
    std::size_t problems;
  } cases[] = {
      {"", true, 0},
      {"[network]\nreuse = 0\n", false, 0},
      {"[network]\nreuse = 1\n", true, 0},
      {"[network]\nreuse = yes\n", true, 1},  // refused: left as it was
      {"[sites]\nreuse = 0\n", true, 0},      // not in its section
  };
  for (const Case& c : cases) {
    SiteHosts hosts;
    hosts.read(c.text);
    EXPECT_EQ(hosts.reuseConnections(), c.reuse) << c.text;
    EXPECT_EQ(hosts.problems().size(), c.problems) << c.text;
  }
  SiteHosts hosts;
  hosts.read("[network]\nreuse = 0\n");
  hosts.read("[network]\nreuse = 1\n");
  EXPECT_TRUE(hosts.reuseConnections());
  EXPECT_TRUE(planSite(kBtdad, hosts).reuseConnection);
  hosts.read("[network]\nreuse = 0\n");
  EXPECT_FALSE(planSite(kBtdad, hosts).reuseConnection);
}

class SiteHostsFiles : public testing::SandboxTest {};

TEST_F(SiteHostsFiles, ShippedFileThenLocalFileThenTheNamedOne) {
  const std::filesystem::path dir = sandbox_.path();
  testing::writeWholeFile(sandbox_.file("sites.hosts"),
                          "[sites]\nBtdad = shipped.example\nSobt = shipped.example\n"
                          "Renz = shipped.example\n[board]\nhost = shipped.example\n"
                          "[service]\nupdate = https://shipped.example\n");
  testing::writeWholeFile(sandbox_.file("sites.hosts.local"),
                          "[sites]\nSobt = local.example\nRenz = local.example\n");
  testing::writeWholeFile(sandbox_.file("mine.hosts"),
                          "[sites]\nRenz = mine.example\n[board]\nhost = mine.example\n");

  SiteHosts hosts = SiteHosts::load(dir, sandbox_.file("mine.hosts"));
  EXPECT_TRUE(hosts.problems().empty());
  EXPECT_EQ(hosts.host(kBtdad), "shipped.example");
  EXPECT_EQ(hosts.host(5), "local.example");
  EXPECT_EQ(hosts.host(21), "mine.example");
  // The board and the update service follow the same order.
  EXPECT_EQ(hosts.boardHost(), "mine.example");
  EXPECT_EQ(hosts.updateService(), "https://shipped.example");
}

TEST_F(SiteHostsFiles, MissingFilesAreReported) {
  const std::filesystem::path dir = sandbox_.path();
  SiteHosts hosts = SiteHosts::load(dir, sandbox_.file("missing.hosts"));
  // The shipped file and the named one; the local file is optional.
  EXPECT_EQ(hosts.problems().size(), 2u);
  for (int index = 0; index < core::kSiteCount; ++index) EXPECT_EQ(hosts.baseUrl(index), "");
}

}  // namespace
}  // namespace quenbo::sites
