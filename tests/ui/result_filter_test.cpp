#include "core/result_filter.h"
#include "ui/search_controls.h"

#include <gtest/gtest.h>

#include "base/encoding.h"
#include "core/size_text.h"
#include "core/word_list.h"
#include "forms/main_window_names.h"
#include "window/window_model.h"
#include "forms/window_templates.h"

namespace quenbo::core {
namespace {

using namespace forms::names;

TEST(SplitWords, SeparatorRules) {
  struct Case { Text list; std::vector<Text> words; };
  const Case cases[] = {
      {"", {}},
      {"a", {"a"}},
      {"a、b"_gbk, {"a", "b"}},
      {"、a"_gbk, {"", "a"}},         // a leading separator gives an empty first word
      {"a、、b"_gbk, {"a", "", "b"}},  // two in a row give an empty word between them
      {"a、"_gbk, {"a"}},             // but a trailing one no empty last word
      {"、"_gbk, {""}},
      {" a 、b "_gbk, {" a ", "b "}},  // words are not trimmed
      {"高清、中字"_gbk, {"高清"_gbk, "中字"_gbk}},
      // B0 A1 A2 B0: the characters B0 A1 and A2 B0, with A1 A2 across their boundary.
      {"\xB0\xA1\xA2\xB0", {"\xB0\xA1\xA2\xB0"}},
      // Full-width and ASCII commas separate as "、" does.
      {"a，b,c"_gbk, {"a", "b", "c"}},
      {"a,,b", {"a", "", "b"}},
      // "，" is A3 AC: its bytes inside other characters are no separator.
      {"\xA3\xA3\xAC", {"\xA3\xA3\xAC"}},
      // One word per line, with any line end; blank lines and separators at a line's end
      // make no empty words.
      {"a\r\nb\nc\rd", {"a", "b", "c", "d"}},
      {"a\r\n\r\nb\r\n", {"a", "b"}},
      {"a、\r\nb、\r\n"_gbk, {"a", "b"}},
      {"\r\na", {"a"}},
      {"a\r\n、b"_gbk, {"a", "b"}},
  };
  for (const auto& c : cases) {
    auto words = splitWords(c.list);
    EXPECT_EQ(std::vector<Text>(words.begin(), words.end()), c.words) << gbkToUtf8(c.list);
    // Stored joined with "、" on one line, a list splits into the same words again.
    Text stored = joinWords(c.list);
    EXPECT_EQ(stored.find_first_of("\r\n"), Text::npos);
    auto again = splitWords(stored);
    EXPECT_EQ(std::vector<Text>(again.begin(), again.end()), c.words) << gbkToUtf8(c.list);
  }
  EXPECT_EQ(joinWords("高清\r\n中字,国语"_gbk), "高清、中字、国语"_gbk);
}

TEST(SizeThreshold, GigabytesPlusMegabytes) {
  EXPECT_EQ(sizeThreshold("1", "512"), 1.5f * 1024 * 1024 * 1024);
  EXPECT_EQ(sizeThreshold("0", "0"), 0.0f);
  EXPECT_EQ(sizeThreshold("", "x"), 0.0f);
  EXPECT_EQ(sizeThreshold("0", "700"), 700.0f * 1024 * 1024);
  EXPECT_EQ(sizeThreshold("-1", "0"), -1.0f * 1024 * 1024 * 1024);
  EXPECT_EQ(sizeThreshold("1e300", "0"), std::numeric_limits<float>::infinity());
}

// The filter on its own, judging against a copy of the window's controls taken just before.
class ResultFilterTest : public ::testing::Test {
 protected:
  window::WindowModel w{forms::mainWindowTemplate()};
  ResultFilter filter;
  Text keyword = "ABC";
  ListedMagnets listed;
  std::int32_t filtered = 0;
  std::int32_t duplicates = 0;

  FilterVerdict judge(const Text& title, const Text& size = "1 GB",
                      const Text& magnet = "magnet:?xt=urn:btih:new") {
    FilterSettings settings = ui::readFilterSettings(w);
    settings.keyword = keyword;
    filter.use(settings);
    FilterContext context{listed, filtered, duplicates};
    return filter.judge({title, magnet, "Btdad", size, "1", "d"}, sizeToBytes(size), context);
  }
};

struct Settings {
  bool exact = false, filterWords = false, showWords = false, removeDuplicates = false;
  Text filterList{}, showList{}, gb = "0", mb = "0";
};

TEST_F(ResultFilterTest, EachTestAndItsCounter) {
  using V = FilterVerdict;
  struct Case {
    const char* what;
    Settings settings;
    Text title, size;
    FilterVerdict verdict;
  };
  const Case cases[] = {
      {"exact: folded ASCII", {.exact = true}, "xx abc yy", "1 GB", V::Listed},
      {"exact: full-width letters differ", {.exact = true}, "ＡＢＣ"_gbk, "1 GB", V::Filtered},
      {"exact: off", {}, "nothing", "1 GB", V::Listed},
      {"exact: empty title", {.exact = true}, "", "1 GB", V::Filtered},
      {"filter: second word, folded", {.filterWords = true, .filterList = "高清、1080P"_gbk},
       "film 1080p", "1 GB", V::Filtered},
      {"filter: no word", {.filterWords = true, .filterList = "高清、1080P"_gbk}, "film 720p", "1 GB",
       V::Listed},
      {"filter: list kept while unticked", {.filterList = "film"}, "film", "1 GB", V::Listed},
      {"filter: empty word rejects any title", {.filterWords = true, .filterList = "、"_gbk}, "x",
       "1 GB", V::Filtered},
      {"filter: empty word spares an empty title", {.filterWords = true, .filterList = "、"_gbk}, "",
       "1 GB", V::Listed},
      {"filter: empty list", {.filterWords = true}, "x", "1 GB", V::Listed},
      {"show: both words", {.showWords = true, .showList = "中字、1080P"_gbk}, "中字 1080p"_gbk,
       "1 GB", V::Listed},
      {"show: one word missing", {.showWords = true, .showList = "中字、1080P"_gbk}, "中字"_gbk,
       "1 GB", V::Filtered},
      {"show: empty word rejects nothing", {.showWords = true, .showList = "、"_gbk}, "x", "1 GB",
       V::Listed},
      {"show: empty list", {.showWords = true}, "x", "1 GB", V::Listed},
      {"size: 1.5 GB at 1 GB + 512 MB", {.gb = "1", .mb = "512"}, "x", "1.5 GB", V::Listed},
      {"size: 1535 MB below it", {.gb = "1", .mb = "512"}, "x", "1535 MB", V::Filtered},
      {"size: equal passes", {.gb = "1", .mb = "512"}, "x", "1536 MB", V::Listed},
      {"size: TB is no unit", {.gb = "1"}, "x", "2.1 TB", V::Filtered},
      {"size: zero threshold passes no unit", {}, "x", "2.1 TB", V::Listed},
      {"size: lower-case unit is 0 bytes", {.mb = "1"}, "x", "900 gb", V::Filtered},
      {"size: negative threshold passes all", {.gb = "-1"}, "x", "", V::Listed},
      {"size: not a number is 0", {.gb = "abc"}, "x", "", V::Listed},
  };
  for (const auto& c : cases) {
    const Settings& s = c.settings;
    w.setChecked(选择框_精准搜索, s.exact);
    w.setChecked(选择框_过滤字词, s.filterWords);
    w.setChecked(选择框_显示字词, s.showWords);
    w.setText(编辑框_关键字词A, s.filterList);
    w.setText(编辑框_关键字词B, s.showList);
    w.setText(编辑框_GB, s.gb);
    w.setText(编辑框_MB, s.mb);
    std::int32_t filteredBefore = filtered;
    EXPECT_EQ(judge(c.title, c.size), c.verdict) << c.what;
    EXPECT_EQ(filtered - filteredBefore, c.verdict == V::Filtered ? 1 : 0) << c.what;
  }
  EXPECT_EQ(duplicates, 0);
}

TEST_F(ResultFilterTest, TheFirstRejectingTestDecidesAndCountsOnce) {
  listed.add("magnet:?xt=urn:btih:new");
  w.setChecked(选择框_删除重复, true);
  w.setText(编辑框_GB, "9");
  // A duplicate that is also too small is a duplicate: that test comes first.
  EXPECT_EQ(judge("title"), FilterVerdict::Duplicate);
  EXPECT_EQ(duplicates, 1);
  EXPECT_EQ(filtered, 0);
  // A duplicate whose title holds a filter word (twice over) is filtered, once.
  w.setChecked(选择框_过滤字词, true);
  w.setText(编辑框_关键字词A, "bad、BAD"_gbk);
  EXPECT_EQ(judge("bad title"), FilterVerdict::Filtered);
  EXPECT_EQ(filtered, 1);
  EXPECT_EQ(duplicates, 1);
  // The keyword test comes before all.
  w.setChecked(选择框_精准搜索, true);
  EXPECT_EQ(judge("bad title"), FilterVerdict::Filtered);
  EXPECT_EQ(filtered, 2);
  // Unticking remove-duplicates lets the copy through to the size test.
  w.setChecked(选择框_精准搜索, false);
  w.setChecked(选择框_过滤字词, false);
  w.setChecked(选择框_删除重复, false);
  EXPECT_EQ(judge("title", "10 GB"), FilterVerdict::Listed);
  EXPECT_EQ(duplicates, 1);
}

TEST_F(ResultFilterTest, TheKeywordIsTheWholeSearchText) {
  w.setChecked(选择框_精准搜索, true);
  keyword = "big film";
  EXPECT_EQ(judge("film big"), FilterVerdict::Filtered);
  EXPECT_EQ(judge("a Big Film!"), FilterVerdict::Listed);
  // The search text, not the box: editing the box after the search changes nothing.
  w.setText(编辑框_搜索, "other");
  EXPECT_EQ(judge("a big film"), FilterVerdict::Listed);
}

TEST_F(ResultFilterTest, DuplicatesAreFoundAnywhereInTheListedLinks) {
  w.setChecked(选择框_删除重复, true);
  listed.add("magnet:?xt=urn:btih:abcdef");
  EXPECT_EQ(judge("t", "1 GB", "MAGNET:?XT=URN:BTIH:ABCDEF"), FilterVerdict::Duplicate);
  // A prefix of a listed link is a duplicate; a longer link is not.
  EXPECT_EQ(judge("t", "1 GB", "magnet:?xt=urn:btih:abc"), FilterVerdict::Duplicate);
  EXPECT_EQ(judge("t", "1 GB", "magnet:?xt=urn:btih:abcdefg"), FilterVerdict::Listed);
  EXPECT_EQ(duplicates, 2);
}

}  // namespace
}  // namespace quenbo::core
