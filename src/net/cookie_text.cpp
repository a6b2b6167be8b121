#include "net/cookie_text.h"

#include <algorithm>
#include <vector>

#include "base/text_search.h"
#include "net/text_pieces.h"

namespace quenbo::net {
namespace {

constexpr std::string_view kSetCookie = "Set-Cookie:";

Text cookieOfLine(std::string_view line) {
  if (findText(line, ";") == -1) return trimBlanks(replaceText(line, kSetCookie, "", true));
  int start = findText(line, kSetCookie) + static_cast<int>(kSetCookie.size());
  int end = findText(line, ";", start);
  if (end == -1) return trimBlanks(line.substr(start - 1));
  return trimBlanks(line.substr(start - 1, end - start));
}

}  // namespace

Text collectSetCookies(std::string_view headerBlock, std::string_view cookies) {
  Text out(cookies);
  bool joined = out.empty() || endsWith(out, "; ");
  for (const Text& line : splitText(headerBlock, "\r\n")) {
    int separator = findText(line, ": ");
    if (separator == -1 || std::string_view(line).substr(0, separator - 1) != "Set-Cookie")
      continue;
    // A caller's text that does not end in the separator gets one before the first cookie,
    // so its last item and the new one stay two items.
    if (!joined) out += "; ";
    joined = true;
    out += cookieOfLine(line);
    out += "; ";
  }
  if (endsWith(out, "; ")) out.resize(out.size() - 2);
  return out;
}

Text cookieName(std::string_view cookie) {
  int equals = findText(cookie, "=");
  return trimBlanks(equals == -1 ? cookie : cookie.substr(0, equals - 1));
}

Text removeDuplicates(std::string_view list, std::string_view separator) {
  std::vector<Text> kept;
  for (Text& item : splitText(list, separator)) {
    if (std::find(kept.begin(), kept.end(), item) == kept.end()) kept.push_back(std::move(item));
  }
  Text out;
  for (const Text& item : kept) {
    out += item;
    out += separator;
  }
  if (!kept.empty()) out.resize(out.size() - separator.size());
  return out;
}

Text mergeCookieText(Text& oldCookies, std::string_view newCookies) {
  oldCookies = removeBlanks(oldCookies);
  std::vector<Text> items = splitText(removeBlanks(newCookies), ";");
  for (const Text& old : splitText(oldCookies, ";")) {
    Text name = cookieName(old);
    bool known = std::any_of(items.begin(), items.end(),
                             [&](const Text& item) { return cookieName(item) == name; });
    if (!known) items.push_back(old);
  }
  Text merged;
  for (const Text& item : items) {
    if (endsWith(item, "=deleted")) continue;
    merged += item;
    merged += "; ";
  }
  if (merged.size() >= 2) merged.resize(merged.size() - 2);
  oldCookies = removeDuplicates(merged, "; ");
  return oldCookies;
}

}  // namespace quenbo::net
