// The JSON sites answer with the results the simulator promises: UTF-8 result lists on the
// two shared APIs, ASCII answers with \u escapes from Ciliwang and 磁小鸭.
#include <gtest/gtest.h>

#include <nlohmann/json.hpp>

#include "base/encoding.h"
#include "base/text_search.h"
#include "tools/simulator_fetch.h"

namespace quenbo {
namespace {

using nlohmann::json;
using simulator::SimulatedItem;
using simulator::SiteBehaviour;
using simulator::SiteSimulator;
using testing::between;
using testing::fetchPage;
using testing::kEncodedKeyword;

constexpr std::string_view kKeyword = "电影 abc";

bool allAscii(std::string_view bytes) {
  for (char c : bytes) {
    if (static_cast<unsigned char>(c) >= 0x80) return false;
  }
  return true;
}

// \uXXXX escapes (surrogate pairs included) to UTF-8, each read as a JSON string literal;
// other text unchanged, as the program's unescape step does for these answers.
std::string decodeUnicodeEscapes(std::string_view text) {
  std::string out;
  for (std::size_t i = 0; i < text.size();) {
    if (text.compare(i, 2, "\\u") != 0 || i + 6 > text.size()) {
      out += text[i++];
      continue;
    }
    unsigned long unit = std::stoul(std::string(text.substr(i + 2, 4)), nullptr, 16);
    std::size_t length = unit >= 0xD800 && unit < 0xDC00 ? 12 : 6;
    out += json::parse("\"" + std::string(text.substr(i, length)) + "\"").get<std::string>();
    i += length;
  }
  return out;
}

class SimulatedJsonAnswers : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    SiteBehaviour behaviour;
    behaviour.pages = 2;
    behaviour.perPage = 5;
    sites_ = new SiteSimulator(simulator::SimulatorOptions{behaviour, false});
  }
  static void TearDownTestSuite() {
    delete sites_;
    sites_ = nullptr;
  }
  static json fetchJson(std::string_view label, int page) {
    testing::Fetched fetched = testing::fetchPage(*sites_, label, kEncodedKeyword, page);
    EXPECT_EQ(fetched.response.statusText, "200 OK");
    return json::parse(fetched.response.body, nullptr, false);
  }
  static SiteSimulator* sites_;
};
SiteSimulator* SimulatedJsonAnswers::sites_ = nullptr;

TEST_F(SimulatedJsonAnswers, ResultListSitesListThePromisedItemsThenAnEmptyList) {
  for (std::string label : {"种子搜", "BT蚂蚁", "Torrentz", "磁力果", "Kickass", "Sunyaa", "idopea"}) {
    SCOPED_TRACE(label);
    json answer = fetchJson(label, 2);
    ASSERT_FALSE(answer.is_discarded());
    const json& results = answer["data"]["results"];
    std::vector<SimulatedItem> items = sites_->itemsOnPage(label, kKeyword, 2);
    ASSERT_EQ(results.size(), items.size());
    ASSERT_EQ(items.size(), 5u);
    for (std::size_t k = 0; k < items.size(); ++k) {
      const json& result = results[k];
      EXPECT_EQ(result["name"], items[k].title);
      EXPECT_EQ(result["magnet"], items[k].link);
      EXPECT_EQ(result["formatSize"], items[k].size);
      EXPECT_EQ(result.contains("hot") ? result["hot"].dump() : "", items[k].heat);
      EXPECT_EQ(result.contains("date") ? result["date"].get<std::string>() : "", items[k].date);
    }
    json after = fetchJson(label, 3);
    EXPECT_TRUE(after["data"]["results"].is_array());
    EXPECT_TRUE(after["data"]["results"].empty());
  }
}

TEST_F(SimulatedJsonAnswers, DataListSiteAnswersInAsciiWithEscapes) {
  testing::Fetched fetched = testing::fetchPage(*sites_, "磁小鸭", kEncodedKeyword, 1);
  EXPECT_TRUE(allAscii(fetched.response.body));
  EXPECT_NE(fetched.response.body.find("\\u7535\\u5f71"), std::string::npos);  // 电影
  json answer = json::parse(fetched.response.body);
  std::vector<SimulatedItem> items = sites_->itemsOnPage("磁小鸭", kKeyword, 1);
  ASSERT_EQ(answer["data"]["data"].size(), items.size());
  for (std::size_t k = 0; k < items.size(); ++k) {
    const json& entry = answer["data"]["data"][k];
    EXPECT_EQ(entry["name"], items[k].title);
    EXPECT_EQ(entry["uri"], items[k].link);
    EXPECT_EQ(entry["file_size"], items[k].size);
    EXPECT_EQ(entry["hot"].dump(), items[k].heat);
    EXPECT_EQ(entry["time"], items[k].date);
  }
  EXPECT_TRUE(fetchJson("磁小鸭", 3)["data"]["data"].empty());
}

// Ciliwang's answer is cut as text: from each `name":"` to the next "highlight", with "name"
// put back in front.
TEST_F(SimulatedJsonAnswers, CiliwangAnswerCutsIntoThePromisedItems) {
  testing::Fetched fetched = testing::fetchPage(*sites_, "Ciliwang", kEncodedKeyword, 1);
  EXPECT_TRUE(allAscii(fetched.response.body));
  Text text = utf8ToGbk(decodeUnicodeEscapes(fetched.response.body));
  std::vector<Text> blocks;
  for (int d = 1;;) {
    int l = findText(text, "name\":\"", d);
    if (l < 0) break;
    d = l + 7;
    int r = findText(text, "highlight", d);
    if (r < 0) break;
    blocks.push_back("name" + text.substr(d - 1, r - d));
  }
  std::vector<SimulatedItem> items = sites_->itemsOnPage("Ciliwang", kKeyword, 1);
  ASSERT_EQ(blocks.size(), items.size());
  for (std::size_t k = 0; k < items.size(); ++k) {
    const Text& block = blocks[k];
    EXPECT_EQ(between(block, "name", "\",", true), utf8ToGbk(items[k].title));
    EXPECT_EQ("magnet:?xt=urn:btih:" + between(block, "magnet:?xt=urn:btih:", "\","), items[k].link);
    EXPECT_EQ(between(block, "file_size\":\"", "\","), utf8ToGbk(items[k].size));
    EXPECT_EQ(between(block, "hot\":", ",\""), items[k].heat);
    EXPECT_EQ(between(block, "time\":\"", "\","), items[k].date);
  }
  testing::Fetched after = testing::fetchPage(*sites_, "Ciliwang", kEncodedKeyword, 3);
  EXPECT_EQ(after.response.body.find("name\":\""), std::string::npos);
}

}  // namespace
}  // namespace quenbo
