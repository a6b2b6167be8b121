// What makes one site's adapter differ from another's: kind, URL pattern, and for the sites
// read with markers the block cut and the field rules. Which sites exist, their labels and
// their order come from the site table (core/site_table.h): a row's index is its place there.
#pragma once

#include <string_view>
#include <vector>

#include "base/text.h"
#include "core/site_table.h"
#include "sites/field_rule.h"

namespace quenbo::sites {

enum class SiteKind {
  html,            // a result page cut into blocks with markers
  resultListJson,  // a JSON answer with its items in data.results
  dataListJson,    // a JSON answer with its items in data.data
  jsonCutAsText,   // a JSON answer cut into blocks with markers, like a page
};

// Where a site's host comes from in the hosts file.
enum class HostSource {
  own,   // the site's own key in [sites]
  apiA,  // the shared JSON search API A
  apiB,  // the shared JSON search API B
};

// The markers that cut an answer into blocks: every stretch between `left` and the next
// `right`, with `prefix` put before and `suffix` after it.
struct BlockCut {
  Text left{}, right{}, prefix{}, suffix{};
};

// In URL patterns: the encoded keyword, the page number and a millisecond time stamp.
inline constexpr std::string_view kKeywordToken = "{KW}";
inline constexpr std::string_view kPageToken = "{P}";
inline constexpr std::string_view kTimeToken = "{T}";
// In markers: the host the site writes into its own links.
inline constexpr std::string_view kMarkerHostToken = "{host}";

struct SiteRow {
  int index = 0;            // the site's place in the site table
  std::string_view label;  // UTF-8, from the site table
  Text logLabel;           // GBK: written in the site's log lines
  Text hitLabel;           // GBK: the site text of every hit
  bool shown = false;      // whether the site's check box is visible, from the site table
  SiteKind kind = SiteKind::html;
  HostSource host = HostSource::own;
  std::string_view scheme;  // "http://" or "https://"; empty when the host carries it
  std::string_view path;    // path and query with the tokens above
  BlockCut cut;             // html and jsonCutAsText
  Text linkPrefix;          // put before the link part of a block
  Text itemList;            // JSON: the path of the item array
  FieldRule title, link, size, heat, date;
};

class SiteCatalogue final {
 public:
  SiteCatalogue() = delete;

  // One row per site of the site table, in its order; built once, then shared by every
  // thread.
  static const std::vector<SiteRow>& rows();
  static const SiteRow& row(int index) { return rows()[static_cast<std::size_t>(index)]; }
};

}  // namespace quenbo::sites
