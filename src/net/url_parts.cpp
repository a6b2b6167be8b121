#include "net/url_parts.h"

#include "base/text_search.h"
#include "net/text_pieces.h"

namespace quenbo::net {
namespace {

// The text from 1-based `start` up to the next "/" at or after it, or to the end.
Text upToSlash(std::string_view text, int start) {
  int slash = findText(text, "/", start);
  if (static_cast<std::size_t>(start) > text.size()) return Text();
  if (slash == -1) return Text(text.substr(start - 1));
  return Text(text.substr(start - 1, slash - start));
}

Text requestHost(std::string_view url) {
  Text lower = lowerAscii(url);
  if (!endsWith(lower, "/")) lower += '/';
  if (startsWith(lower, "https://")) return upToSlash(lower, 9);
  if (findText(lower, "http://") == -1) lower.insert(0, "http://");
  return upToSlash(lower, findText(lower, "http://") + 7);
}

Text transferHost(std::string_view url) {
  Text lower = lowerAscii(url);
  int start = startsWith(lower, "http://") ? 8 : startsWith(lower, "https://") ? 9 : 1;
  return upToSlash(lower, start);
}

int leadingDigits(std::string_view text) {
  long long value = 0;
  for (char c : text) {
    if (c < '0' || c > '9') break;
    if (value < 1'000'000) value = value * 10 + (c - '0');
  }
  return static_cast<int>(value);
}

// The length of a bracketed IPv6 literal at the start of `host` ("[::1]" is 5), or 0: its
// colons belong to the address, not to a port.
std::size_t literalLength(std::string_view host) {
  if (host.empty() || host.front() != '[') return 0;
  std::size_t close = host.find(']');
  return close == std::string_view::npos ? 0 : close + 1;
}

}  // namespace

Text urlHost(std::string_view url, bool keepPort, UrlVariant variant) {
  Text host = variant == UrlVariant::request ? requestHost(url) : transferHost(url);
  if (!keepPort) {
    if (std::size_t literal = literalLength(host)) return host.substr(1, literal - 2);
    int colon = findText(host, ":");
    if (colon != -1) host.resize(colon - 1);
  }
  return host;
}

int urlPort(std::string_view url, UrlVariant variant) {
  Text host = urlHost(url, true, variant);
  if (std::size_t literal = literalLength(host)) {
    // After the literal only ":port" may follow.
    if (literal == host.size()) return startsWith(lowerAscii(url), "https") ? 443 : 80;
    return host[literal] == ':' ? leadingDigits(std::string_view(host).substr(literal + 1)) : 0;
  }
  int colon = variant == UrlVariant::request ? findLastText(host, ":") : findText(host, ":");
  if (colon == -1) return startsWith(lowerAscii(url), "https") ? 443 : 80;
  return leadingDigits(std::string_view(host).substr(colon));
}

Text urlPath(std::string_view url, UrlVariant variant) {
  Text host = urlHost(url, false, variant);
  int at = findText(url, host, 1, true);
  int slash = findText(url, "/", at, true);
  if (slash == -1) return "/";
  return Text(url.substr(slash - 1));
}

}  // namespace quenbo::net
