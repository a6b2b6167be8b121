#include "site_simulator/url_pattern.h"

#include "site_simulator/page_text.h"

namespace quenbo::simulator {
namespace {

bool isDigit(char c) { return c >= '0' && c <= '9'; }

bool fitsKeyword(char c) { return c != '/' && c != '?' && c != '&' && c != '#'; }

// Tries every length a placeholder may take, shortest first, and keeps the first split that
// lets the rest of the pattern match.
bool matchFrom(std::string_view pattern, std::string_view target, PatternMatch& out) {
  if (pattern.empty()) return target.empty();
  if (pattern.front() != '{') {
    return !target.empty() && target.front() == pattern.front() &&
           matchFrom(pattern.substr(1), target.substr(1), out);
  }
  std::size_t close = pattern.find('}');
  std::string_view name = pattern.substr(1, close - 1);
  std::string_view rest = pattern.substr(close + 1);
  bool digits = name == "P" || name == "T";
  if (!digits && name != "KW") return false;
  for (std::size_t length = digits ? 1 : 0; length <= target.size(); ++length) {
    if (length > 0) {
      char c = target[length - 1];
      if (digits ? !isDigit(c) : !fitsKeyword(c)) return false;
    }
    if (!matchFrom(rest, target.substr(length), out)) continue;
    std::string_view piece = target.substr(0, length);
    if (name == "KW") out.encodedKeyword = std::string(piece);
    if (name == "T") out.timestamp = std::string(piece);
    if (name == "P") {
      if (piece.size() > 6) return false;
      out.page = std::stoi(std::string(piece));
    }
    return true;
  }
  return false;
}

}  // namespace

std::optional<PatternMatch> matchUrlPattern(std::string_view pattern, std::string_view target) {
  PatternMatch match;
  if (!matchFrom(pattern, target, match)) return std::nullopt;
  match.keyword = percentDecode(match.encodedKeyword);
  return match;
}

}  // namespace quenbo::simulator
