#include "base/text_search.h"

#include <cstring>

#include "base/text.h"

namespace quenbo {
namespace {

bool matchesAt(std::string_view text, std::size_t i, std::string_view needle, bool ignoreCase) {
  if (!ignoreCase) return std::memcmp(text.data() + i, needle.data(), needle.size()) == 0;
  for (std::size_t k = 0; k < needle.size(); ++k) {
    if (foldAscii(text[i + k]) != foldAscii(needle[k])) return false;
  }
  return true;
}

// Calls `found` with each 0-based match index in order until it returns false.
template <typename Found>
void scan(std::string_view text, std::string_view needle, std::size_t from, bool ignoreCase,
          Found found) {
  std::size_t i = from;
  while (i < text.size() && text.size() - i >= needle.size()) {
    if (matchesAt(text, i, needle, ignoreCase) && !found(i)) return;
    if (isLeadByte(static_cast<unsigned char>(text[i]))) {
      if (i + 1 >= text.size()) return;  // a lead byte without its trail byte ends the text
      i += 2;
    } else {
      i += 1;
    }
  }
}

}  // namespace

int findText(std::string_view text, std::string_view needle, int start, bool ignoreCase) {
  if (needle.empty()) return text.empty() ? -1 : 1;
  std::size_t from = start <= 0 ? 0 : static_cast<std::size_t>(start) - 1;
  if (from >= text.size()) return -1;
  int position = -1;
  scan(text, needle, from, ignoreCase, [&](std::size_t i) {
    position = static_cast<int>(i) + 1;
    return false;
  });
  return position;
}

int findLastText(std::string_view text, std::string_view needle, bool ignoreCase) {
  if (needle.empty()) return text.empty() ? -1 : 1;
  int position = -1;
  scan(text, needle, 0, ignoreCase, [&](std::size_t i) {
    position = static_cast<int>(i) + 1;
    return true;
  });
  return position;
}

}  // namespace quenbo
