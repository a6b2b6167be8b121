// Decides for each hit that reaches the result store whether it is listed, rejected as
// unwanted or rejected as a duplicate, against a copy of the filter tab's settings that the
// UI thread keeps current (core/filter_settings.h).
#pragma once

#include <cstdint>

#include "base/text.h"
#include "core/filter_settings.h"
#include "core/listed_magnets.h"
#include "core/magnet_result.h"

namespace quenbo::core {

enum class FilterVerdict { Listed, Filtered, Duplicate };

// What the filter sees of the store; valid only while the result lock is held.
struct FilterContext {
  const ListedMagnets& listed;
  std::int32_t& filteredCount;
  std::int32_t& duplicateCount;
};

class ResultFilter final {
 public:
  // Replaces the settings hits are judged against.
  void use(FilterSettings settings) { settings_ = std::move(settings); }

  // The tests run in this order and the first that rejects decides: the keyword of the
  // last search (exact search), the filter words, the show words, the duplicate index, the
  // size, given in bytes. A rejection is counted in the context before it is returned.
  FilterVerdict judge(const MagnetResult& hit, float sizeBytes, FilterContext& context) const;

 private:
  FilterSettings settings_;
};

}  // namespace quenbo::core
