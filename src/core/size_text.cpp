#include "core/size_text.h"

#include <cmath>

#include "base/numbers.h"
#include "base/text_search.h"

namespace quenbo::core {

float sizeToBytes(std::string_view size) {
  struct Unit { std::string_view name; int exponent; };
  constexpr Unit kUnits[] = {{"GB", 3}, {"MB", 2}, {"KB", 1}};
  for (const Unit& unit : kUnits) {
    if (findText(size, unit.name) == -1) continue;
    // The number ends where the unit first occurs, in any case: "1gb 2GB" reads 1.
    int at = findText(size, unit.name, 1, true);
    float number = static_cast<float>(textToNumber(size.substr(0, at - 1)));
    double bytes = static_cast<double>(number) * std::pow(1024.0, unit.exponent);
    return static_cast<float>(std::round(bytes * 100.0) / 100.0);
  }
  return 0.0f;
}

}  // namespace quenbo::core
