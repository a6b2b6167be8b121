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

// Between UTF-8 and GBK, ASCII runs are copied and the rest converted a run at a time. The
// names "MS936" and "ISO-10646/UTF8/" reach the same converters the careful way, so both ways
// must give the same bytes, broken input included.
TEST(Encoding, AsciiRunsConvertAsTheWholeTextWould) {
  const Text gbk = utf8ToGbk("丂乗 a 丟电影");  // 0x81 0x40, 0x81 0x5C: second bytes below 0x80
  ASSERT_EQ(gbk.substr(0, 4), "\x81\x40\x81\x5C");
  std::string longMixed;
  for (int i = 0; i < 3000; ++i) longMixed += "<a>磁力</a>";
  const std::string cases[] = {
      "",  "plain ascii", "电影 2019 <b>1080p</b>", longMixed,
      "a\xFF" "b",  "a\xE4\xB8",  "\xE4\xB8" "a\xE4\xB8\xAD", "x\xC2\xA0y",
      "a😀b", "\x80", "end\xE7",
  };
  auto both = [](std::string_view input, const char* fast, const char* careful,
                 const char* to, const char* carefulTo) {
    std::string quick, slow;
    EXPECT_TRUE(convertWithIconv(input, fast, to, quick));
    EXPECT_TRUE(convertWithIconv(input, careful, carefulTo, slow));
    EXPECT_EQ(quick, slow) << input.substr(0, 40);
  };
  for (const std::string& utf8 : cases) {
    both(utf8, "UTF-8", "UTF-8", "GBK", "MS936");
    both(utf8, "GBK", "MS936", "UTF-8", "UTF-8");  // a UTF-8 page first read as GBK
    const Text asGbk = utf8ToGbk(utf8);
    both(asGbk, "GBK", "MS936", "UTF-8", "UTF-8");
    both(asGbk + "\xB5", "GBK", "MS936", "UTF-8", "UTF-8");       // lead byte at the end
    both("a\xB5\x20" + asGbk, "GBK", "MS936", "UTF-8", "UTF-8");  // lead byte, then a space
    both(gbk + asGbk, "GB18030", "GB18030", "UTF-8", "ISO-10646/UTF8/");
  }
  EXPECT_EQ(gbkToUtf8(gbk), "丂乗 a 丟电影");
}

TEST(Encoding, OutsideGbkNamesEachCharacterGbkCannotHoldOnce) {
  struct Case {
    const char* utf8;
    const char* outside;
  } cases[] = {
      {"电影 2019 版·", ""},
      {"김치 김", "김치"},
      {"电影🎬", "🎬"},
      {"a\xE4\xB8", "\xEF\xBF\xBD"},  // cut short: no UTF-8
      {"\xFF\xFE", "\xEF\xBF\xBD"},
      {"", ""},
  };
  for (const Case& c : cases) EXPECT_EQ(outsideGbk(c.utf8), c.outside) << c.utf8;
  // What outsideGbk lets through converts without a single default character.
  EXPECT_EQ(gbkToUtf8(utf8ToGbk("电影 2019 版·")), "电影 2019 版·");
}

TEST(Encoding, UnknownCharsetIsRefused) {
  std::string out = "x";
  EXPECT_FALSE(convertWithIconv("abc", "NO-SUCH-CHARSET", "UTF-8", out));
  EXPECT_TRUE(out.empty());
}

}  // namespace
}  // namespace quenbo
