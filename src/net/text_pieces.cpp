#include "net/text_pieces.h"

#include "base/text_search.h"

namespace quenbo::net {
namespace {

constexpr std::string_view kWideBlank = "\xA1\xA1";

bool isBlankAt(std::string_view text, std::size_t i, std::size_t length) {
  return length == 1 ? text[i] == ' ' : text.substr(i, 2) == kWideBlank;
}

}  // namespace

std::vector<Text> splitText(std::string_view text, std::string_view separator) {
  std::vector<Text> pieces;
  if (text.empty()) return pieces;
  int from = 1;
  for (;;) {
    int at = separator.empty() ? -1 : findText(text, separator, from);
    if (at == -1) {
      if (static_cast<std::size_t>(from) <= text.size()) pieces.emplace_back(text.substr(from - 1));
      return pieces;
    }
    pieces.emplace_back(text.substr(from - 1, at - from));
    from = at + static_cast<int>(separator.size());
  }
}

Text trimBlanks(std::string_view text) {
  // Walk the characters once: the kept range runs from the first to the last non-blank one.
  std::size_t first = text.size(), end = 0;
  for (std::size_t i = 0; i < text.size();) {
    std::size_t length = charLength(text, i);
    if (!isBlankAt(text, i, length)) {
      if (first == text.size()) first = i;
      end = i + length;
    }
    i += length;
  }
  return first == text.size() ? Text() : Text(text.substr(first, end - first));
}

Text removeBlanks(std::string_view text) {
  Text out;
  out.reserve(text.size());
  for (std::size_t i = 0; i < text.size();) {
    std::size_t length = charLength(text, i);
    if (!isBlankAt(text, i, length)) out.append(text.substr(i, length));
    i += length;
  }
  return out;
}

Text replaceText(std::string_view text, std::string_view from, std::string_view to,
                 bool ignoreCase) {
  if (from.empty()) return Text(text);
  Text out;
  int position = 1;
  for (;;) {
    int at = findText(text, from, position, ignoreCase);
    if (at == -1) break;
    out.append(text.substr(position - 1, at - position));
    out.append(to);
    position = at + static_cast<int>(from.size());
  }
  if (static_cast<std::size_t>(position) <= text.size()) out.append(text.substr(position - 1));
  return out;
}

}  // namespace quenbo::net
