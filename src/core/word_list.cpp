#include "core/word_list.h"

#include "base/text.h"

namespace quenbo::core {

std::vector<std::string_view> splitWords(std::string_view text) {
  std::vector<std::string_view> words;
  std::size_t start = 0;
  for (std::size_t i = 0; i < text.size(); i += charLength(text, i)) {
    if (text.substr(i, kWordSeparator.size()) == kWordSeparator) {
      words.push_back(text.substr(start, i - start));
      start = i + kWordSeparator.size();
    }
  }
  if (start < text.size()) words.push_back(text.substr(start));
  return words;
}

}  // namespace quenbo::core
