#include "sites/text_cutting.h"

#include "script/quote_placeholder.h"

namespace quenbo::sites {
namespace {

// The bytes from 1-based position `from` up to (not including) position `to`.
Text span(std::string_view text, int from, int to) {
  return Text(text.substr(static_cast<std::size_t>(from - 1), static_cast<std::size_t>(to - from)));
}

int endOf(int position, std::string_view marker) {
  return position + static_cast<int>(marker.size());
}

}  // namespace

Text textBetween(std::string_view text, std::string_view left, std::string_view right, int start,
                 bool ignoreCase) {
  const Text leftMarker = script::expandQuotePlaceholder(left);
  const Text rightMarker = script::expandQuotePlaceholder(right);
  int l = findText(text, leftMarker, start, ignoreCase);
  if (l == -1) return Text();
  int d = endOf(l, leftMarker);
  int r = findText(text, rightMarker, d, ignoreCase);
  if (r < d) return Text();  // missing, or an empty marker (found at 1)
  return span(text, d, r);
}

int cutAll(std::string_view text, std::string_view left, std::string_view right,
           std::vector<Text>& pieces, const CutOptions& options) {
  pieces.clear();
  if (left.empty() || right.empty()) return 0;  // an empty marker would never move on
  // Memory the pieces may take; those of an ordinary page hardly overlap.
  const std::size_t budget = 4 * text.size() + (std::size_t{16} << 20);
  std::size_t spent = 0;
  int d = options.start;
  for (;;) {
    if (options.maxPieces > 0 && pieces.size() >= static_cast<std::size_t>(options.maxPieces)) {
      break;
    }
    int l = findText(text, left, d, options.ignoreCase);
    if (l == -1) break;
    d = endOf(l, left);
    int r = findText(text, right, d, options.ignoreCase);
    if (r == -1) break;
    spent += sizeof(Text) + static_cast<std::size_t>(r - d);
    if (spent > budget) {
      pieces.clear();
      return 0;
    }
    Text piece;
    piece.reserve(left.size() + options.prefix.size() + static_cast<std::size_t>(r - d) +
                  options.suffix.size() + right.size());
    if (options.includeLeft) piece += left;
    piece += options.prefix;
    piece += text.substr(static_cast<std::size_t>(d - 1), static_cast<std::size_t>(r - d));
    piece += options.suffix;
    if (options.includeRight) piece += right;
    if (options.maxLength == 0 || piece.size() < static_cast<std::size_t>(options.maxLength)) {
      pieces.push_back(std::move(piece));
    }
  }
  return static_cast<int>(pieces.size());
}

Text textAfterLast(std::string_view text, std::string_view marker, bool ignoreCase) {
  int p = findLastText(text, marker, ignoreCase);
  if (p == -1) return Text();
  return Text(text.substr(static_cast<std::size_t>(endOf(p, marker) - 1)));
}

Text textBefore(std::string_view text, std::string_view marker, int start, bool ignoreCase) {
  int p = findText(text, marker, start, ignoreCase);
  if (p == -1) return Text();
  return Text(text.substr(0, static_cast<std::size_t>(p - 1)));
}

int findBytes(std::string_view text, std::string_view needle, int start, bool ignoreCase) {
  if (text.empty() || needle.empty()) return -1;
  std::size_t from = start <= 0 ? 0 : static_cast<std::size_t>(start) - 1;
  std::size_t found = std::string_view::npos;
  if (ignoreCase) {
    found = lowerAscii(text).find(lowerAscii(needle), from);
  } else {
    found = text.find(needle, from);
  }
  return found == std::string_view::npos ? -1 : static_cast<int>(found) + 1;
}

}  // namespace quenbo::sites
