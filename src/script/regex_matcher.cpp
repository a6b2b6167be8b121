#include "script/regex_matcher.h"

#define PCRE2_CODE_UNIT_WIDTH 8
#include <pcre2.h>

#include <chrono>
#include <map>
#include <memory>
#include <tuple>

#include "base/encoding.h"
#include "script/quote_placeholder.h"

namespace quenbo::script {
namespace {

// Backtracking steps one search may take before it gives up; a pattern that backtracks
// catastrophically fails in milliseconds instead of hanging the worker.
constexpr std::uint32_t kMatchLimit = 1'000'000;
// A global run is many searches; together they may not take longer than this.
constexpr auto kRunDeadline = std::chrono::seconds(2);
// Match and group offsets kept at most (64 MB): beyond that `execute` fails.
constexpr std::size_t kMaxOffsets = std::size_t{8} << 20;

struct Pcre2Free {
  void operator()(pcre2_code* p) const { pcre2_code_free(p); }
  void operator()(pcre2_match_data* p) const { pcre2_match_data_free(p); }
  void operator()(pcre2_compile_context* p) const { pcre2_compile_context_free(p); }
  void operator()(pcre2_match_context* p) const { pcre2_match_context_free(p); }
};
template <typename T>
using Pcre2Ptr = std::unique_ptr<T, Pcre2Free>;

Pcre2Ptr<pcre2_code> compile(const std::string& pattern, bool caseSensitive, bool multiline) {
  Pcre2Ptr<pcre2_compile_context> context(pcre2_compile_context_create(nullptr));
  if (!context) return nullptr;
  pcre2_set_newline(context.get(), PCRE2_NEWLINE_ANYCRLF);
  // Script-style escapes (\uHHHH) and back references to unset groups matching nothing.
  std::uint32_t options = PCRE2_UTF | PCRE2_ALT_BSUX | PCRE2_MATCH_UNSET_BACKREF;
  if (!caseSensitive) options |= PCRE2_CASELESS;
  if (multiline) options |= PCRE2_MULTILINE;
  int error = 0;
  PCRE2_SIZE errorOffset = 0;
  return Pcre2Ptr<pcre2_code>(pcre2_compile(reinterpret_cast<PCRE2_SPTR>(pattern.data()),
                                            pattern.size(), options, &error, &errorOffset,
                                            context.get()));
}

// A pattern ready to run: its code, and the match data and context its runs reuse.
struct Compiled {
  Pcre2Ptr<pcre2_code> code;
  Pcre2Ptr<pcre2_match_data> data;
  Pcre2Ptr<pcre2_match_context> context;
  std::uint32_t captures = 0;
};

// Compiling, and the match data's first working memory, cost more than most runs here: the
// same few patterns run on every page (the charset look among them). Each thread keeps the
// patterns it has run, up to this many; then it starts afresh.
constexpr std::size_t kKeptPatterns = 64;

const Compiled* compiled(const std::string& patternUtf8, bool caseSensitive, bool multiline) {
  thread_local std::map<std::tuple<std::string, bool, bool>, Compiled> kept;
  auto key = std::make_tuple(patternUtf8, caseSensitive, multiline);
  if (auto it = kept.find(key); it != kept.end()) return &it->second;
  Compiled ready;
  ready.code = compile(patternUtf8, caseSensitive, multiline);
  if (!ready.code) return nullptr;
  ready.context.reset(pcre2_match_context_create(nullptr));
  ready.data.reset(pcre2_match_data_create_from_pattern(ready.code.get(), nullptr));
  if (!ready.context || !ready.data) return nullptr;
  pcre2_set_match_limit(ready.context.get(), kMatchLimit);
  pcre2_pattern_info(ready.code.get(), PCRE2_INFO_CAPTURECOUNT, &ready.captures);
  if (kept.size() >= kKeptPatterns) kept.clear();
  return &kept.emplace(std::move(key), std::move(ready)).first->second;
}

// Offset of the character after the one at `at` in valid UTF-8; a CR LF pair counts as one.
std::size_t nextCharacter(const std::string& s, std::size_t at) {
  if (s[at] == '\r' && at + 1 < s.size() && s[at + 1] == '\n') return at + 2;
  ++at;
  while (at < s.size() && (static_cast<unsigned char>(s[at]) & 0xC0) == 0x80) ++at;
  return at;
}

}  // namespace

void RegexMatcher::clear() {
  succeeded_ = false;
  subjectUtf8_.clear();
  groups_ = 0;
  matchTotal_ = 0;
  offsets_.clear();
}

bool RegexMatcher::execute(std::string_view pattern, std::string_view subject, bool caseSensitive,
                           bool multiline, bool global, bool quotePlaceholder) {
  clear();
  pattern_ = quotePlaceholder ? expandQuotePlaceholder(pattern) : Text(pattern);
  const Compiled* ready = compiled(gbkToUtf8(pattern_), caseSensitive, multiline);
  if (!ready) return false;
  pcre2_code* code = ready->code.get();
  pcre2_match_data* data = ready->data.get();
  groups_ = ready->captures;

  subjectUtf8_ = gbkToUtf8(subject);
  const auto* text = reinterpret_cast<PCRE2_SPTR>(subjectUtf8_.data());
  const std::size_t length = subjectUtf8_.size();
  const auto deadline = std::chrono::steady_clock::now() + kRunDeadline;
  std::size_t start = 0;
  std::uint32_t options = 0;
  std::uint32_t utfCheck = 0;  // the subject is checked once, on the first search
  for (;;) {
    int rc =
        pcre2_match(code, text, length, start, options | utfCheck, data, ready->context.get());
    utfCheck = PCRE2_NO_UTF_CHECK;
    if (rc == PCRE2_ERROR_NOMATCH) {
      if (options == 0 || start >= length) break;
      // No non-empty match where the last empty one was: step over one character.
      start = nextCharacter(subjectUtf8_, start);
      options = 0;
      continue;
    }
    const PCRE2_SIZE* found = pcre2_get_ovector_pointer(data);
    if (rc < 0 || found[0] > found[1]) {
      clear();
      return false;
    }
    for (std::size_t g = 0; g <= groups_; ++g) {
      bool set = g < static_cast<std::size_t>(rc) && found[2 * g] != PCRE2_UNSET;
      offsets_.push_back(set ? found[2 * g] : PCRE2_UNSET);
      offsets_.push_back(set ? found[2 * g + 1] : PCRE2_UNSET);
    }
    ++matchTotal_;
    if (!global) break;
    if (offsets_.size() > kMaxOffsets || std::chrono::steady_clock::now() > deadline) {
      clear();
      return false;
    }
    start = found[1];
    options = 0;
    if (found[0] == found[1]) {
      if (start >= length) break;
      options = PCRE2_NOTEMPTY_ATSTART | PCRE2_ANCHORED;
    }
  }
  succeeded_ = true;
  return true;
}

bool RegexMatcher::range(std::size_t match, std::size_t group, std::size_t& begin,
                         std::size_t& end) const {
  if (match >= matchTotal_ || group > groups_) return false;
  std::size_t at = (match * (groups_ + 1) + group) * 2;
  begin = offsets_[at];
  end = offsets_[at + 1];
  return begin != PCRE2_UNSET;
}

Text RegexMatcher::piece(std::size_t match, std::size_t group, int* position) const {
  std::size_t begin = 0, end = 0;
  if (!range(match, group, begin, end)) {
    if (position) *position = -1;
    return Text();
  }
  if (position) *position = static_cast<int>(utf8ToGbk(subjectUtf8_.substr(0, begin)).size());
  return utf8ToGbk(subjectUtf8_.substr(begin, end - begin));
}

Text RegexMatcher::matchText(int match, int* position) const {
  if (match < 1) {
    if (position) *position = -1;
    return Text();
  }
  return piece(static_cast<std::size_t>(match) - 1, 0, position);
}

Text RegexMatcher::groupText(int match, int group, int* position) const {
  if (match < 1 || group < 1) {
    if (position) *position = -1;
    return Text();
  }
  return piece(static_cast<std::size_t>(match) - 1, static_cast<std::size_t>(group), position);
}

int RegexMatcher::groupCount() const {
  return matchTotal_ > 0 ? static_cast<int>(groups_) : 0;
}

Text RegexMatcher::replace(std::string_view replacement) const {
  if (!succeeded_) return Text();
  const std::string with = gbkToUtf8(replacement);
  const std::string& s = subjectUtf8_;
  std::string out;
  std::size_t copied = 0;
  for (std::size_t m = 0; m < matchTotal_; ++m) {
    std::size_t begin = 0, end = 0;
    range(m, 0, begin, end);
    out.append(s, copied, begin - copied);
    for (std::size_t i = 0; i < with.size(); ++i) {
      char c = with[i];
      char next = i + 1 < with.size() ? with[i + 1] : '\0';
      if (c != '$' || next == '\0') {
        out.push_back(c);
      } else if (next == '$') {
        out.push_back('$');
        ++i;
      } else if (next == '&') {
        out.append(s, begin, end - begin);
        ++i;
      } else if (next == '`') {
        out.append(s, 0, begin);
        ++i;
      } else if (next == '\'') {
        out.append(s, end);
        ++i;
      } else if (next >= '0' && next <= '9') {
        // Two digits when they name an existing group, else one.
        std::size_t group = static_cast<std::size_t>(next - '0');
        std::size_t used = 1;
        char third = i + 2 < with.size() ? with[i + 2] : '\0';
        if (third >= '0' && third <= '9' && group * 10 + (third - '0') >= 1 &&
            group * 10 + static_cast<std::size_t>(third - '0') <= groups_) {
          group = group * 10 + static_cast<std::size_t>(third - '0');
          used = 2;
        }
        if (group < 1 || group > groups_) {
          out.push_back('$');
          continue;
        }
        std::size_t groupBegin = 0, groupEnd = 0;
        if (range(m, group, groupBegin, groupEnd)) out.append(s, groupBegin, groupEnd - groupBegin);
        i += used;
      } else {
        out.push_back('$');
      }
    }
    copied = end;
  }
  out.append(s, copied);
  return utf8ToGbk(out);
}

}  // namespace quenbo::script
