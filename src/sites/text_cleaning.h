// Cleaning the fields cut out of a page: literal replacements, trimming, digits.
#pragma once

#include <initializer_list>
#include <span>
#include <string_view>

#include "base/encoding.h"  // gbkToUtf8 and utf8ToGbk, which the adapters use as well
#include "base/text.h"
// trimBlanks: without leading and trailing ASCII spaces and full-width spaces (GBK A1 A1).
#include "net/text_pieces.h"

namespace quenbo::sites {

struct Replacement {
  std::string_view find;
  std::string_view with;
};

// Applies the pairs in order, each to the output of the one before. One pass copies the text
// before `start` unchanged, then walks it character by character: where `find` matches (ASCII
// letters folded unless `caseSensitive`) it writes `with` and skips the match, so matches
// begin on character boundaries, do not overlap, and replaced text is not searched again. A
// `count` of 0 or more limits each pass to that many replacements. An empty `find` changes
// nothing.
Text replaceChain(std::string_view text, std::span<const Replacement> pairs, int start = 1,
                  int count = -1, bool caseSensitive = false);
inline Text replaceChain(std::string_view text, std::initializer_list<Replacement> pairs,
                         int start = 1, int count = -1, bool caseSensitive = false) {
  return replaceChain(text, std::span<const Replacement>(pairs.begin(), pairs.size()), start, count,
                      caseSensitive);
}

// Without leading and trailing ASCII spaces.
Text trimSpaces(std::string_view text);

// Every digit 0 to 9 of the text, in order; "" when there is none.
Text digitsOnly(std::string_view text);

}  // namespace quenbo::sites
