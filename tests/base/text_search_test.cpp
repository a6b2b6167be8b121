#include "base/text_search.h"

#include <gtest/gtest.h>

#include "base/encoding.h"
#include "base/text.h"

namespace quenbo {
namespace {

TEST(TextSearch, EmptyNeedleIsFoundAtOneInAnyNonEmptyText) {
  EXPECT_EQ(findText("abc", ""), 1);
  EXPECT_EQ(findText("", ""), -1);
  EXPECT_EQ(findLastText("abc", ""), 1);
  EXPECT_FALSE(containsText("", ""));
  EXPECT_TRUE(containsText("x", ""));
}

TEST(TextSearch, FoldsOnlyAsciiLettersWhenAsked) {
  EXPECT_EQ(findText("xxABCxx", "abc"), -1);
  EXPECT_EQ(findText("xxABCxx", "abc", 1, true), 3);
  // Full-width letters are different characters, never folded onto ASCII.
  EXPECT_FALSE(containsText("ＡＢＣ"_gbk, "abc"));
}

TEST(TextSearch, NeverMatchesOnATrailByte) {
  // B7 41 is one GBK character whose trail byte is the letter A.
  Text trailIsA = "\xB7\x41";
  EXPECT_EQ(findText(trailIsA, "A"), -1);
  EXPECT_EQ(findText(trailIsA + "A", "A"), 3);
  EXPECT_EQ(findLastText("A" + trailIsA, "A"), 1);
}

TEST(TextSearch, StartPositionAndLastOccurrence) {
  EXPECT_EQ(findText("abcabc", "bc", 3), 5);
  EXPECT_EQ(findText("abcabc", "bc", 0), 2);
  EXPECT_EQ(findText("abcabc", "bc", -4), 2);
  EXPECT_EQ(findText("abc", "c", 4), -1);
  EXPECT_EQ(findLastText("abcabc", "bc"), 5);
  EXPECT_EQ(findLastText("abc", "abcd"), -1);
}

}  // namespace
}  // namespace quenbo
