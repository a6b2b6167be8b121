// Requests to the site simulator for its tests: each site's URL written out by hand in the
// form the catalogue gives it, fetched through the program's own request engine.
#pragma once

#include <chrono>
#include <map>
#include <string>
#include <string_view>

#include "base/encoding.h"
#include "base/text_search.h"
#include "net/http_engine.h"
#include "site_simulator/site_simulator.h"

namespace quenbo::testing {

// "电影 abc" as the program encodes it: UTF-8, unreserved characters kept.
inline constexpr std::string_view kEncodedKeyword = "%E7%94%B5%E5%BD%B1%20abc";

// The text between the first `left` and the next `right`, written here rather than taken
// from the adapters, so a marker typed wrong on either side shows.
inline Text between(std::string_view text, std::string_view left, std::string_view right,
                    bool ignoreCase = false) {
  int l = findText(text, left, 1, ignoreCase);
  if (l < 0) return Text();
  int d = l + static_cast<int>(left.size());
  int r = findText(text, right, d, ignoreCase);
  return r < 0 ? Text() : Text(text.substr(d - 1, r - d));
}

inline std::string replaceAll(std::string text, std::string_view from, std::string_view to) {
  for (std::size_t at = text.find(from); at != std::string::npos; at = text.find(from, at + to.size())) {
    text.replace(at, from.size(), to);
  }
  return text;
}

// Path and query of page `page` of a site for an already encoded keyword.
inline std::string sitePath(std::string_view label, std::string_view keyword, int page,
                            std::string_view stamp = "1575200000123") {
  static const std::map<std::string, std::string, std::less<>> paths = {
      {"Btdad", "/search-{KW}-0-0-{P}.html"},
      {"Ttcili", "/s/{KW}/{P}-0-0.html"},
      {"Iheian", "/search/{KW}/page-{P}.html"},
      {"Ciliwang", "/search?keyword={KW}&sort=hot&page={P}&mode=1&_={T}"},
      {"Ciliguo", "/search?q={KW}&p={P}"},
      {"Sobt", "/q/{KW}.html?sort=rel&page={P}"},
      {"Wiki", "/search/{KW}-{P}.html"},
      {"磁小鸭", "/search?keyword={KW}&sort=hot&page={P}&mode=1&_={T}"},
      {"Chazhongzi", "/go/{KW}/default/{P}"},
      {"BT樱桃", "/search/{KW}-{P}.html"},
      {"种子搜", "/api/search?source=%E7%A7%8D%E5%AD%90%E6%90%9C&keyword={KW}&page={P}&sort=time"},
      {"BT蚂蚁", "/api/search?source=BT%E8%9A%82%E8%9A%81&keyword={KW}&page={P}&sort=time"},
      {"Torrentz", "/api/search?source=Torrentz2&keyword={KW}&page={P}&sort=time"},
      {"磁力果", "/api/search?source=%E7%A3%81%E5%8A%9B%E6%9E%9C&keyword={KW}&page={P}&sort=default"},
      {"Kickass", "/api/search?source=KickassTorrents&keyword={KW}&page={P}&sort=default"},
      {"Skrbt", "/search?keyword={KW}&s=relevance&p={P}"},
      {"Monova", "/search?term={KW}&cat=&sort=1&verified=0&page={P}"},
      {"SXBTZZ", "/search/{KW}/default-{P}.html"},
      {"A8bt", "/a8/{KW}/{P}-0-0.html"},
      {"BTKU", "/search-{KW}-0-0-{P}.html"},
      {"Btsow", "/search/{KW}/page/{P}"},
      {"Renz", "/search/{KW}/page-{P}.html"},
      {"FeiBt", "/zh-cn/s/{P}/{KW}"},
      {"章鱼搜索", "/s/{KW}/p/{P}.html"},
      {"Sunyaa", "/api/search?source=Sukebei+Nyaa&keyword={KW}&page={P}&sort=time"},
      {"idopea", "/api/search?source=idope&keyword={KW}&page={P}&sort=time"},
  };
  auto found = paths.find(label);
  if (found == paths.end()) return std::string();
  std::string path = replaceAll(found->second, "{P}", std::to_string(page));
  path = replaceAll(path, "{T}", stamp);
  return replaceAll(path, "{KW}", keyword);
}

struct Fetched {
  Text text;
  net::HttpResponse response;
  std::chrono::milliseconds took{0};
  bool failed() const { return response.failure != net::EngineFailure::none; }
};

inline Fetched fetchUrl(const std::string& url) {
  net::HttpRequest request;
  request.url = url;
  request.timeoutSeconds = 10;
  Fetched out;
  auto start = std::chrono::steady_clock::now();
  out.text = net::HttpEngine::execute(request, out.response);
  out.took = std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() - start);
  return out;
}

inline Fetched fetchPage(const simulator::SiteSimulator& sites, std::string_view label,
                         std::string_view keyword, int page) {
  return fetchUrl(sites.baseUrl(label) + sitePath(label, keyword, page));
}

// The character set a page names in a meta tag within its first 1024 bytes; empty if none.
inline std::string declaredCharset(std::string_view body) {
  std::string head(body.substr(0, 1024));
  std::size_t at = head.find("charset=");
  if (at == std::string::npos) return std::string();
  at += 8;
  if (at < head.size() && head[at] == '"') ++at;
  std::size_t end = head.find_first_of("\"'/> ;", at);
  return head.substr(at, end - at);
}

// The page as the program works on it: GBK pages as they are, UTF-8 pages converted.
inline Text pageInGbk(const Fetched& page) {
  std::string charset = declaredCharset(page.response.body);
  for (char& c : charset) c = static_cast<char>(c >= 'A' && c <= 'Z' ? c + 32 : c);
  if (charset == "gbk" || charset == "gb2312") return page.response.body;
  return utf8ToGbk(page.response.body);
}

}  // namespace quenbo::testing
