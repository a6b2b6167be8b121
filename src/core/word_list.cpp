#include "core/word_list.h"

namespace quenbo::core {

namespace {

// "，" in GBK.
constexpr std::string_view kFullWidthComma = "\xA3\xAC";

// The length of the separator at `i`, 0 when none starts there; `lineBreak` tells which kind.
std::size_t separatorAt(std::string_view text, std::size_t i, bool& lineBreak) {
  lineBreak = false;
  std::string_view rest = text.substr(i);
  if (rest.starts_with(kWordSeparator) || rest.starts_with(kFullWidthComma)) return 2;
  if (rest.starts_with(',')) return 1;
  lineBreak = true;
  if (rest.starts_with("\r\n")) return 2;
  if (rest.starts_with('\r') || rest.starts_with('\n')) return 1;
  lineBreak = false;
  return 0;
}

}  // namespace

std::vector<std::string_view> splitWords(std::string_view text) {
  std::vector<std::string_view> words;
  std::size_t start = 0;
  bool afterLineBreak = false;  // the piece under way began at a line break
  for (std::size_t i = 0; i < text.size();) {
    bool lineBreak = false;
    std::size_t length = separatorAt(text, i, lineBreak);
    if (length == 0) {
      i += charLength(text, i);
      continue;
    }
    std::string_view piece = text.substr(start, i - start);
    if (!piece.empty() || !(lineBreak || afterLineBreak)) words.push_back(piece);
    start = i + length;
    i = start;
    afterLineBreak = lineBreak;
  }
  if (start < text.size()) words.push_back(text.substr(start));
  return words;
}

Text joinWords(std::string_view text) {
  std::vector<std::string_view> words = splitWords(text);
  Text joined;
  for (std::size_t i = 0; i < words.size(); ++i) {
    if (i > 0) joined += kWordSeparator;
    joined += words[i];
  }
  // A trailing empty piece is no word: an empty last word needs a separator after it.
  if (!words.empty() && words.back().empty()) joined += kWordSeparator;
  return joined;
}

}  // namespace quenbo::core
