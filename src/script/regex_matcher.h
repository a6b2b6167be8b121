// One regular expression run over one subject text, with access to its matches and groups.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

#include "base/text.h"

namespace quenbo::script {

// Patterns and subjects are GBK texts. Matching works on characters, not bytes: "." and
// character classes take a whole GBK character, and a match never starts inside one. The
// syntax is the familiar script-style one (classes, lazy quantifiers, groups, \uHHHH); "."
// never matches a line break (CR or LF).
//
// Match and group numbers are 1-based. Nothing throws: an invalid pattern, a match that
// exceeds the backtracking limit or a subject too big to hold all its matches makes
// `execute` return false, after which `matchCount` is 0 and every text is empty.
class RegexMatcher final {
 public:
  // `global` collects every match, otherwise only the first. With `quotePlaceholder` every
  // "#引号" in the pattern stands for a double quote.
  bool execute(std::string_view pattern, std::string_view subject, bool caseSensitive = false,
               bool multiline = true, bool global = true, bool quotePlaceholder = false);

  // The pattern of the last `execute` (placeholders expanded); empty before the first.
  Text getPattern() const { return pattern_; }

  // The subject of the last `execute` with every match replaced by `replacement`, in which
  // $& is the match, $1 to $99 a group, $` and $' the text before and after it, $$ a "$".
  // Empty when the last `execute` failed.
  Text replace(std::string_view replacement) const;

  int matchCount() const { return static_cast<int>(matchTotal_); }

  // The text of match `match`. With `position` given, it receives the 0-based byte offset of
  // the match in the subject (-1 when there is no such match).
  Text matchText(int match, int* position = nullptr) const;

  // The text of group `group` of match `match`; empty for a group that took no part.
  Text groupText(int match, int group, int* position = nullptr) const;

  // The number of groups of the pattern, or 0 when nothing matched.
  int groupCount() const;

 private:
  void clear();
  // The [begin, end) byte range in subjectUtf8_ of group `group` (0 = whole match) of match
  // `match` (both 0-based); false when out of range or unset.
  bool range(std::size_t match, std::size_t group, std::size_t& begin, std::size_t& end) const;
  Text piece(std::size_t match, std::size_t group, int* position) const;

  Text pattern_;
  bool succeeded_ = false;
  std::string subjectUtf8_;  // the subject as matched
  std::size_t groups_ = 0;   // capture groups of the pattern
  std::size_t matchTotal_ = 0;
  // (groups_ + 1) begin/end pairs per match, offsets into subjectUtf8_.
  std::vector<std::size_t> offsets_;
};

}  // namespace quenbo::script
