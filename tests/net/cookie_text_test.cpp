#include "net/cookie_text.h"

#include <gtest/gtest.h>

namespace quenbo::net {
namespace {

TEST(CookieText, SetCookieLinesGiveThePartBeforeTheFirstSemicolon) {
  struct Case {
    const char* block;
    const char* before;
    const char* after;
  } cases[] = {
      {"Set-Cookie: a=1; path=/\r\nSet-Cookie: b=2\r\n", "", "a=1; b=2"},
      {"HTTP/1.1 200 OK\r\nset-cookie: a=1\r\nSET-COOKIE: b=2\r\n\r\n", "", ""},
      {"Set-Cookie:a=1\r\n", "", ""},  // no ": " after the name
      {"Set-Cookie:  spaced=1  \r\n", "", "spaced=1"},
      {"Set-Cookie: a=1\r\n", "x=0; ", "x=0; a=1"},
      // The caller's text is joined to the new cookies with the separator.
      {"Set-Cookie: a=1\r\n", "x=0", "x=0; a=1"},
      {"Content-Type: text/html\r\n", "x=0", "x=0"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(collectSetCookies(c.block, c.before), c.after) << c.block;
  }
}

TEST(CookieText, MergeReplacesByNameDropsDeletedAndStoresTheResult) {
  struct Case {
    const char* old;
    const char* fresh;
    const char* merged;
  } cases[] = {
      {"a=1; b=2", "b=3; c=4", "b=3; c=4; a=1"},
      {"a=1; b=2", "b=deleted", "a=1"},
      {"a = 1", "", "a=1"},
      {"a=1; a=2", "", "a=1"},  // the first of several old items of one name wins
      {"", "x=1; x=1", "x=1"},  // repeated items removed
      {"a=1", "a=deleted", ""},
      {"", "", ""},
      {"flag; a=1", "flag", "flag; a=1"},  // an item without "=" is its own name
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(std::string(c.old) + " + " + c.fresh);
    Text jar = c.old;
    EXPECT_EQ(mergeCookieText(jar, c.fresh), c.merged);
    EXPECT_EQ(jar, c.merged);
  }
}

TEST(CookieText, NamesAndDuplicates) {
  EXPECT_EQ(cookieName(" sid = 5 "), "sid");
  EXPECT_EQ(cookieName("flag"), "flag");
  EXPECT_EQ(removeDuplicates("x; y; x", "; "), "x; y");
  EXPECT_EQ(removeDuplicates("", "; "), "");
  // Items are compared exactly: " x" and "x" are two items.
  EXPECT_EQ(removeDuplicates("x;; x;x;", ";"), "x;; x");
}

}  // namespace
}  // namespace quenbo::net
