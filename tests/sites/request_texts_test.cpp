#include "sites/request_texts.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <ctime>

#include "base/encoding.h"

namespace quenbo::sites {
namespace {

TEST(UrlEncode, FlagsChooseBytesAndEscapes) {
  EXPECT_EQ(urlEncode("电影 2019"_gbk), "%E7%94%B5%E5%BD%B1%202019");
  EXPECT_EQ(urlEncode("电影"_gbk, true, false), "%B5%E7%D3%B0");
  EXPECT_EQ(urlEncode("a-Z.9", false, true), "%61%2D%5A%2E%39");
  EXPECT_EQ(urlEncode("-._~/*+&=", true, true), "-.%5F%7E%2F%2A%2B%26%3D");
  EXPECT_EQ(urlEncode(""), "");
}

TEST(UnixTimeText, MillisecondsOrSeconds) {
  using namespace std::chrono;
  system_clock::time_point at{milliseconds(1577165696005)};
  EXPECT_EQ(unixTimeText(false, at), "1577165696005");
  EXPECT_EQ(unixTimeText(true, at), "1577165696");
}

TEST(UnixTimeText, IsTheRealUnixTimeInAnyZone) {
  const char* saved = std::getenv("TZ");
  std::string old = saved ? saved : "";
  setenv("TZ", "America/New_York", 1);
  tzset();
  Text text = unixTimeText(true);
  long long now = static_cast<long long>(std::time(nullptr));
  if (saved) {
    setenv("TZ", old.c_str(), 1);
  } else {
    unsetenv("TZ");
  }
  tzset();
  ASSERT_EQ(text.size(), 10u);
  EXPECT_LE(std::llabs(std::stoll(text) - now), 2);
  EXPECT_EQ(unixTimeText().size(), 13u);
}

TEST(LogTimeText, IsAlwaysTwentyCharacters) {
  struct Case {
    LocalTime time;
    const char* expected;
  } cases[] = {
      {{2019, 12, 4, 9, 5, 7, 0}, "2019/12/4  9:5:7    "},
      {{2019, 12, 24, 12, 34, 56, 0}, "2019/12/24  12:34:56"},
      {{2019, 1, 2, 3, 4, 5, 0}, "2019/1/2  3:4:5     "},
  };
  for (const Case& c : cases) EXPECT_EQ(logTimeText(c.time), c.expected);
  EXPECT_EQ(logTimeText().size(), 20u);
}

}  // namespace
}  // namespace quenbo::sites
