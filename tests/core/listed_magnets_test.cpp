#include "core/listed_magnets.h"

#include <gtest/gtest.h>

#include <random>

#include "base/text_search.h"

namespace quenbo::core {
namespace {

const Text kA = "magnet:?xt=urn:btih:0123456789abcdef0123456789abcdef01234567";
const Text kB = "magnet:?xt=urn:btih:fedcba9876543210fedcba9876543210fedcba98";

TEST(ListedMagnets, SearchesTheJoinedText) {
  ListedMagnets listed;
  EXPECT_FALSE(listed.contains(""));  // nothing listed yet
  EXPECT_FALSE(listed.contains(kA));
  listed.add(kA);
  listed.add(kB);
  EXPECT_EQ(listed.text(), kA + "\r\n" + kB + "\r\n");
  EXPECT_TRUE(listed.contains(kA));
  EXPECT_TRUE(listed.contains("MAGNET:?XT=URN:BTIH:FEDCBA9876543210FEDCBA9876543210FEDCBA98"));
  EXPECT_TRUE(listed.contains(kA.substr(0, 30)));   // a prefix of a listed link
  EXPECT_TRUE(listed.contains(kA.substr(17, 30)));  // any part of one
  EXPECT_TRUE(listed.contains(""));                 // the empty link occurs in any text
  EXPECT_TRUE(listed.contains("67\r\nmagnet"));     // across the line break
  EXPECT_FALSE(listed.contains(kA + "&dn=x"));      // a longer link is new
  EXPECT_FALSE(listed.contains("magnet:?xt=urn:btih:0123456789abcdef0123456789abcdef0123456x"));
  listed.clear();
  EXPECT_FALSE(listed.contains(kA));
  EXPECT_EQ(listed.text(), "");
}

TEST(ListedMagnets, DoubleByteLinksMatchOnlyOnCharacterBoundaries) {
  ListedMagnets listed;
  listed.add("magnet:\xB7\x41zzzzzzzzzzzzzzzzzz");  // B7 41: one character ending in "A"
  EXPECT_FALSE(listed.contains("Azzzzzzzzzzzzzzzzzz"));
  EXPECT_TRUE(listed.contains("zzzzzzzzzzzzzzzzzz"));
  EXPECT_TRUE(listed.contains("\xB7\x41zzzz"));
}

// The index must give exactly the answer of a plain search of the joined text.
TEST(ListedMagnets, AgreesWithAPlainSearchOnRandomLinks) {
  std::mt19937 random(7);
  bool withBreaks = false;
  auto randomText = [&](std::size_t length) {
    static const char kAlphabet[] = "abAB01:?&=\xB7\x41\r\n";
    std::size_t letters = sizeof kAlphabet - (withBreaks ? 1 : 3);
    Text t;
    for (std::size_t i = 0; i < length; ++i) t += kAlphabet[random() % letters];
    return t;
  };
  for (int round = 0; round < 300; ++round) {
    ListedMagnets listed;
    std::vector<Text> entries;
    // A third of the rounds use plain ASCII links; the others mix in double-byte characters,
    // and half of those line breaks too.
    bool plain = round % 3 == 0;
    withBreaks = round % 3 == 2;
    for (int i = 0; i < 20; ++i) {
      Text e = plain ? "magnet:?xt=" + std::to_string(random() % 50) + std::string(random() % 30, 'a')
                     : randomText(random() % 40);
      listed.add(lowerAscii(e));
      entries.push_back(lowerAscii(e));
    }
    for (int q = 0; q < 50; ++q) {
      const Text& source = entries[random() % entries.size()];
      Text needle;
      if (q % 3 == 0 && !source.empty()) {
        std::size_t from = random() % source.size();
        needle = source.substr(from, random() % (source.size() - from + 1));
      } else {
        needle = plain ? "magnet:?xt=" + std::to_string(random() % 60) + std::string(random() % 32, 'A')
                       : randomText(random() % 25);
      }
      EXPECT_EQ(listed.contains(needle), findText(listed.text(), needle, 1, true) != -1)
          << "needle [" << needle << "]";
    }
  }
}

}  // namespace
}  // namespace quenbo::core
