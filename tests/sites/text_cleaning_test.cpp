#include "sites/text_cleaning.h"

#include <gtest/gtest.h>

namespace quenbo::sites {
namespace {

TEST(ReplaceChain, AppliesPairsInOrderIgnoringCase) {
  const std::initializer_list<Replacement> sizes = {{"KB", " KB"}, {"MB", " MB"}, {"G", " GB"}};
  EXPECT_EQ(replaceChain("1.5G", sizes), "1.5 GB");
  EXPECT_EQ(replaceChain("1.5GB", sizes), "1.5 GBB");
  EXPECT_EQ(replaceChain("1.5g", sizes), "1.5 GB");
  EXPECT_EQ(replaceChain("700mb", sizes), "700 MB");
  EXPECT_EQ(replaceChain("未知"_gbk, {{"未知"_gbk, "1.00MB"}, {"MB", " MB"}}), "1.00 MB");
  EXPECT_EQ(replaceChain("<b>x</B>", {{"<b>", ""}, {"</b>", ""}}), "x");
  EXPECT_EQ(replaceChain("<b>x</B>", {{"<b>", ""}, {"</b>", ""}}, 1, -1, true), "x</B>");
}

TEST(ReplaceChain, WalksCharactersAndNeverRescans) {
  // B7 47 is one GBK character whose trail byte is "G".
  EXPECT_EQ(replaceChain("\xB7\x47", {{"G", " GB"}}), "\xB7\x47");
  EXPECT_EQ(replaceChain("aa", {{"a", "aa"}}), "aaaa");
  EXPECT_EQ(replaceChain("aaa", {{"aa", "b"}}), "ba");
  EXPECT_EQ(replaceChain("a a a", {{" ", ""}}, 1, 1), "aa a");
  EXPECT_EQ(replaceChain("a a a", {{" ", ""}}, 3), "a aa");
  EXPECT_EQ(replaceChain("abc", {{"", "x"}, {"b", "y"}}), "ayc");
  EXPECT_EQ(replaceChain("", {{"a", "b"}}), "");
  EXPECT_EQ(replaceChain("x" + std::string(10, ' ') + "y", {{std::string(10, ' '), ""}}), "xy");
}

TEST(Trim, SpacesAndFullWidthBlanks) {
  const Text wide = "\xA1\xA1";  // full-width space
  struct Case {
    Text text, spaces, blanks;
  } cases[] = {
      {"  x y  ", "x y", "x y"},
      {"", "", ""},
      {"   ", "", ""},
      {wide + " x" + wide, wide + " x" + wide, "x"},
      {" \t", "\t", "\t"},
      // B0 A1 is a character whose trail byte is A1: only whole characters are blanks.
      {"\xB0\xA1" + wide, "\xB0\xA1" + wide, "\xB0\xA1"},
      {wide + "\xA1", wide + "\xA1", "\xA1"},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(trimSpaces(c.text), c.spaces) << c.text;
    EXPECT_EQ(net::trimBlanks(c.text), c.blanks) << c.text;
  }
}

TEST(DigitsOnly, KeepsAsciiDigits) {
  EXPECT_EQ(digitsOnly("1.5 GB"), "15");
  EXPECT_EQ(digitsOnly("无资源"_gbk), "");
  EXPECT_EQ(digitsOnly("２０１９年12月"_gbk), "12");  // full-width digits are not digits
  EXPECT_EQ(digitsOnly(""), "");
}

TEST(Encoding, AdaptersConvertAnswers) {
  EXPECT_EQ(utf8ToGbk("磁力"), "磁力"_gbk);
  EXPECT_EQ(gbkToUtf8("磁力"_gbk), "磁力");
}

}  // namespace
}  // namespace quenbo::sites
