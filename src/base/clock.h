// Tick count and local time.
#pragma once

#include <cstdint>

namespace quenbo {

// Milliseconds since an arbitrary fixed point (boot), wrapping at 2^32 like the system's
// tick count; differences of two ticks are taken in unsigned arithmetic.
std::uint32_t tickCount();

struct LocalTime {
  int year = 0, month = 0, day = 0, hour = 0, minute = 0, second = 0, millisecond = 0;
};

LocalTime localNow();

}  // namespace quenbo
