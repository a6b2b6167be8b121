#include "site_simulator/redesigned_page.h"

#include "site_simulator/page_text.h"

namespace quenbo::simulator {

namespace {

// The title without the site's highlight and badge markup (it stays HTML-escaped text).
std::string withoutTags(std::string_view title) {
  std::string out;
  bool inTag = false;
  for (char c : title) {
    if (c == '<') inTag = true;
    if (!inTag) out += c;
    if (c == '>') inTag = false;
  }
  return out;
}

std::string jsonString(std::string_view text) {
  std::string out = "\"";
  for (char c : text) {
    if (c == '"' || c == '\\') out += '\\';
    out += c;
  }
  return out + "\"";
}

std::string magnetOf(const SimulatedItem& item) {
  return "magnet:?xt=urn:btih:" + item.infoHash;
}

}  // namespace

std::string redesignedHtmlPage(std::string_view keyword, const std::vector<SimulatedItem>& items) {
  std::string page =
      "<!DOCTYPE html>\n<html><head><meta charset=\"utf-8\"><title>" + htmlEscape(keyword) +
      " 的搜索结果</title></head><body>\n<main class=\"results-grid\">\n";
  for (const SimulatedItem& item : items) {
    page += "<article class=\"entry\"><h2 class=\"entry-name\">" + withoutTags(item.title) +
            "</h2><p class=\"entry-info\">" + item.size + " · " + item.date +
            "</p><code class=\"entry-id\">" + item.infoHash + "</code><a class=\"entry-get\" href=\"" +
            magnetOf(item) + "&amp;dn=x\">获取</a></article>\n";
  }
  return page + "</main></body></html>\n";
}

std::string redesignedJsonAnswer(const std::vector<SimulatedItem>& items) {
  std::string answer = "{\"code\":0,\"data\":{\"list\":[";
  for (std::size_t i = 0; i < items.size(); ++i) {
    const SimulatedItem& item = items[i];
    if (i > 0) answer += ",";
    answer += "{\"title\":" + jsonString(withoutTags(item.title)) + ",\"hash\":" +
              jsonString(item.infoHash) + ",\"link\":" + jsonString(magnetOf(item)) +
              ",\"size\":" + jsonString(item.size) + "}";
  }
  return answer + "],\"total\":" + std::to_string(items.size()) + "}}";
}

}  // namespace quenbo::simulator
