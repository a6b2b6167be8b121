#include "core/size_text.h"

#include <gtest/gtest.h>

#include "base/encoding.h"

namespace quenbo::core {
namespace {

TEST(SizeToBytes, UnitsAndNumbers) {
  struct Case { Text size; float bytes; };
  const Case cases[] = {
      {"1.5 GB", 1.5f * 1024 * 1024 * 1024},
      {"700 MB", 700.0f * 1024 * 1024},
      {"512 KB", 512.0f * 1024},
      {"2.1 TB", 0},            // no recognised unit
      {"1.5 gb", 0},            // units are found case-sensitively
      {"1024 B", 0},
      {"", 0},
      {"GB", 0},                // no number
      {"1,5 GB", 1024.0f * 1024 * 1024},  // a decimal comma ends the number
      {"１．５GB"_gbk, 1.5f * 1024 * 1024 * 1024},
      {"3 MB 2 GB", 3.0f * 1024 * 1024 * 1024},  // GB decides, the number is the prefix
      {"1gb 2GB", 1.0f * 1024 * 1024 * 1024},    // the prefix ends at the first "gb" in any case
      {"0.1 KB", 102.4f},
  };
  for (const auto& c : cases) EXPECT_FLOAT_EQ(sizeToBytes(c.size), c.bytes) << c.size;
}

TEST(SizeToBytes, NarrowsToSinglePrecisionBeforeScaling) {
  // 1.1 is not exact in single precision: the scaled value carries that error.
  float expected = static_cast<float>(static_cast<double>(1.1f) * 1024 * 1024 * 1024);
  EXPECT_EQ(sizeToBytes("1.1 GB"), expected);
}

}  // namespace
}  // namespace quenbo::core
