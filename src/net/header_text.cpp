#include "net/header_text.h"

#include "base/text_search.h"
#include "net/text_pieces.h"

namespace quenbo::net {
namespace {

Text capitalisedName(std::string_view name) {
  Text out;
  bool first = true;
  for (Text& piece : splitText(name, "-")) {
    if (!first) out += '-';
    first = false;
    if (!piece.empty() && piece[0] >= 'a' && piece[0] <= 'z')
      piece[0] = static_cast<char>(piece[0] - 32);
    out += piece;
  }
  return out;
}

}  // namespace

Text normalizeHeaderText(std::string_view headers) {
  Text out;
  bool first = true;
  for (const Text& line : splitText(headers, "\r\n")) {
    int colon = findText(line, ":");
    if (colon == -1) continue;
    Text name = capitalisedName(std::string_view(line).substr(0, colon - 1));
    // The new name stands in for as many leading characters as it is long; for every
    // ordinary line that is exactly the old name.
    if (!first) out += "\r\n";
    first = false;
    out += name;
    out.append(std::string_view(line).substr(std::min(name.size(), line.size())));
  }
  return out;
}

Text headerValue(std::string_view headers, std::string_view name) {
  for (const Text& line : splitText(headers, "\r\n")) {
    if (!startsWith(line, name)) continue;
    Text key = Text(name) + ": ";
    int at = findLastText(line, key);
    if (at == -1) return Text();
    return line.substr(at - 1 + key.size());
  }
  return Text();
}

std::optional<Text> answerHeader(std::string_view block, std::string_view name) {
  std::optional<Text> value;
  if (name.empty()) return value;
  while (!block.empty()) {
    std::size_t end = block.find("\r\n");
    std::string_view line = block.substr(0, end);
    block.remove_prefix(end == std::string_view::npos ? block.size() : end + 2);
    std::size_t colon = line.find(':');
    if (colon == std::string_view::npos || lowerAscii(line.substr(0, colon)) != lowerAscii(name)) {
      continue;
    }
    std::string_view rest = line.substr(colon + 1);
    while (!rest.empty() && (rest.front() == ' ' || rest.front() == '\t')) rest.remove_prefix(1);
    value = Text(rest);
  }
  return value;
}

}  // namespace quenbo::net
