#include "base/text_search.h"

#include <cstdint>
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

// The first index at or after `from` where the needle may match: a fast byte search that
// ignores character boundaries (the caller checks them).
std::size_t candidate(std::string_view text, std::string_view needle, std::size_t from,
                      bool ignoreCase) {
  if (!ignoreCase) return text.find(needle, from);
  const char first = foldAscii(needle[0]);
  const std::size_t last = text.size() - needle.size();
  for (std::size_t i = from; i <= last; ++i) {
    if (foldAscii(text[i]) == first && matchesAt(text, i, needle, true)) return i;
  }
  return std::string_view::npos;
}

// Calls `found` with each 0-based match index in order until it returns false. A match
// counts only where a character begins: the walk over the characters goes from match
// candidate to match candidate, so most bytes are only looked at by the byte search.
template <typename Found>
void scan(std::string_view text, std::string_view needle, std::size_t from, bool ignoreCase,
          Found found) {
  std::size_t i = from;  // always the start of a character
  while (i < text.size() && text.size() - i >= needle.size()) {
    std::size_t next = candidate(text, needle, i, ignoreCase);
    if (next == std::string_view::npos) return;
    while (i < next) {
      // Eight bytes below 0x80 are eight characters: skip them at once.
      std::uint64_t word = 0;
      if (next - i >= sizeof word) {
        std::memcpy(&word, text.data() + i, sizeof word);
        if ((word & 0x8080808080808080u) == 0) {
          i += sizeof word;
          continue;
        }
      }
      i += isLeadByte(static_cast<unsigned char>(text[i])) ? 2 : 1;
    }
    if (i != next) continue;  // the candidate was a trail byte
    if (!found(i)) return;
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
