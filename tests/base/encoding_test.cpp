#include "base/encoding.h"

#include <gtest/gtest.h>

namespace quenbo {
namespace {

TEST(Encoding, GbkRoundTrip) {
  Text gbk = "电影 2019"_gbk;
  EXPECT_EQ(gbk, "\xB5\xE7\xD3\xB0 2019");
  EXPECT_EQ(gbkToUtf8(gbk), "电影 2019");
}

TEST(Encoding, UnrepresentableCharactersBecomeTheDefaultCharacter) {
  EXPECT_EQ(utf8ToGbk("a😀b"), "a?b");
  EXPECT_EQ(utf8ToGbk("a\xFF"
                      "b"),
            "a?b");                         // malformed UTF-8
  EXPECT_EQ(utf8ToGbk("a\xE4\xB8"), "a?");  // cut short
  EXPECT_EQ(gbkToUtf8("a\xB5"), "a?");      // lead byte without its trail byte
}

TEST(Encoding, OneDefaultCharacterPerCharacterWhateverTheCharsetIsCalled) {
  // A no-break space has no GBK form; pages name UTF-8 in lower case.
  for (const char* name : {"UTF-8", "utf-8", "Utf8"}) {
    std::string out;
    ASSERT_TRUE(convertWithIconv("1\xC2\xA0GB", name, "GBK", out)) << name;
    EXPECT_EQ(out, "1?GB") << name;
  }
}

TEST(Encoding, LongTextsConvertWhole) {
  std::string utf8;
  for (int i = 0; i < 100000; ++i) utf8 += "磁力";
  Text gbk = utf8ToGbk(utf8);
  EXPECT_EQ(gbk.size(), 400000u);
  EXPECT_EQ(gbkToUtf8(gbk), utf8);
  // Odd offsets: characters straddle every point where the input may be split.
  EXPECT_EQ(gbkToUtf8("a" + gbk), "a" + utf8);
  EXPECT_EQ(utf8ToGbk("ab" + utf8 + "\xE4\xB8"), "ab" + gbk + "?");
}

TEST(Encoding, UnknownCharsetIsRefused) {
  std::string out = "x";
  EXPECT_FALSE(convertWithIconv("abc", "NO-SUCH-CHARSET", "UTF-8", out));
  EXPECT_TRUE(out.empty());
}

}  // namespace
}  // namespace quenbo
