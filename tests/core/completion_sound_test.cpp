#include "core/completion_sound.h"

#include <gtest/gtest.h>

#include <cstdint>

namespace quenbo::core {
namespace {

std::uint32_t read32(const Bytes& b, std::size_t at) {
  return static_cast<unsigned char>(b[at]) | static_cast<unsigned char>(b[at + 1]) << 8 |
         static_cast<unsigned char>(b[at + 2]) << 16 |
         static_cast<std::uint32_t>(static_cast<unsigned char>(b[at + 3])) << 24;
}

TEST(CompletionSound, IsAPcmWaveOfTheExpectedShape) {
  const Bytes& wave = completionSound();
  ASSERT_EQ(wave.size(), 140044u);
  EXPECT_EQ(wave.substr(0, 4), "RIFF");
  EXPECT_EQ(read32(wave, 4), 140036u);
  EXPECT_EQ(wave.substr(8, 8), "WAVEfmt ");
  EXPECT_EQ(read32(wave, 20) & 0xFFFF, 1u);          // PCM
  EXPECT_EQ(read32(wave, 20) >> 16, 2u);             // channels
  EXPECT_EQ(read32(wave, 24), 22050u);               // samples per second
  EXPECT_EQ(read32(wave, 32) >> 16, 16u);            // bits per sample
  EXPECT_EQ(wave.substr(36, 4), "data");
  EXPECT_EQ(read32(wave, 40), 140000u);
  bool audible = false;
  for (std::size_t i = 44; i < wave.size(); ++i) audible |= wave[i] != 0;
  EXPECT_TRUE(audible);
}

}  // namespace
}  // namespace quenbo::core
