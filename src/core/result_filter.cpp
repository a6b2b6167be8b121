#include "core/result_filter.h"

namespace quenbo::core {

FilterVerdict ResultFilter::judge(const MagnetResult& /*hit*/, FilterContext& /*context*/) const {
  return FilterVerdict::Listed;
}

}  // namespace quenbo::core
