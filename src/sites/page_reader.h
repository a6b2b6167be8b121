// Turns one answer of a site into items and each item into a hit, by the site's kind: an
// HTML page (or a JSON answer read as text) cut into blocks with markers, or a JSON answer
// whose item list is read member by member.
#pragma once

#include <optional>
#include <string_view>
#include <vector>

#include "base/text.h"
#include "core/magnet_result.h"
#include "script/script_json.h"
#include "sites/site_plan.h"

namespace quenbo::sites {

enum class PageVerdict {
  items,       // at least one item to look at
  noData,      // no block, or an empty or missing item list
  jsonFailed,  // the answer is not JSON
};

// Whether `link` may be handed over as a hit's link: it starts with "magnet:?" (ASCII case
// ignored), holds "magnet:" only that once, and holds no blank, control character or DEL.
bool isMagnetLink(std::string_view link);

// The link as a site wrote it, with the blanks at its ends taken off and each blank in its
// parameters after the first "&" percent-encoded ("&dn=a b" becomes "&dn=a%20b"): a title in
// a link is often written raw, and the hit is kept. A blank before them (in the info hash)
// and control characters stay, and isMagnetLink refuses them.
Text encodeLinkBlanks(std::string_view link);

// One per adapter run, reused page after page; each read replaces the page before.
class PageReader final {
 public:
  // The most items taken from one page; a page with more gives these and says cutShort().
  static constexpr int kItemLimit = 2000;

  explicit PageReader(const SitePlan& plan) : plan_(plan) {}
  PageReader(const PageReader&) = delete;
  PageReader& operator=(const PageReader&) = delete;

  // `body` is the page text as the request engine returned it (GBK, or the raw bytes of a
  // page that declares no other character set).
  PageVerdict read(const Text& body);
  int itemCount() const { return count_; }
  // Whether the page held more than kItemLimit items, of which only the first are given.
  bool cutShort() const { return cutShort_; }
  // Whether the last answer was JSON without its item list at all (null counts as an empty
  // list): the API has most likely changed its answer.
  bool listMissing() const { return listMissing_; }
  // The hit of item `index` (0-based), or nothing when the item has no link or one that
  // is not a magnet link.
  std::optional<core::MagnetResult> hit(int index) const;

 private:
  std::optional<core::MagnetResult> hitOfBlock(const Text& block) const;
  std::optional<core::MagnetResult> hitOfItem(int index) const;

  const SitePlan& plan_;
  std::vector<Text> blocks_;
  script::ScriptJson json_;
  int count_ = 0;
  bool cutShort_ = false;
  bool listMissing_ = false;
};

}  // namespace quenbo::sites
