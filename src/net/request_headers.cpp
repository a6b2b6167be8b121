#include "net/request_headers.h"

#include "base/text_search.h"
#include "net/header_text.h"
#include "net/text_pieces.h"

namespace quenbo::net {
namespace {

struct DefaultLine {
  std::string_view key;
  std::string_view line;
  bool postOnly = false;
};

constexpr DefaultLine kEngineDefaults[] = {
    {"User-Agent: ",
     "User-Agent: Mozilla/5.0 (compatible; MSIE 9.0; Windows NT 6.1; WOW64; Trident/5.0)\r\n"},
    {"Accept: ", "Accept: text/html, application/xhtml+xml, */*\r\n"},
    {"Accept-Encoding: ", "Accept-Encoding: gbk, GB2312\r\n"},
    {"Accept-Language: ", "Accept-Language: zh-cn\r\n"},
    {"Content-Type:", "Content-Type: application/x-www-form-urlencoded\r\n", true},
    {"Cache-Control: ", "Cache-Control: no-cache\r\n"},
};

constexpr std::string_view kOldAgent = "Mozilla/4.0 (compatible; MSIE 9.0; Windows NT 6.1)";
constexpr std::string_view kFormType = "application/x-www-form-urlencoded";

Text completeTransportHeaders(std::string_view headers, std::string_view url, int method,
                              bool namesAgent) {
  Text out(headers);
  auto add = [&](std::string_view key, std::string_view name, std::string_view value) {
    if (containsText(out, key)) return;
    out.append("\r\n").append(name).append(": ").append(value);
  };
  add("Accept:", "Accept", "*/*");
  add("Referer:", "Referer", url);
  add("Accept-Language:", "Accept-Language", "zh-cn");
  if (namesAgent) add("User-Agent:", "User-Agent", kOldAgent);
  if (method == HttpMethod::post) add("Content-Type:", "Content-Type", kFormType);
  return out;
}

}  // namespace

Text engineHeaderText(const HttpRequest& request) {
  Text headers = request.extraHeaders.empty() ? Text() : request.extraHeaders + "\r\n";
  if (request.completeHeaders) {
    for (const DefaultLine& line : kEngineDefaults) {
      if (line.postOnly && request.method != HttpMethod::post) continue;
      if (!containsText(headers, line.key)) headers.append(line.line);
    }
  }
  if (request.normalizeHeaderNames) headers = normalizeHeaderText(headers);
  if (findText(headers, "Connection") != -1 && headerValue(headers, "Connection") == "keep-alive") {
    headers = replaceText(headers, "Connection: keep-alive\r\n", "");
  }
  // A cookie line of the caller's own wins over the cookies field.
  if (!containsText(headers, "Cookie:") && !request.cookies.empty()) {
    headers += containsText(request.cookies, "Cookie:") ? "\r\n" : "\r\nCookie: ";
    headers += request.cookies + "\r\n";
  }
  return headers;
}

Text completePageHeaders(std::string_view headers, std::string_view url, int method) {
  return completeTransportHeaders(headers, url, method, false);
}

Text completeServiceHeaders(std::string_view headers, std::string_view url, int method) {
  return completeTransportHeaders(headers, url, method, true);
}

}  // namespace quenbo::net
