// The hits a simulated site shows: generated from (site, keyword, page, item) alone, so the
// same request always gets the same page and a test can ask what a page holds.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace quenbo::simulator {

// One result as the site shows it, in UTF-8, without the blanks the markup puts around the
// values. Fields a site does not show are empty.
struct SimulatedItem {
  std::string title;     // with the site's highlight or badge markup, HTML-escaped on HTML pages
  std::string infoHash;  // 40 hexadecimal digits, in the case the site writes them
  std::string size;      // e.g. "1.25 GB", "1.25GB", "1.2G", "未知", "1.25\u00A0GB"
  std::string heat;      // decimal digits
  std::string date;      // as the site writes it (idopea pads it with blanks)
  std::string link;      // JSON sites: the magnet member as sent; empty on HTML pages
};

enum class SizeForm {
  spaced,         // 1.25 GB, 356.7 MB, 512 KB
  compact,        // 1.25GB
  shortGiga,      // 1.25G, 356.7MB, 512KB
  noBreakSpace,   // 1.25, U+00A0, GB (the character GBK cannot hold)
};

// How one site dresses its results; each site's template spells its own out.
struct ContentStyle {
  bool htmlPage = true;  // the keyword is HTML-escaped inside titles
  std::string highlightOpen, highlightClose;  // around the keyword in every other title
  bool splitHighlight = false;  // the keyword highlighted in two pieces: <b>ab</b><b>c</b>
  std::string badge;            // markup put before every third title
  SizeForm sizeForm = SizeForm::spaced;
  bool lowerCaseUnits = false;  // every fourth size writes its unit in lower case
  bool unknownSizes = false;    // every fourth size reads 未知
  bool upperCaseHash = false;
  bool heat = true;
  bool date = true;
  bool dateTime = false;         // "2019-12-01 08:30:00" instead of "2019-12-01"
  bool paddedDates = false;      // ten blanks before, nine after
  bool linkWithTrackers = false;  // JSON link followed by &dn= and &tr= parameters
};

// Every third item (items 1, 4, 7, ...) is the same resource on every site: same info hash,
// same name and size, so duplicates across sites can be seen.
std::vector<SimulatedItem> makePageItems(std::string_view site, const ContentStyle& style,
                                         std::string_view keyword, int page, int count);

}  // namespace quenbo::simulator
