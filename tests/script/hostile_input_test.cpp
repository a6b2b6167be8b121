// Answers built to break the readers: huge, deeply nested, malformed. Each gives an empty or
// false result in bounded time, never a crash or a hang.
#include <gtest/gtest.h>

#include "base/encoding.h"
#include "script/regex_matcher.h"
#include "script/script_json.h"
#include "script/text_codec.h"

namespace quenbo::script {
namespace {

constexpr std::size_t kFiftyMegabytes = 50u << 20;

TEST(HostileInput, FiftyMegabyteJsonAnswer) {
  std::string answer = "{\"data\":{\"results\":[";
  const std::string item = R"({"name":"x","magnet":"magnet:?xt=urn:btih:0123456789abcdef"},)";
  while (answer.size() < kFiftyMegabytes) answer += item;
  answer.back() = ']';
  answer += "}}";
  ScriptJson json;
  ASSERT_TRUE(json.parse(answer));
  int count = json.getCount("data.results");
  EXPECT_GT(count, 500000);
  EXPECT_EQ(json.getText("data.results[" + std::to_string(count - 1) + "].name"), "x");
  answer.pop_back();  // cut short: not JSON any more
  EXPECT_FALSE(json.parse(answer));
}

TEST(HostileInput, FiftyMegabyteTextThroughTheCodec) {
  std::string text;
  while (text.size() < kFiftyMegabytes) text += "\\u7535%u5F71'{$}\\x41\\";
  Text unescaped = TextCodec::unescapeText(text);
  EXPECT_EQ(unescaped.substr(0, 16), "电影'\r\nA电影'\r\nA"_gbk);
  // Not UTF-8 at all. (Smaller: every malformed byte is one more iconv call, and under the
  // address sanitizer each call checks all the input that is left.)
  const std::size_t invalid = 1u << 20;
  Bytes converted = TextCodec::convertCharset(std::string(invalid, '\xFF'));
  EXPECT_EQ(converted, std::string(invalid, '?'));
}

TEST(HostileInput, RegexOverFiftyMegabytes) {
  RegexMatcher regex;
  std::string page(kFiftyMegabytes, 'a');
  page += "<meta charset=gbk>";
  ASSERT_TRUE(regex.execute("<meta.+?charset=[^\\w]?([-\\w]+)", page));
  EXPECT_EQ(regex.groupText(1, 1), "gbk");
  // Tens of millions of matches are more than a matcher keeps: false, not exhausted memory.
  EXPECT_FALSE(regex.execute("[a]", page));
  EXPECT_EQ(regex.matchCount(), 0);
}

TEST(HostileInput, BacktrackingIsBounded) {
  RegexMatcher regex;
  std::string subject;
  // Many stretches that each backtrack heavily before the match that follows them.
  for (int i = 0; i < 500; ++i) subject += std::string(18, 'a') + "c";
  regex.execute("(a|aa)*b|c", subject);  // true or false, but it returns
  // Over the backtracking limit: false, and nothing matched.
  EXPECT_FALSE(regex.execute("(x+x+)+y", std::string(60, 'x') + "!y"));
  EXPECT_EQ(regex.matchCount(), 0);
  EXPECT_FALSE(regex.execute("^(\\w+\\s?)*$", std::string(60, 'w') + "!"));
}

}  // namespace
}  // namespace quenbo::script
