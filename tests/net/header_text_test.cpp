#include "net/header_text.h"

#include <gtest/gtest.h>

#include "base/encoding.h"
#include "net/request_headers.h"
#include "net/text_pieces.h"

namespace quenbo::net {
namespace {

TEST(HeaderText, NormalisedNamesAreCapitalisedAtEachHyphen) {
  struct Case {
    const char* in;
    const char* out;
  } cases[] = {
      {"content-type: text/html", "Content-Type: text/html"},
      {"x-requested-with:XMLHttpRequest", "X-Requested-With:XMLHttpRequest"},
      {"ACCEPT: */*", "ACCEPT: */*"},
      {"a: 1\r\nno colon here\r\nb: 2\r\n", "A: 1\r\nB: 2"},
      {"accept: 1\r\n", "Accept: 1"},
      // The value keeps its case; only the name changes.
      {"user-agent: mozilla-x", "User-Agent: mozilla-x"},
      // A name ending in "-" loses no character of the line.
      {"x-: v", "X-: v"},
      {"", ""},
      {"\r\n\r\n", ""},
  };
  for (const auto& c : cases) EXPECT_EQ(normalizeHeaderText(c.in), c.out) << c.in;
}

TEST(HeaderText, HeaderValueTakesTheFirstLineThatStartsWithTheName) {
  EXPECT_EQ(headerValue("Connection: keep-alive", "Connection"), "keep-alive");
  EXPECT_EQ(headerValue("Connection: keep-alive", "Host"), "");
  EXPECT_EQ(headerValue("A: 1\r\nConnection: close\r\nConnection: keep-alive", "Connection"),
            "close");
  EXPECT_EQ(headerValue("connection: close", "Connection"), "");
  EXPECT_EQ(headerValue("Connection:close", "Connection"), "");
}

TEST(HeaderText, AnAnswersHeaderIsFoundByItsWholeNameInAnyCase) {
  const char* block =
      "HTTP/1.1 200 OK\r\n"
      "X-Original-Content-Length: 99\r\n"
      "content-length: 12\r\n"
      "Location:/no-blank\r\n"
      "Content-Type:\t text/html\r\n"
      "Empty:\r\n"
      "Twice: first\r\n"
      "TWICE: second\r\n"
      "\r\n";
  struct Case {
    const char* name;
    std::optional<Text> value;
  } cases[] = {
      {"Content-Length", "12"},
      {"CONTENT-LENGTH", "12"},
      {"X-Original-Content-Length", "99"},
      {"Length", std::nullopt},
      {"Location", "/no-blank"},
      {"content-type", "text/html"},
      {"Empty", ""},
      {"Twice", "second"},  // the last line of a name wins
      {"Absent", std::nullopt},
      {"", std::nullopt},
      {"HTTP/1.1 200 OK", std::nullopt},
  };
  for (const Case& c : cases) EXPECT_EQ(answerHeader(block, c.name), c.value) << c.name;
}

TEST(TextPieces, SplitTrimAndReplaceWalkGbkCharacters) {
  EXPECT_EQ(splitText("a;;b;", ";"), (std::vector<Text>{"a", "", "b"}));
  EXPECT_TRUE(splitText("", ";").empty());
  EXPECT_EQ(trimBlanks("　 a b 　"_gbk), "a b");
  EXPECT_EQ(removeBlanks(" a　b "_gbk), "ab");
  // B7 41 is one GBK character: its trail byte is no letter A.
  EXPECT_EQ(replaceText("\xB7\x41"
                        "A",
                        "A", "x"),
            "\xB7\x41"
            "x");
  EXPECT_EQ(replaceText("Set-Cookie: a set-cookie:", "SET-COOKIE:", "", true), " a ");
}

TEST(RequestHeaders, PageAndServiceDefaultsFollowTheirTables) {
  EXPECT_EQ(completePageHeaders("Accept: */*", "http://h/x", 0),
            "Accept: */*\r\nReferer: http://h/x\r\nAccept-Language: zh-cn");
  EXPECT_EQ(completeServiceHeaders("", "http://h/", 1),
            "\r\nAccept: */*\r\nReferer: http://h/\r\nAccept-Language: zh-cn"
            "\r\nUser-Agent: Mozilla/4.0 (compatible; MSIE 9.0; Windows NT 6.1)"
            "\r\nContent-Type: application/x-www-form-urlencoded");
  // Keys are found in any case, so the caller's lines win.
  EXPECT_EQ(completeServiceHeaders("accept: a\r\nreferer: r\r\naccept-language: l\r\nuser-agent: u",
                                   "http://h/", 0),
            "accept: a\r\nreferer: r\r\naccept-language: l\r\nuser-agent: u");
}

}  // namespace
}  // namespace quenbo::net
