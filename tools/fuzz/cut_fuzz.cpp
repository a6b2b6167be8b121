// cutAll, textBetween, replaceChain and the other cutting and cleaning operations over any
// page and markers. Parts: text, left marker, right marker, prefix, then replacement pairs.
#include "base/text_search.h"
#include "fuzz_input.h"
#include "sites/text_cleaning.h"
#include "sites/text_cutting.h"

namespace {

using quenbo::Text;
using quenbo::fuzz::check;

// What the character-aware search must find: a walk over the characters that compares at
// each one.
int referenceFind(std::string_view text, std::string_view needle, std::size_t from,
                  bool ignoreCase) {
  if (needle.empty()) return text.empty() ? -1 : 1;
  for (std::size_t i = from; i < text.size() && text.size() - i >= needle.size();) {
    bool match = true;
    for (std::size_t k = 0; k < needle.size() && match; ++k) {
      char a = text[i + k], b = needle[k];
      match = ignoreCase ? quenbo::foldAscii(a) == quenbo::foldAscii(b) : a == b;
    }
    if (match) return static_cast<int>(i) + 1;
    if (quenbo::isLeadByte(static_cast<unsigned char>(text[i])) && i + 1 >= text.size()) break;
    i += quenbo::charLength(text, i);
  }
  return -1;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  quenbo::fuzz::FuzzInput input(data, size);
  const Text& text = input.part(0);
  const Text& left = input.part(1);
  const Text& right = input.part(2);
  const bool ignoreCase = input.flag(0);
  const int start = (input.flags >> 4) - 2;

  check(quenbo::findText(text, left, start, ignoreCase) ==
            referenceFind(text, left, start <= 0 ? 0 : static_cast<std::size_t>(start) - 1,
                          ignoreCase),
        "findText agrees with a character walk");

  std::vector<Text> plain;
  int count = quenbo::sites::cutAll(text, left, right, plain, {.ignoreCase = ignoreCase});
  check(count == static_cast<int>(plain.size()), "cutAll counts its pieces");
  for (const Text& piece : plain) check(text.find(piece) != Text::npos, "a piece is cut out");
  if (count > 0 && left.find('#') == Text::npos && right.find('#') == Text::npos) {
    check(quenbo::sites::textBetween(text, left, right, 1, ignoreCase) == plain[0],
          "textBetween gives the first piece");
  }

  std::vector<Text> dressed;
  quenbo::sites::cutAll(text, left, right, dressed,
                 {.ignoreCase = ignoreCase,
                  .maxLength = input.flag(1) ? 40 : 0,
                  .prefix = input.part(3),
                  .suffix = "s",
                  .includeLeft = input.flag(2),
                  .includeRight = input.flag(3),
                  .start = start});
  check(dressed.size() <= plain.size() || start > 1, "options never add pieces");

  quenbo::sites::textAfterLast(text, left, ignoreCase);
  quenbo::sites::textBefore(text, left, start, ignoreCase);
  quenbo::sites::findBytes(text, left, start, ignoreCase);

  std::vector<quenbo::sites::Replacement> pairs;
  // Replacements of at most four bytes: the adapters' pairs are fixed and short, and longer
  // ones would only let five chained passes multiply the text past any memory.
  for (std::size_t i = 3; i + 1 < input.parts.size() && pairs.size() < 5; i += 2) {
    pairs.push_back({input.parts[i], std::string_view(input.parts[i + 1]).substr(0, 4)});
  }
  Text replaced = quenbo::sites::replaceChain(text, pairs, start, input.flag(1) ? 2 : -1, input.flag(2));
  quenbo::sites::Replacement same{left, left};
  check(quenbo::sites::replaceChain(text, {same}, start, -1, true) == text, "replacing x by x is a no-op");

  Text blanks = quenbo::net::trimBlanks(replaced);
  check(quenbo::net::trimBlanks(blanks) == blanks, "trimBlanks is idempotent");
  Text spaces = quenbo::sites::trimSpaces(text);
  check(spaces.empty() || (spaces.front() != ' ' && spaces.back() != ' '), "trimSpaces trims");
  return 0;
}
