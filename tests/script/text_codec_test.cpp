#include "script/text_codec.h"

#include <gtest/gtest.h>

#include "base/encoding.h"
#include "support/fixtures.h"

namespace quenbo::script {
namespace {

TEST(ConvertCharset, DefaultsReadUtf8AndWriteGbk) {
  EXPECT_EQ(TextCodec::convertCharset("电影 2019"), "电影 2019"_gbk);
  EXPECT_EQ(TextCodec::convertCharset(""), "");
  EXPECT_EQ(TextCodec::convertCharset("\xEF\xBB\xBF"
                                      "磁力"),
            "磁力"_gbk);  // mark dropped
  EXPECT_EQ(TextCodec::convertCharset("a\xFF"
                                      "b"),
            "a?b");  // malformed
}

TEST(ConvertCharset, NamedCharsets) {
  Text gbk = "简体中文"_gbk;
  EXPECT_EQ(TextCodec::convertCharset(gbk, "gb2312", "UTF-8"), "简体中文");
  EXPECT_EQ(TextCodec::convertCharset(gbk, "GBK", "utf-8"), "简体中文");
  Bytes big5 = TextCodec::convertCharset("繁體", "", "BIG5");
  EXPECT_EQ(big5.size(), 4u);
  EXPECT_EQ(TextCodec::convertCharset(big5, "big5", "UTF-8"), "繁體");
  EXPECT_EQ(TextCodec::convertCharset(std::string("\xFF\xFE"
                                                  "A\0B\0",
                                                  6),
                                      "unicode", "UTF-8"),
            "AB");
  EXPECT_EQ(TextCodec::convertCharset("AB", "UTF-8", "unicode"), std::string("A\0B\0", 4));
  EXPECT_EQ(TextCodec::convertCharset("abc", "no-such-charset", ""), "");
  EXPECT_EQ(TextCodec::convertCharset("abc", "", "no-such-charset"), "");
}

TEST(ConvertCharset, SkipDropsLeadingBytes) {
  EXPECT_EQ(TextCodec::convertCharset("abcd", "", "", 2), "cd");
  EXPECT_EQ(TextCodec::convertCharset("abcd", "", "", 4), "");
  EXPECT_EQ(TextCodec::convertCharset("abcd", "", "", 9), "");
}

TEST(UnescapeText, DecodesEscapes) {
  struct Case {
    const char* input;  // UTF-8, converted to GBK
    std::string expected;
  } cases[] = {
      {"\\u7535\\u5F71", "电影"},
      {"%u7535%u5f71", "电影"},
      {"%41%7a%zz%u12", "Az%zz%u12"},
      {"it's", "it's"},
      {"it\\'s", "it's"},
      {"’", "'"},
      {"a{$}b", "a\r\nb"},
      {"a\r\nb", "a\r\nb"},
      {"\rabc", "abc"},
      {"a\\nb\\tc\\\\d\\\"e", "a\nb\tc\\d\"e"},
      {"\\x41\\101\\62\\q\\x4", "AA2qx4"},
      {"a\\0b", "ab"},               // texts hold no zero bytes
      {"abc\\", "abc\\"},            // a trailing backslash stays
      {"line\nnext", "line\nnext"},  // a bare line feed stays
      {"a\rb", "a\rb"},
      {"a\\\nb", "ab"},    // backslash before a line break joins the lines
      {"\\uD800x", "?x"},  // lone surrogates
      {"x\\uDC00", "x?"},
      {"\\uD83D\\uDE00", "?"},  // a pair without a GBK form is one character
      {"", ""},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(TextCodec::unescapeText(utf8ToGbk(c.input)), utf8ToGbk(c.expected)) << c.input;
  }
}

TEST(UnescapeText, BackslashTrailByteIsNotAnEscape) {
  // 95 5C is one GBK character whose trail byte is a backslash.
  Text text =
      "\x95\x5C"
      "n\x95\x5C"
      "u0041";
  EXPECT_EQ(TextCodec::unescapeText(text), text);
}

TEST(Md5, FollowsTheDigest) {
  EXPECT_EQ(TextCodec::md5Hex(""), "d41d8cd98f00b204e9800998ecf8427e");
  EXPECT_EQ(TextCodec::md5Hex("abc"), "900150983cd24fb0d6963f7d28e17f72");
  EXPECT_EQ(TextCodec::md5Hex("message digest", true), "F96B697D7CB7938D525A2F31AAF161D0");
  EXPECT_EQ(TextCodec::md5Hex("abc", false, true), "3cd24fb0d6963f7d");
  EXPECT_EQ(TextCodec::md5Hex(std::string("a\0b", 3)), TextCodec::md5Hex(std::string("a\0b", 3)));
  EXPECT_NE(TextCodec::md5Hex(std::string("a\0b", 3)), TextCodec::md5Hex("a"));
}

class FileMd5 : public testing::SandboxTest {};

TEST_F(FileMd5, MissingAndEmptyFilesAgree) {
  std::string empty = sandbox_.file("empty");
  testing::writeWholeFile(empty, "");
  EXPECT_EQ(TextCodec::fileMd5(empty), "d41d8cd98f00b204e9800998ecf8427e");
  EXPECT_EQ(TextCodec::fileMd5(sandbox_.file("missing")), TextCodec::fileMd5(empty));
  EXPECT_EQ(TextCodec::fileMd5(sandbox_.path().string()), TextCodec::fileMd5(empty));
}

TEST_F(FileMd5, ReadsTheWholeFileUnderAPathGbkCannotHold) {
  std::string content(200000, 'x');
  content += "end";
  std::filesystem::path file = sandbox_.path() / "søren 한글 更新.bin";
  testing::writeWholeFile(file.string(), content);
  EXPECT_EQ(TextCodec::fileMd5(file), TextCodec::md5Hex(content));
}

}  // namespace
}  // namespace quenbo::script
