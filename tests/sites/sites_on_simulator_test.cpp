// Every site's adapter against the site simulator: the hits it hands over, field by field,
// as each site's rules make them out of what the simulator put on its pages; the requests
// it sends; and its log lines.
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "base/encoding.h"
#include "recording_channel.h"
#include "site_simulator/site_simulator.h"
#include "sites/site_adapter.h"
#include "sites/site_hosts.h"

namespace quenbo::sites {
namespace {

using simulator::SimulatedItem;
using simulator::SimulatedRequest;
using simulator::SiteBehaviour;
using simulator::SiteSimulator;
using testing::RecordingChannel;
using Lines = std::vector<std::string>;

const std::string kKeyword = "电影 Key";
const std::string kFinished = "全部页数搜索完毕 ";
const std::string kNoData = "页面不存在 或 无资源数据 ，已自动停止搜索";
const std::string kJsonFailed = "JSON解析失败，已自动停止搜索";

// A hit in UTF-8.
struct Expected {
  std::string title, magnet, site, size, heat, date;
  bool operator==(const Expected&) const = default;
};

std::ostream& operator<<(std::ostream& out, const Expected& e) {
  return out << "{" << e.title << " | " << e.magnet << " | " << e.site << " | " << e.size << " | "
             << e.heat << " | " << e.date << "}";
}

std::string without(std::string text, std::initializer_list<std::string_view> parts) {
  for (std::string_view part : parts) {
    for (std::size_t at = text.find(part); at != std::string::npos; at = text.find(part, at)) {
      text.erase(at, part.size());
    }
  }
  return text;
}

std::string replaced(const std::string& text, std::string_view from, std::string_view to) {
  std::string out;
  std::size_t done = 0;
  for (std::size_t at = text.find(from); at != std::string::npos; at = text.find(from, done)) {
    out.append(text, done, at - done).append(to);
    done = at + from.size();
  }
  return out.append(text, done);
}

std::string trimmed(const std::string& text) {
  std::size_t first = text.find_first_not_of(' ');
  return first == std::string::npos ? ""
                                    : text.substr(first, text.find_last_not_of(' ') - first + 1);
}

std::string hashLink(const SimulatedItem& item) {
  return "magnet:?xt=urn:btih:" + item.infoHash;
}

// 1.25GB, 1.25gb, 1.2G and 356.7mb as 1.25 GB, 1.2 GB and 356.7 MB; 未知 as 1.00 MB.
std::string spacedUnit(const std::string& size) {
  if (size == "未知") return "1.00 MB";
  std::size_t unitAt = size.find_first_not_of("0123456789.");
  std::string unit = size.substr(unitAt);
  for (char& c : unit) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  return size.substr(0, unitAt) + " " + (unit == "G" ? "GB" : unit);
}

// A no-break space arrives in GBK as "?", which the site's rules turn into a space.
std::string noBreakAsSpace(const std::string& size) {
  return replaced(size, "\u00A0", " ");
}

Expected asShown(const SimulatedItem& item, const std::string& site) {
  return {item.title, hashLink(item), site, item.size, item.heat, item.date};
}

struct SiteCase {
  int index;
  const char* label;
  const char* testName;
  bool lastOfPageDropped;  // the last result of a page has no closing marker
  Expected (*expect)(const SimulatedItem&);
};

const SiteCase kSites[] = {
    {0, "Btdad", "Btdad", true,
     [](const SimulatedItem& i) {
       Expected e = asShown(i, "Btdad");
       e.title = trimmed(without(i.title, {"<span class=\"red\">", "</span>"}));
       return e;
     }},
    {1, "Ttcili", "Ttcili", false, [](const SimulatedItem& i) { return asShown(i, "Ttcili"); }},
    {2, "Iheian", "Iheian", false, [](const SimulatedItem& i) { return asShown(i, "Iheian"); }},
    {3, "Ciliwang", "Ciliwang", false,
     [](const SimulatedItem& i) {
       Expected e = asShown(i, "Ciliwang");
       e.size = spacedUnit(i.size);
       return e;
     }},
    {4, "Ciliguo", "Ciliguo", false,
     [](const SimulatedItem& i) {
       Expected e = asShown(i, "Ciliguo");
       e.title = without(i.title, {"<span style='color:#dc3545'>", "</span>"});
       return e;
     }},
    {5, "Sobt", "Sobt", false,
     [](const SimulatedItem& i) {
       Expected e = asShown(i, "Sobt");
       e.title = without(i.title, {"<em>", "</em>"});
       return e;
     }},
    {6, "Wiki", "Wiki", false,
     [](const SimulatedItem& i) {
       Expected e = asShown(i, "Wiki");
       e.title = without(i.title, {"<b>", "</b>"});
       return e;
     }},
    {7, "磁小鸭", "Cixiaoya", false,
     [](const SimulatedItem& i) {
       return Expected{i.title, i.link, "磁力鸭", spacedUnit(i.size), i.heat, i.date};
     }},
    {8, "Chazhongzi", "Chazhongzi", false,
     [](const SimulatedItem& i) { return asShown(i, "Chazhongzi"); }},
    {9, "BT樱桃", "BtYingtao", false,
     [](const SimulatedItem& i) {
       Expected e = asShown(i, "BT樱桃");
       e.title = without(i.title, {"<b>", "</b>"});
       return e;
     }},
    {10, "种子搜", "Zhongzisou", false,
     [](const SimulatedItem& i) {
       return Expected{i.title, i.link, "种子搜", i.size, i.heat, i.date};
     }},
    {11, "BT蚂蚁", "BtMayi", false,
     [](const SimulatedItem& i) {
       return Expected{i.title, i.link, "BT蚂蚁", i.size, i.heat, i.date};
     }},
    {12, "Torrentz", "Torrentz", false,
     [](const SimulatedItem& i) {
       return Expected{i.title, i.link, "Torrentz", i.size, i.heat, i.date};
     }},
    {13, "磁力果", "Ciliguo2", false,
     [](const SimulatedItem& i) {
       return Expected{i.title, i.link, "磁力果", i.size, i.heat, i.date};
     }},
    {14, "Kickass", "Kickass", false,
     [](const SimulatedItem& i) {
       return Expected{i.title, i.link, "Kickass", i.size, "-1", "无"};
     }},
    {15, "Skrbt", "Skrbt", false, [](const SimulatedItem& i) { return asShown(i, "Skrbt"); }},
    {16, "Monova", "Monova", false,
     [](const SimulatedItem& i) {
       std::size_t badgeEnd = i.title.rfind("</span>");
       std::string title = badgeEnd == std::string::npos ? i.title : i.title.substr(badgeEnd + 7);
       return Expected{title, hashLink(i), "Monova", i.size, "-1", "无"};
     }},
    {17, "SXBTZZ", "Sxbtzz", false,
     [](const SimulatedItem& i) {
       Expected e = asShown(i, "SXBTZZ");
       e.size = noBreakAsSpace(i.size);
       return e;
     }},
    {18, "A8bt", "A8bt", false,
     [](const SimulatedItem& i) {
       Expected e = asShown(i, "A8bt");
       e.title = without(i.title, {"<b>", "</b>"});
       return e;
     }},
    {19, "BTKU", "Btku", false, [](const SimulatedItem& i) { return asShown(i, "BTKU"); }},
    {20, "Btsow", "Btsow", false,
     [](const SimulatedItem& i) {
       return Expected{i.title, hashLink(i), "Btsow", spacedUnit(i.size), "-1", i.date};
     }},
    {21, "Renz", "Renz", false, [](const SimulatedItem& i) { return asShown(i, "Renz"); }},
    {22, "FeiBt", "FeiBt", false,
     [](const SimulatedItem& i) {
       return Expected{i.title, hashLink(i), "FeiBt", spacedUnit(i.size), "-1", i.date};
     }},
    {23, "章鱼搜索", "Zhangyu", false,
     [](const SimulatedItem& i) {
       return Expected{i.title, hashLink(i), "章鱼搜索", i.size, "-1", i.date};
     }},
    {24, "Sunyaa", "Sunyaa", false,
     [](const SimulatedItem& i) {
       return Expected{i.title, hashLink(i), "Sunyaa", i.size, i.heat, i.date};
     }},
    {25, "idopea", "Idopea", false,
     [](const SimulatedItem& i) {
       return Expected{without(i.title, {" "}), i.link, "idopea",
                       noBreakAsSpace(i.size),  "-1",   trimmed(i.date)};
     }},
};

// One simulator for the whole suite: 28 servers.
class SitesOnSimulator : public ::testing::TestWithParam<SiteCase> {
 protected:
  static void SetUpTestSuite() {
    simulator_ = std::make_unique<SiteSimulator>();
    hosts_ = std::make_unique<SiteHosts>();
    hosts_->read(simulator_->hostsFileText());
  }
  static void TearDownTestSuite() {
    hosts_.reset();
    simulator_.reset();
  }
  void SetUp() override {
    ASSERT_TRUE(simulator_->running());
    ASSERT_TRUE(hosts_->problems().empty());
    simulator_->setBehaviourForAll({});
    simulator_->clearRequests();
  }

  // Runs the site's adapter to its end for the keyword.
  static RecordingChannel& run(RecordingChannel& channel, int site) {
    runSiteAdapter(planSite(site, *hosts_), channel);
    return channel;
  }
  static std::vector<Expected> hitsOf(const RecordingChannel& channel) {
    std::vector<Expected> out;
    for (const core::MagnetResult& h : channel.hits()) {
      out.push_back({gbkToUtf8(h.title), gbkToUtf8(h.magnet), gbkToUtf8(h.site), gbkToUtf8(h.size),
                     gbkToUtf8(h.heat), gbkToUtf8(h.date)});
    }
    return out;
  }

  static inline std::unique_ptr<SiteSimulator> simulator_;
  static inline std::unique_ptr<SiteHosts> hosts_;
};

TEST_P(SitesOnSimulator, HandsOverEveryResultAsItsRulesCutIt) {
  const SiteCase& site = GetParam();
  RecordingChannel channel(utf8ToGbk(kKeyword), 4, 10);
  run(channel, site.index);

  // Three pages of results, then an empty fourth.
  std::vector<Expected> expected;
  for (int page = 1; page <= 3; ++page) {
    std::vector<SimulatedItem> items = simulator_->itemsOnPage(site.label, kKeyword, page);
    ASSERT_FALSE(items.empty());
    if (site.lastOfPageDropped) items.pop_back();
    for (const SimulatedItem& item : items) expected.push_back(site.expect(item));
  }
  EXPECT_EQ(hitsOf(channel), expected);
  EXPECT_EQ(channel.messages(),
            (Lines{"第 1 页", "第 2 页", "第 3 页", "第 4 页", kNoData, kFinished}));

  std::vector<SimulatedRequest> requests = simulator_->requests(site.label);
  ASSERT_EQ(requests.size(), 4u);
  for (std::size_t i = 0; i < requests.size(); ++i) {
    EXPECT_TRUE(requests[i].matched) << requests[i].target;
    EXPECT_EQ(requests[i].keyword, kKeyword);
    EXPECT_EQ(requests[i].page, static_cast<int>(i) + 1);
  }
}

TEST_P(SitesOnSimulator, ServerErrorsEndTheSiteOnItsFirstPage) {
  const SiteCase& site = GetParam();
  bool json = site.index == 7 || (site.index >= 10 && site.index <= 14) || site.index >= 24;
  const std::string failure = json ? kJsonFailed : kNoData;
  for (SiteBehaviour behaviour :
       {SiteBehaviour{.serverError = true}, SiteBehaviour{.dead = true}}) {
    simulator_->setBehaviour(site.label, behaviour);
    RecordingChannel channel(utf8ToGbk(kKeyword), 3, 10);
    run(channel, site.index);
    EXPECT_EQ(channel.messages(), (Lines{"第 1 页", failure, kFinished}));
    EXPECT_TRUE(channel.hits().empty());
  }
  if (json) {
    simulator_->setBehaviour(site.label, {.htmlInsteadOfJson = true});
    RecordingChannel html(utf8ToGbk(kKeyword), 3, 10);
    EXPECT_EQ(run(html, site.index).messages(), (Lines{"第 1 页", kJsonFailed, kFinished}));
    simulator_->setBehaviour(site.label, {.jsonWithoutList = true});
    RecordingChannel noList(utf8ToGbk(kKeyword), 3, 10);
    EXPECT_EQ(run(noList, site.index).messages(), (Lines{"第 1 页", kNoData, kFinished}));
  }
}

INSTANTIATE_TEST_SUITE_P(EverySite, SitesOnSimulator, ::testing::ValuesIn(kSites),
                         [](const ::testing::TestParamInfo<SiteCase>& info) {
                           return std::string(info.param.testName);
                         });

class SitePeculiarities : public SitesOnSimulator {};

TEST_F(SitePeculiarities, BtdadPageOfNBoxesGivesNMinusOneHits) {
  simulator_->setBehaviour("Btdad", {.pages = 1, .perPage = 7});
  RecordingChannel channel(utf8ToGbk(kKeyword), 1, 10);
  EXPECT_EQ(run(channel, 0).hits().size(), 6u);
}

TEST_F(SitePeculiarities, FeiBtPutsThePageBeforeTheKeyword) {
  RecordingChannel channel("abc", 2, 10);
  run(channel, 22);
  std::vector<SimulatedRequest> requests = simulator_->requests("FeiBt");
  ASSERT_EQ(requests.size(), 2u);
  EXPECT_EQ(requests[1].target, "/zh-cn/s/2/abc");
}

TEST_F(SitePeculiarities, TimeStampedSitesSendANewStampWithEveryPage) {
  for (const char* label : {"Ciliwang", "磁小鸭"}) {
    RecordingChannel channel("abc", 3, 10);
    run(channel, label == std::string("Ciliwang") ? 3 : 7);
    std::vector<SimulatedRequest> requests = simulator_->requests(label);
    ASSERT_EQ(requests.size(), 3u) << label;
    for (std::size_t i = 0; i < requests.size(); ++i) {
      EXPECT_EQ(requests[i].timestamp.size(), 13u);
      if (i > 0) {
        EXPECT_NE(requests[i].timestamp, requests[i - 1].timestamp);
      }
    }
  }
}

}  // namespace
}  // namespace quenbo::sites
