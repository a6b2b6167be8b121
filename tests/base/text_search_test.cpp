#include "base/text_search.h"

#include <gtest/gtest.h>

#include <random>

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

TEST(LowerAscii, FoldsLettersButNeverATrailByte) {
  EXPECT_EQ(lowerAscii("MAGNET:?XT=abc"), "magnet:?xt=abc");
  EXPECT_EQ(lowerAscii("AB\xB7\x41" "CD\xB7"), "ab\xB7\x41" "cd\xB7");
  EXPECT_EQ(lowerAscii("\xB7\x41\xB7\x41Z"), "\xB7\x41\xB7\x41z");
}

TEST(TextSearch, StartPositionAndLastOccurrence) {
  EXPECT_EQ(findText("abcabc", "bc", 3), 5);
  EXPECT_EQ(findText("abcabc", "bc", 0), 2);
  EXPECT_EQ(findText("abcabc", "bc", -4), 2);
  EXPECT_EQ(findText("abc", "c", 4), -1);
  EXPECT_EQ(findLastText("abcabc", "bc"), 5);
  EXPECT_EQ(findLastText("abc", "abcd"), -1);
}

// The search walks character by character and compares at every character start.
int referenceFind(std::string_view text, std::string_view needle, std::size_t from, bool ignoreCase,
                  bool last) {
  int position = -1;
  for (std::size_t i = from; i < text.size() && text.size() - i >= needle.size();) {
    bool match = true;
    for (std::size_t k = 0; k < needle.size() && match; ++k) {
      char a = text[i + k], b = needle[k];
      match = ignoreCase ? foldAscii(a) == foldAscii(b) : a == b;
    }
    if (match) {
      position = static_cast<int>(i) + 1;
      if (!last) break;
    }
    if (isLeadByte(static_cast<unsigned char>(text[i])) && i + 1 >= text.size()) break;
    i += charLength(text, i);
  }
  return position;
}

TEST(TextSearch, AgreesWithACharacterByCharacterWalk) {
  // Few distinct bytes, so that matches, near misses and trail-byte matches are common.
  const char alphabet[] = {'a', 'A', 'b', '\xB0', '\xA1', '\x41', ' '};
  std::mt19937 random(7);
  auto randomText = [&](std::size_t most) {
    std::string text(random() % (most + 1), ' ');
    for (char& c : text) c = alphabet[random() % sizeof alphabet];
    return text;
  };
  for (int round = 0; round < 20000; ++round) {
    std::string text = randomText(64);
    std::string needle = randomText(3);
    if (needle.empty()) continue;
    bool ignoreCase = round % 2 == 1;
    int start = static_cast<int>(random() % (text.size() + 2));
    std::size_t from = start <= 0 ? 0 : static_cast<std::size_t>(start) - 1;
    int expected = referenceFind(text, needle, from, ignoreCase, false);
    ASSERT_EQ(findText(text, needle, start, ignoreCase), expected) << text << "|" << needle;
    ASSERT_EQ(findLastText(text, needle, ignoreCase),
              referenceFind(text, needle, 0, ignoreCase, true))
        << text << "|" << needle;
  }
}

}  // namespace
}  // namespace quenbo
