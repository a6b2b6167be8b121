#include "script/regex_matcher.h"

#include <gtest/gtest.h>

#include <chrono>

#include "base/encoding.h"

namespace quenbo::script {
namespace {

Text allMatches(const RegexMatcher& regex) {
  Text joined;
  for (int i = 1; i <= regex.matchCount(); ++i) joined += regex.matchText(i);
  return joined;
}

TEST(RegexMatcher, DigitsOnlyCollectsEveryDigit) {
  RegexMatcher regex;
  ASSERT_TRUE(regex.execute("[0-9]", "1.5 GB"));
  EXPECT_EQ(allMatches(regex), "15");
  ASSERT_TRUE(regex.execute("[0-9]", "无数字"_gbk));
  EXPECT_EQ(regex.matchCount(), 0);
  EXPECT_EQ(allMatches(regex), "");
}

TEST(RegexMatcher, FindsTheDeclaredCharset) {
  const char* pattern = "<meta.+?charset=[^\\w]?([-\\w]+)";
  RegexMatcher regex;
  ASSERT_TRUE(regex.execute(pattern,
                            "<html><head><META http-equiv=\"Content-Type\" "
                            "content=\"text/html; charset=gb2312\" />"));
  EXPECT_EQ(regex.groupText(1, 1), "gb2312");
  ASSERT_TRUE(regex.execute(pattern, "<meta charset=\"utf-8\">"));
  EXPECT_EQ(regex.groupText(1, 1), "utf-8");
  // "." stops at a line break, so a tag split over two lines is not taken.
  ASSERT_TRUE(regex.execute(pattern, "<meta name=x\n charset=gbk>"));
  EXPECT_EQ(regex.matchCount(), 0);
  EXPECT_EQ(regex.groupText(1, 1), "");
}

TEST(RegexMatcher, InvalidPatternGivesNothing) {
  RegexMatcher regex;
  ASSERT_TRUE(regex.execute("a", "aaa"));
  EXPECT_FALSE(regex.execute("([0-9", "123"));
  EXPECT_EQ(regex.matchCount(), 0);
  EXPECT_EQ(regex.matchText(1), "");
  EXPECT_EQ(regex.groupCount(), 0);
  EXPECT_EQ(regex.replace("x"), "");
  EXPECT_EQ(regex.getPattern(), "([0-9");
}

TEST(RegexMatcher, FlagsAndTheirDefaults) {
  RegexMatcher regex;
  ASSERT_TRUE(regex.execute("ab", "AB ab Ab"));
  EXPECT_EQ(regex.matchCount(), 3);  // case-insensitive and global by default
  ASSERT_TRUE(regex.execute("ab", "AB ab Ab", true));
  EXPECT_EQ(regex.matchCount(), 1);
  ASSERT_TRUE(regex.execute("ab", "AB ab Ab", false, true, false));
  EXPECT_EQ(regex.matchCount(), 1);
  EXPECT_EQ(regex.matchText(1), "AB");
  ASSERT_TRUE(regex.execute("^x", "x\r\nx\nx"));
  EXPECT_EQ(regex.matchCount(), 3);  // multiline by default
  ASSERT_TRUE(regex.execute("^x", "x\r\nx\nx", false, false));
  EXPECT_EQ(regex.matchCount(), 1);
  ASSERT_TRUE(regex.execute("a.b", "a\rb a\nb a-b"));
  EXPECT_EQ(allMatches(regex), "a-b");
}

TEST(RegexMatcher, QuotePlaceholder) {
  RegexMatcher regex;
  Text pattern = "href=#引号([^#引号]+)#引号"_gbk;
  ASSERT_TRUE(regex.execute(pattern, "<a href=\"/x\">", false, true, true, true));
  EXPECT_EQ(regex.groupText(1, 1), "/x");
  EXPECT_EQ(regex.getPattern(), "href=\"([^\"]+)\"");
  ASSERT_TRUE(regex.execute(pattern, "<a href=\"/x\">"));
  EXPECT_EQ(regex.matchCount(), 0);
}

TEST(RegexMatcher, WorksOnGbkCharactersNotBytes) {
  RegexMatcher regex;
  // B7 41 is one character whose trail byte is "A": no match may start inside it.
  ASSERT_TRUE(regex.execute("A",
                            "\xB7\x41"
                            "A",
                            true));
  EXPECT_EQ(regex.matchCount(), 1);
  int position = 0;
  EXPECT_EQ(regex.matchText(1, &position), "A");
  EXPECT_EQ(position, 2);
  ASSERT_TRUE(regex.execute("电(.)"_gbk, "磁力电影电视"_gbk));
  ASSERT_EQ(regex.matchCount(), 2);
  EXPECT_EQ(regex.groupText(2, 1, &position), "视"_gbk);
  EXPECT_EQ(position, 10);
  EXPECT_EQ(regex.matchText(3, &position), "");
  EXPECT_EQ(position, -1);
}

TEST(RegexMatcher, MatchAndGroupNumbersAreOneBased) {
  RegexMatcher regex;
  ASSERT_TRUE(regex.execute("(a)(x)?(b)", "ab ab"));
  EXPECT_EQ(regex.matchCount(), 2);
  EXPECT_EQ(regex.groupCount(), 3);
  EXPECT_EQ(regex.groupText(1, 1), "a");
  EXPECT_EQ(regex.groupText(1, 2), "");  // took no part
  EXPECT_EQ(regex.groupText(2, 3), "b");
  EXPECT_EQ(regex.groupText(1, 0), "");
  EXPECT_EQ(regex.groupText(1, 4), "");
  EXPECT_EQ(regex.matchText(0), "");
  ASSERT_TRUE(regex.execute("(a)", "xyz"));
  EXPECT_EQ(regex.groupCount(), 0);
}

TEST(RegexMatcher, EmptyMatchesStepForward) {
  RegexMatcher regex;
  ASSERT_TRUE(regex.execute("x*", "ax\r\nb"));
  // Before a, "x", before CR LF (one line break), before b, at the end.
  EXPECT_EQ(regex.matchCount(), 5);
  EXPECT_EQ(regex.matchText(2), "x");
}

TEST(RegexMatcher, SecondExecuteDiscardsTheFirst) {
  RegexMatcher regex;
  ASSERT_TRUE(regex.execute("[a-z]", "abc"));
  ASSERT_TRUE(regex.execute("[0-9]", "x9"));
  EXPECT_EQ(regex.matchCount(), 1);
  EXPECT_EQ(regex.matchText(1), "9");
}

TEST(RegexMatcher, ReplaceExpandsReferences) {
  RegexMatcher regex;
  ASSERT_TRUE(regex.execute("(\\d+)-(\\d+)", "1-2 和 30-40"_gbk));
  EXPECT_EQ(regex.replace("$2-$1"), "2-1 和 40-30"_gbk);
  EXPECT_EQ(regex.replace("[$&]$$$3$"), "[1-2]$$3$ 和 [30-40]$$3$"_gbk);
  EXPECT_EQ(regex.replace("$`|"), "| 和 1-2 和 |"_gbk);
  EXPECT_EQ(regex.replace("$12"), "12 和 302"_gbk);  // no group 12: group 1, then "2"
  ASSERT_TRUE(regex.execute("b", "abcb", false, true, false));
  EXPECT_EQ(regex.replace("[$']"), "a[cb]cb");
}

TEST(RegexMatcher, CatastrophicBacktrackingFailsQuickly) {
  RegexMatcher regex;
  Text subject(40, 'a');
  subject += '!';
  auto started = std::chrono::steady_clock::now();
  EXPECT_FALSE(regex.execute("(a+)+$", subject));
  EXPECT_EQ(regex.matchCount(), 0);
  EXPECT_LT(std::chrono::steady_clock::now() - started, std::chrono::seconds(5));
  // The pattern that gave up still runs on the next subject.
  ASSERT_TRUE(regex.execute("(a+)+$", "xaa"));
  EXPECT_EQ(regex.matchText(1), "aa");
}

// A thread keeps the patterns it runs; more of them than it keeps still all run right.
TEST(RegexMatcher, ManyPatternsOnOneThread) {
  RegexMatcher regex;
  for (int round = 0; round < 2; ++round) {
    for (int n = 0; n < 150; ++n) {
      std::string pattern = "x" + std::to_string(n) + "(y+)";
      ASSERT_TRUE(regex.execute(pattern, "x" + std::to_string(n) + "yy x1y")) << pattern;
      EXPECT_EQ(regex.groupText(1, 1), "yy") << pattern;
    }
  }
}

}  // namespace
}  // namespace quenbo::script
