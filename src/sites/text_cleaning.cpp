#include "sites/text_cleaning.h"

#include <cstring>


namespace quenbo::sites {
namespace {

bool matchesAt(std::string_view text, std::size_t i, std::string_view find, bool caseSensitive) {
  if (text.size() - i < find.size()) return false;
  if (caseSensitive) return std::memcmp(text.data() + i, find.data(), find.size()) == 0;
  for (std::size_t k = 0; k < find.size(); ++k) {
    if (foldAscii(text[i + k]) != foldAscii(find[k])) return false;
  }
  return true;
}

Text replaceOnce(std::string_view text, const Replacement& pair, std::size_t from, int count,
                 bool caseSensitive) {
  Text out(text.substr(0, from));
  out.reserve(text.size());
  int made = 0;
  std::size_t i = from;
  while (i < text.size()) {
    if ((count < 0 || made < count) && matchesAt(text, i, pair.find, caseSensitive)) {
      out += pair.with;
      i += pair.find.size();
      ++made;
      continue;
    }
    std::size_t length = charLength(text, i);
    out.append(text.substr(i, length));
    i += length;
  }
  return out;
}

}  // namespace

Text replaceChain(std::string_view text, std::span<const Replacement> pairs, int start, int count,
                  bool caseSensitive) {
  Text current(text);
  const std::size_t from = start <= 1 ? 0 : static_cast<std::size_t>(start) - 1;
  for (const Replacement& pair : pairs) {
    if (pair.find.empty() || from >= current.size()) continue;
    current = replaceOnce(current, pair, from, count, caseSensitive);
  }
  return current;
}

Text trimSpaces(std::string_view text) {
  std::size_t begin = text.find_first_not_of(' ');
  if (begin == std::string_view::npos) return Text();
  return Text(text.substr(begin, text.find_last_not_of(' ') - begin + 1));
}

// No GBK character has an ASCII digit as its second byte, so the digit bytes are the digits.
Text digitsOnly(std::string_view text) {
  Text digits;
  for (char c : text) {
    if (c >= '0' && c <= '9') digits += c;
  }
  return digits;
}

}  // namespace quenbo::sites
