// Turns one answer of a site into items and each item into a hit, by the site's kind: an
// HTML page (or a JSON answer read as text) cut into blocks with markers, or a JSON answer
// whose item list is read member by member.
#pragma once

#include <optional>
#include <vector>

#include "base/text.h"
#include "core/magnet_result.h"
#include "script/script_json.h"
#include "sites/site_plan.h"

namespace quenbo {

enum class PageVerdict {
  items,       // at least one item to look at
  noData,      // no block, or an empty or missing item list
  jsonFailed,  // the answer is not JSON
};

// One per adapter run, reused page after page; each read replaces the page before.
class PageReader final {
 public:
  explicit PageReader(const SitePlan& plan) : plan_(plan) {}
  PageReader(const PageReader&) = delete;
  PageReader& operator=(const PageReader&) = delete;

  // `body` is the page text as the request engine returned it (GBK, or the raw bytes of a
  // page that declares no other character set).
  PageVerdict read(const Text& body);
  int itemCount() const { return count_; }
  // The hit of item `index` (0-based), or nothing when the item has no link.
  std::optional<core::MagnetResult> hit(int index) const;

 private:
  std::optional<core::MagnetResult> hitOfBlock(const Text& block) const;
  std::optional<core::MagnetResult> hitOfItem(int index) const;

  const SitePlan& plan_;
  std::vector<Text> blocks_;
  ScriptJson json_;
  int count_ = 0;
};

}  // namespace quenbo
