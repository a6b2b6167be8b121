// Answers written by hand, cut into hits by the sites' rules.
#include "sites/page_reader.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "base/encoding.h"
#include "sites/site_hosts.h"

namespace quenbo::sites {
namespace {

using Hit = core::MagnetResult;

constexpr int kBtdad = 0, kCiliwang = 3, kCixiaoya = 7, kZhongzisou = 10, kKickass = 14,
              kMonova = 16, kBtsow = 20, kSunyaa = 24, kIdopea = 25;

// The hits of one answer, fields in UTF-8 for readable comparisons.
std::vector<Hit> hitsOf(int site, const std::string& body, const std::string& hosts = {}) {
  SiteHosts configured;
  configured.read(hosts);
  SitePlan plan = planSite(site, configured);
  PageReader reader(plan);
  std::vector<Hit> hits;
  if (reader.read(body) != PageVerdict::items) return hits;
  for (int i = 0; i < reader.itemCount(); ++i) {
    if (auto hit = reader.hit(i)) {
      hits.push_back({gbkToUtf8(hit->title), gbkToUtf8(hit->magnet), gbkToUtf8(hit->site),
                      gbkToUtf8(hit->size), gbkToUtf8(hit->heat), gbkToUtf8(hit->date)});
    }
  }
  return hits;
}

std::string btdadBox(const std::string& inner) {
  return utf8ToGbk("<div class=\"ssbox\"><h3><span>[视频]</span><a href=\"/d\" target=\"_blank\">" +
                   inner + "</div>");
}

TEST(PageReader, OnlyMagnetLinksWithoutBlanksOrControlsAreHandedOver) {
  const std::pair<const char*, bool> links[] = {
      {"magnet:?xt=urn:btih:AB", true},           {"MAGNET:?xt=urn:btih:AB", true},
      {"magnet:?xt=urn:btih:AB&dn=%E7", true},    {"magnet:xt", false},
      {"http://x/magnet:?xt", false},             {"magnet:?xt=a&magnet:?xt=b", false},
      {"magnet:?xt=a&MAGNET:?xt=b", false},       {"magnet:?xt=a b", false},
      {"magnet:?xt=a\tb", false},                {"magnet:?xt=a\x7f", false},
      {"magnet:?xt=a\r\nb", false},              {"", false}};
  for (const auto& [link, sound] : links) EXPECT_EQ(isMagnetLink(link), sound) << link;
}

TEST(PageReader, BtdadBlockGivesTheWorkedExampleAndTheLastBoxNone) {
  std::string box = btdadBox(
      " Some <span class=\"red\">Key</span> Film </a></h3><a href=\"magnet:?xt=urn:btih:ABC\">"
      "</a><span>大小:<b class=\"cpill\">1.2 GB</b></span><span>热度:<b>35</b></span>"
      "<span>添加时间:<b>2019-12-01</b></span>");
  EXPECT_EQ(hitsOf(kBtdad, box + box + box),
            (std::vector<Hit>(2, {"Some Key Film", "magnet:?xt=urn:btih:ABC", "Btdad", "1.2 GB",
                                  "35", "2019-12-01"})));
  EXPECT_TRUE(hitsOf(kBtdad, box).empty());
  // A block without a link is skipped; one with missing fields is still taken.
  std::string noLink = btdadBox("No link</a></h3>");
  std::string bare = btdadBox("Bare</a></h3><a href=\"magnet:?xt=urn:btih:DEF\">");
  EXPECT_EQ(hitsOf(kBtdad, noLink + bare + box),
            (std::vector<Hit>{{"Bare", "magnet:?xt=urn:btih:DEF", "Btdad", "", "", ""}}));
}

TEST(PageReader, MarkerHostSitesFindTheirLinksOnTheConfiguredHost) {
  std::string btsow = utf8ToGbk(
      "<a href=\"https://bt.example/magnet/detail/hash/ABC\" title=\"T\"></a>"
      "<div>Size:1.5GB / Convert Date:2020-03-04</div><div class=\"hidden-xs\">");
  std::string hosts = "[sites]\nBtsow = 127.0.0.1:9\n[markers]\nBtsow = bt.example\n";
  EXPECT_EQ(
      hitsOf(kBtsow, btsow, hosts),
      (std::vector<Hit>{{"T", "magnet:?xt=urn:btih:ABC", "Btsow", "1.5 GB", "-1", "2020-03-04"}}));
  // Another host in the markup is not this site's.
  EXPECT_TRUE(hitsOf(kBtsow, btsow, "[sites]\nBtsow = other.example\n").empty());

  std::string monova = utf8ToGbk(
      "<td class=\"torrent_name\"><a href=\"//mo.example/H1\"><span class=\"l\">HD</span>Film</a>"
      "</td><td class=\"center-align\">700 MB</td><td class=\"desktop\">"
      "<td class=\"torrent_name\"><a href=\"//mo.example/H2\">Plain</a></td><td class=\"desktop\">"
      "<td class=\"torrent_name\"><a href=\"//mo.example/\">Empty link</a></td><td "
      "class=\"desktop\">");
  EXPECT_EQ(hitsOf(kMonova, monova, "[sites]\nMonova = mo.example\n"),
            (std::vector<Hit>{{"Film", "magnet:?xt=urn:btih:H1", "Monova", "700 MB", "-1", "无"},
                              {"Plain", "magnet:?xt=urn:btih:H2", "Monova", "", "-1", "无"}}));
}

TEST(PageReader, CiliwangCutsItsJsonAsText) {
  std::string body =
      R"({"list":[{"name":"\u7535\u5f71 A","magnet":"magnet:?xt=urn:btih:AB","file_size":"700MB","hot":12,"time":"2020-01-01 08:00:00","highlight":{}},)"
      R"({"name":"B","magnet":"magnet:?xt=urn:btih:CD","file_size":"\u672a\u77e5","hot":0,"time":"x","highlight":{}},)"
      R"({"name":"C","file_size":"1.2g","highlight":{}}]})";
  EXPECT_EQ(hitsOf(kCiliwang, body),
            (std::vector<Hit>{{"电影 A", "magnet:?xt=urn:btih:AB", "Ciliwang", "700 MB", "12",
                               "2020-01-01 08:00:00"},
                              {"B", "magnet:?xt=urn:btih:CD", "Ciliwang", "1.00 MB", "0", "x"}}));
}

TEST(PageReader, ResultListSitesApplyTheirOwnRules) {
  std::string body =
      R"({"data":{"results":[)"
      R"({"name":"A  电影 x","magnet":"magnet:?xt=urn:btih:AB&dn=A&tr=udp","formatSize":"1.5 GB","hot":35,"date":"          2020-01-02         "},)"
      R"({"name":"No link","formatSize":"1 MB"},)"
      R"({"name":"Bare","magnet":"magnet:?xt=urn:btih:CD","formatSize":"2 MB"}]}})";
  EXPECT_EQ(hitsOf(kZhongzisou, body),
            (std::vector<Hit>{{"A  电影 x", "magnet:?xt=urn:btih:AB&dn=A&tr=udp", "种子搜",
                               "1.5 GB", "35", "          2020-01-02         "},
                              {"Bare", "magnet:?xt=urn:btih:CD", "种子搜", "2 MB", "", ""}}));
  EXPECT_EQ(hitsOf(kKickass, body).at(0), (Hit{"A  电影 x", "magnet:?xt=urn:btih:AB&dn=A&tr=udp",
                                               "Kickass", "1.5 GB", "-1", "无"}));
  // Sunyaa keeps the link up to its first "&" and drops a link without one.
  EXPECT_EQ(hitsOf(kSunyaa, body),
            (std::vector<Hit>{{"A  电影 x", "magnet:?xt=urn:btih:AB", "Sunyaa", "1.5 GB", "35",
                               "          2020-01-02         "}}));
  EXPECT_EQ(hitsOf(kIdopea, body).at(0), (Hit{"A电影x", "magnet:?xt=urn:btih:AB&dn=A&tr=udp",
                                              "idopea", "1.5GB", "-1", "2020-01-02"}));
  // A size whose no-break space did not survive the conversion to GBK.
  EXPECT_EQ(hitsOf(kIdopea, R"({"data":{"results":[{"magnet":"magnet:?xt=urn:btih:EF","formatSize":"1.5)"
                            "\xC2\xA0"
                            R"(GB"}]}})")
                .at(0)
                .size,
            "1.5 GB");
}

TEST(PageReader, CixiaoyaReadsItsDataList) {
  std::string body =
      R"({"data":{"data":[)"
      R"({"name":"\u7535\u5f71","uri":"magnet:?xt=urn:btih:AB","file_size":"\u672a\u77e5","hot":12,"time":"t1"},)"
      R"({"name":"B","uri":"magnet:?xt=urn:btih:CD","file_size":"1.2g","hot":"7","time":"t2"},)"
      R"({"name":"C","uri":"magnet:?xt=urn:btih:EF","file_size":"\u5927\u5c0f\u672a\u77e5","time":"t3"},)"
      R"({"name":"No link","file_size":"1MB"}]}})";
  EXPECT_EQ(
      hitsOf(kCixiaoya, body),
      (std::vector<Hit>{{"电影", "magnet:?xt=urn:btih:AB", "磁力鸭", "1.00 MB", "12", "t1"},
                        {"B", "magnet:?xt=urn:btih:CD", "磁力鸭", "1.2 GB", "\"7\"", "t2"},
                        {"C", "magnet:?xt=urn:btih:EF", "磁力鸭", "大小未知", "", "t3"}}));
}

// The parser decodes a value once; after it only a percent-encoded character beyond ASCII
// is decoded, to itself and never to "?", and the link stays as the answer gives it.
TEST(PageReader, CixiaoyaValuesAreDecodedOnce) {
  struct Case {
    const char* name;  // as the answer writes it, JSON escapes included
    const char* read;
  };
  const Case cases[] = {
      {"100%25", "100%25"},
      {"%E7%94%B5", "电"},
      {"%e7%94%b5%E5%BD%B1 100%", "电影 100%"},
      {R"(\u7535 %E7%94%B5)", "电 电"},
      {"a%20b", "a%20b"},
      {"%u7535", "%u7535"},
      {R"(back\\slash \\u7535 \\n)", R"(back\slash \u7535 \n)"},
      {"%E7%94", "%E7%94"},          // cut short
      {"%C0%AF", "%C0%AF"},          // overlong
      {"%ED%A0%80", "%ED%A0%80"},    // a surrogate
      {"%F0%9F%98%80", "%F0%9F%98%80"},  // an emoji, which GBK lacks
      {"%", "%"},
      {"%%E7%94%B5%", "%电%"},
  };
  for (const Case& c : cases) {
    std::string body = std::string(R"({"data":{"data":[{"name":")") + c.name +
                       R"(","uri":"magnet:?xt=urn:btih:AB&dn=%E7%94%B5%25","file_size":"1MB","time":")" +
                       c.name + R"("}]}})";
    std::vector<Hit> hits = hitsOf(kCixiaoya, body);
    ASSERT_EQ(hits.size(), 1u) << c.name;
    EXPECT_EQ(hits[0].title, c.read) << c.name;
    EXPECT_EQ(hits[0].date, c.read) << c.name;
    EXPECT_EQ(hits[0].magnet, "magnet:?xt=urn:btih:AB&dn=%E7%94%B5%25") << c.name;
  }
}

// A missing or null heat is empty; a number or a text is read as the answer writes it.
TEST(PageReader, CixiaoyaHeatIsEmptyWithoutAValue) {
  const std::pair<const char*, const char*> cases[] = {
      {"", ""}, {R"(,"hot":null)", ""}, {R"(,"hot":12)", "12"}, {R"(,"hot":"7")", "\"7\""}};
  for (const auto& [member, heat] : cases) {
    std::string body = std::string(R"({"data":{"data":[{"name":"A","uri":"magnet:?xt=urn:btih:AB")") +
                       member + "}]}}";
    std::vector<Hit> hits = hitsOf(kCixiaoya, body);
    ASSERT_EQ(hits.size(), 1u) << member;
    EXPECT_EQ(hits[0].heat, heat) << member;
  }
}

// A blank written raw into a link's parameters is percent-encoded and the hit kept; one in
// the info hash, and the link's other characters, are checked as before.
TEST(PageReader, RawBlanksInALinkAreEncodedAndTheHitKept) {
  struct Case {
    const char* link;
    const char* kept;  // empty: dropped
  };
  const Case cases[] = {
      {"magnet:?xt=urn:btih:AB&dn=a b", "magnet:?xt=urn:btih:AB&dn=a%20b"},
      {"magnet:?xt=urn:btih:AB&dn=a  b c", "magnet:?xt=urn:btih:AB&dn=a%20%20b%20c"},
      {" magnet:?xt=urn:btih:AB ", "magnet:?xt=urn:btih:AB"},
      {"magnet:?xt=urn:btih:AB&dn=a%20b", "magnet:?xt=urn:btih:AB&dn=a%20b"},
      {"magnet:?xt=urn:btih:AB&dn=a\tb", ""},
      {"magnet:?xt=a b&magnet:?xt=b", ""},
      {"magnet:?xt=urn:btih:AB x", ""},
      {"magnet:?xt=urn:btih:A B&dn=x", ""},
      {"magnet:?xt=urn:btih:$(rm -rf ~)", ""},
  };
  for (const Case& c : cases) {
    // A JSON site and an HTML one.
    std::vector<Hit> json = hitsOf(
        kCixiaoya, std::string(R"({"data":{"data":[{"name":"A","uri":")") + c.link + R"("}]}})");
    std::vector<Hit> html =
        hitsOf(kBtdad, btdadBox("Film</a></h3><a href=\"" + std::string(c.link) + "\">") +
                           btdadBox("Last</a></h3>"));
    for (const std::vector<Hit>& hits : {json, html}) {
      if (std::string(c.kept).empty()) {
        EXPECT_TRUE(hits.empty()) << c.link;
      } else {
        ASSERT_EQ(hits.size(), 1u) << c.link;
        EXPECT_EQ(hits[0].magnet, c.kept) << c.link;
      }
    }
  }
}

TEST(PageReader, VerdictTellsNoDataFromBrokenJson) {
  SiteHosts none;
  for (int site : {kZhongzisou, kCixiaoya}) {
    SitePlan plan = planSite(site, none);
    PageReader reader(plan);
    EXPECT_EQ(reader.read(""), PageVerdict::jsonFailed);
    EXPECT_EQ(reader.read("<html>busy</html>"), PageVerdict::jsonFailed);
    EXPECT_EQ(reader.read("null"), PageVerdict::jsonFailed);
    EXPECT_EQ(reader.read(R"({"data":{"results":[],"data":[]}})"), PageVerdict::noData);
    EXPECT_EQ(reader.read(R"({"data":{"results":{},"data":"x"}})"), PageVerdict::noData);
    EXPECT_EQ(reader.itemCount(), 0);
  }
  SitePlan ciliwang = planSite(kCiliwang, none);
  PageReader reader(ciliwang);
  EXPECT_EQ(reader.read("<html>not json</html>"), PageVerdict::noData);
}

}  // namespace
}  // namespace quenbo::sites
