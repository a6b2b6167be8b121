#include "net/url_parts.h"

#include <gtest/gtest.h>

#include "net/request_url.h"

namespace quenbo::net {
namespace {

struct HostCase {
  const char* url;
  UrlVariant variant;
  const char* host;
  const char* hostWithPort;
  int port;
  const char* path;
};

TEST(UrlParts, HostPortAndPathOfBothVariants) {
  const UrlVariant request = UrlVariant::request, transfer = UrlVariant::transfer;
  const HostCase cases[] = {
      {"HTTP://Example.COM:8080/a", request, "example.com", "example.com:8080", 8080, "/a"},
      {"HTTP://Example.COM:8080/a", transfer, "example.com", "example.com:8080", 8080, "/a"},
      {"example.com/a", request, "example.com", "example.com", 80, "/a"},
      {"example.com/a", transfer, "example.com", "example.com", 80, "/a"},
      {"https://example.com", request, "example.com", "example.com", 443, "/"},
      {"https://example.com", transfer, "example.com", "example.com", 443, "/"},
      {"http://example.com", request, "example.com", "example.com", 80, "/"},
      {"http://example.com/a/b?x=1#f", request, "example.com", "example.com", 80, "/a/b?x=1#f"},
      {"http://example.com/a/b?x=1#f", transfer, "example.com", "example.com", 80, "/a/b?x=1#f"},
      // A port without digits reads as 0.
      {"http://host:x/", request, "host", "host:x", 0, "/"},
      // The request variant reads the port after the last colon, the transfer variant after
      // the first.
      {"http://host:81:82/p", request, "host", "host:81:82", 82, "/p"},
      {"http://host:81:82/p", transfer, "host", "host:81:82", 81, "/p"},
      // A query right after the host has no path before it.
      {"http://host?q=1", transfer, "host?q=1", "host?q=1", 80, "/"},
      // An IPv6 literal's colons are no port, in both variants.
      {"http://[::1]:8080/a", request, "::1", "[::1]:8080", 8080, "/a"},
      {"http://[::1]:8080/a", transfer, "::1", "[::1]:8080", 8080, "/a"},
      {"https://[FE80::1]/a?b", transfer, "fe80::1", "[fe80::1]", 443, "/a?b"},
      {"[::1]:81", request, "::1", "[::1]:81", 81, "/"},
      {"http://[::1]x/", transfer, "::1", "[::1]x", 0, "/"},
  };
  for (const HostCase& c : cases) {
    SCOPED_TRACE(std::string(c.url) + (c.variant == request ? " (request)" : " (transfer)"));
    EXPECT_EQ(urlHost(c.url, false, c.variant), c.host);
    EXPECT_EQ(urlHost(c.url, true, c.variant), c.hostWithPort);
    EXPECT_EQ(urlPort(c.url, c.variant), c.port);
    EXPECT_EQ(urlPath(c.url, c.variant), c.path);
  }
}

TEST(UrlParts, OnlyTheRequestVariantFindsAnHttpSchemeInsideTheText) {
  EXPECT_EQ(urlHost("see http://Inner.org/x", false, UrlVariant::request), "inner.org");
  EXPECT_EQ(urlHost("see http://Inner.org/x", false, UrlVariant::transfer), "see http");
}

TEST(RequestUrl, TargetIsPathAndQueryOrSlashAlone) {
  struct Case {
    const char* url;
    bool secure;
    const char* host;
    int port;
    const char* target;
  } cases[] = {
      {"http://h/a/b?x=1#f", false, "h", 80, "/a/b?x=1#f"},
      {"HTTPS://H:8443/a", true, "H", 8443, "/a"},
      {"http://h?x=1", false, "h", 80, "/"},
      {"http://user:pw@h:81", false, "h", 81, "/"},
      {"http://[::1]:8080/v6", false, "::1", 8080, "/v6"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.url);
    auto url = crackUrl(c.url);
    ASSERT_TRUE(url.has_value());
    EXPECT_EQ(url->secure, c.secure);
    EXPECT_EQ(url->host, c.host);
    EXPECT_EQ(url->port, c.port);
    EXPECT_EQ(url->target, c.target);
  }
}

TEST(RequestUrl, RefusesWhatCannotBeFetched) {
  for (const char* url : {"", "ftp://h/", "h/a", "http://", "http://:80/", "http://h:0/",
                          "http://h:65536/", "http://h:8x/", "http://[::1/"}) {
    EXPECT_FALSE(crackUrl(url).has_value()) << url;
  }
}

TEST(RequestUrl, EscapesBlanksControlBytesAndGbkCharacters) {
  auto url = crackUrl("http://h:81/s?q=a b\x01\xD6\xD0");  // 中 in GBK
  ASSERT_TRUE(url.has_value());
  EXPECT_EQ(url->curlUrl(), "http://h:81/s?q=a%20b%01%E4%B8%AD");
}

}  // namespace
}  // namespace quenbo::net
