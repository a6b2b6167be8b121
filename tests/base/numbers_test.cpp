#include "base/numbers.h"

#include <gtest/gtest.h>

#include "base/encoding.h"

namespace quenbo {
namespace {

TEST(Numbers, IntegerPrefixRules) {
  struct Case { Text text; std::int32_t value; };
  const Case cases[] = {
      {"", 0},        {"abc", 0},         {"  42", 42},     {"-7x", -7},      {"+3", 3},
      {"12.9", 12},   {"1e3", 1},         {"45", 45},       {"--1", 0},       {" - 1", 0},
      {"１２"_gbk, 12}, {"　３"_gbk, 3},  {"－５"_gbk, -5}, {"99999999999", 2147483647},
  };
  for (const auto& c : cases) EXPECT_EQ(textToInteger(c.text), c.value) << c.text;
}

TEST(Numbers, DecimalPrefixRules) {
  struct Case { Text text; double value; };
  const Case cases[] = {
      {"1.5 GB", 1.5}, {"1,5 GB", 1.0}, {".5", 0.5}, {"5.", 5.0},   {"2e3MB", 2000.0},
      {"2e", 2.0},     {"x1", 0.0},     {"-.", 0.0}, {"１．５"_gbk, 1.5}, {" 700 MB", 700.0},
  };
  for (const auto& c : cases) EXPECT_DOUBLE_EQ(textToNumber(c.text), c.value) << c.text;
}

TEST(Numbers, FullWidthMapping) {
  EXPECT_EQ(fullWidthToAscii("ＡＢ～＊"_gbk), "AB~*");
  EXPECT_EQ(fullWidthToAscii("　"_gbk), " ");
  EXPECT_EQ(fullWidthToAscii("\xA1\xAB\xA1\xEE\xA1\xEF"), "~**");
  EXPECT_EQ(fullWidthToAscii("中"_gbk), "中"_gbk);
}

TEST(Numbers, ShortestFormWithThirteenDigits) {
  EXPECT_EQ(numberToText(3.0), "3");
  EXPECT_EQ(numberToText(12.35), "12.35");
  EXPECT_EQ(numberToText(0.5), "0.5");
  EXPECT_EQ(numberToText(0.1 + 0.2), "0.3");
  EXPECT_EQ(numberToText(-2.25), "-2.25");
  EXPECT_EQ(numberToText(1.0 / 3.0), "0.3333333333333");
  EXPECT_EQ(integerToText(-12), "-12");
}

}  // namespace
}  // namespace quenbo
