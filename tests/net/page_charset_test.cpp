// Pages that declare their character set in a meta tag, fetched through the engine.
#include "net/page_charset.h"

#include <gtest/gtest.h>

#include <map>

#include "base/encoding.h"
#include "net/http_engine.h"
#include "http_server/http_test_server.h"

namespace quenbo::net {
namespace {

using testing::HttpTestServer;
using testing::RecordedRequest;
using testing::ServerConnection;

std::string encoded(const std::string& utf8, const char* charset) {
  std::string out;
  EXPECT_TRUE(convertWithIconv(utf8, "UTF-8", charset, out));
  return out;
}

std::string page(const std::string& meta, const std::string& bodyUtf8, const char* charset) {
  return "<html><head>" + meta + "</head><body>" + encoded(bodyUtf8, charset) + "</body></html>";
}

const std::string kSimplified = "中文页面";
const std::string kTraditional = "繁體中文";

TEST(PageCharset, DeclaredCharsetsAreDecodedIntoGbk) {
  const std::map<std::string, std::string> pages = {
      {"/utf8", page(R"(<meta charset="utf-8">)", kSimplified, "UTF-8")},
      {"/utf8-http-equiv",
       page(R"(<META http-equiv="Content-Type" content="text/html; charset=UTF-8">)", kSimplified,
            "UTF-8")},
      {"/gbk-capitals", page(R"(<meta charset="GBK">)", kSimplified, "GBK")},
      {"/gbk", page(R"(<meta charset="gbk">)", kSimplified, "GBK")},
      {"/gb2312", page(R"(<meta charset=gb2312>)", kSimplified, "GBK")},
      {"/big5", page(R"(<meta charset="Big5">)", kTraditional, "BIG5")},
      {"/none", page("", kSimplified, "GBK")},
      {"/unknown", page(R"(<meta charset="no-such-set">)", kSimplified, "GBK")},
      // A tag past the first 1024 bytes is not seen: the page stays as read.
      {"/late-meta", "<html>" + std::string(1100, ' ') + R"(<meta charset="utf-8">)" +
                         encoded(kSimplified, "UTF-8")},
      // A declared page is decoded from all its bytes; zero bytes are left out.
      {"/utf8-zero",
       page(R"(<meta charset="utf-8">)", kSimplified + std::string("\0tail", 5), "UTF-8")},
  };
  HttpTestServer server([&pages](const RecordedRequest& request, ServerConnection& connection) {
    connection.reply(200, "OK", {{"Content-Type", "text/html"}}, pages.at(request.target));
  });
  struct Case {
    const char* path;
    std::string text;
  } cases[] = {
      {"/utf8", utf8ToGbk(pages.at("/utf8"))},
      {"/utf8-http-equiv", utf8ToGbk(pages.at("/utf8-http-equiv"))},
      {"/gbk-capitals", pages.at("/gbk-capitals")},
      {"/gbk", pages.at("/gbk")},
      {"/gb2312", pages.at("/gb2312")},
      {"/big5", page(R"(<meta charset="Big5">)", kTraditional, "GBK")},
      {"/none", pages.at("/none")},
      {"/unknown", pages.at("/unknown")},
      {"/late-meta", pages.at("/late-meta")},
      {"/utf8-zero", utf8ToGbk(R"(<html><head><meta charset="utf-8"></head><body>)" + kSimplified +
                               "tail</body></html>")},
  };
  for (const Case& c : cases) {
    HttpRequest request;
    request.url = server.url(c.path);
    HttpResponse response;
    EXPECT_EQ(HttpEngine::execute(request, response), c.text) << c.path;
    EXPECT_EQ(response.body, pages.at(c.path)) << c.path;
  }
}

TEST(PageCharset, OnlyTheExactLowerCaseGbkNamesAreLeftAlone) {
  // "GBK" is decoded under its own name; with valid GBK bytes the result is the same text.
  Text gbkPage = "<meta charset=GBK>"_gbk + "中文"_gbk;
  EXPECT_EQ(decodeDeclaredCharset(gbkPage, gbkPage), gbkPage);
  // Left alone means the text is kept even when the body says otherwise.
  EXPECT_EQ(decodeDeclaredCharset("<meta charset=gbk>", "other bytes"), "<meta charset=gbk>");
  EXPECT_EQ(decodeDeclaredCharset("<meta charset=GB2312>", "other bytes"), "other bytes");
}

}  // namespace
}  // namespace quenbo::net
