// Cutting result pages with marker texts: pages into hit blocks, blocks into fields.
// Positions are 1-based byte positions, -1 means not found, and a start of 0 or below
// means 1. Marker searches walk GBK characters (base/text_search.h), so a marker never
// matches on the trail byte of a character.
#pragma once

#include <string_view>
#include <vector>

#include "base/text.h"
#include "base/text_search.h"

namespace quenbo::sites {

// The text between the first `left` at or after `start` and the next `right` after it; ""
// when either is missing. In both markers "#引号" stands for a double quote.
Text textBetween(std::string_view text, std::string_view left, std::string_view right,
                 int start = 1, bool ignoreCase = false);

struct CutOptions {
  bool ignoreCase = false;
  int maxLength = 0;          // keep only pieces shorter than this; 0 keeps all
  Text prefix{};              // put before every piece
  Text suffix{};              // put after every piece
  bool includeLeft = false;   // put `left` before the prefix
  bool includeRight = false;  // put `right` after the suffix
  int start = 1;
  int maxPieces = 0;  // stop after this many pieces; 0 cuts all
};

// Replaces `pieces` by every stretch between a `left` and the next `right` and returns how
// many there are. The next `left` is looked for just after the previous one, not after its
// `right`: with equal markers every stretch between two occurrences is a piece, and a stretch
// whose `right` is missing gives none. A page whose pieces would take more than four times
// its own size (crafted to overlap, or millions of empty pieces) gives none at all.
int cutAll(std::string_view text, std::string_view left, std::string_view right,
           std::vector<Text>& pieces, const CutOptions& options = {});

// Everything after the last `marker`; "" without one.
Text textAfterLast(std::string_view text, std::string_view marker, bool ignoreCase = false);

// Everything before the first `marker` at or after `start`; "" without one (not the text).
Text textBefore(std::string_view text, std::string_view marker, int start = 1,
                bool ignoreCase = false);

// A plain byte search that ignores character boundaries; -1 for an empty text or needle.
int findBytes(std::string_view text, std::string_view needle, int start = 1,
              bool ignoreCase = false);

}  // namespace quenbo::sites
