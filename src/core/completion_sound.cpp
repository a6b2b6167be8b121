#include "core/completion_sound.h"

#include <cmath>
#include <cstdint>
#include <numbers>

namespace quenbo::core {
namespace {

constexpr std::uint32_t kSampleRate = 22050;
constexpr std::uint16_t kChannels = 2;
constexpr std::uint16_t kBitsPerSample = 16;
constexpr std::uint32_t kDataBytes = 140000;  // 35,000 frames: about 1.6 seconds
constexpr std::uint32_t kFrames = kDataBytes / (kChannels * kBitsPerSample / 8);

void put16(Bytes& out, std::uint16_t v) {
  out += static_cast<char>(v & 0xFF);
  out += static_cast<char>(v >> 8);
}

void put32(Bytes& out, std::uint32_t v) {
  put16(out, static_cast<std::uint16_t>(v & 0xFFFF));
  put16(out, static_cast<std::uint16_t>(v >> 16));
}

// Two bell-like notes (E6, then A6 a fifth of a second later), each a sine with a quieter
// octave overtone and an exponential decay.
double chime(double t) {
  auto note = [](double t, double frequency) {
    if (t < 0) return 0.0;
    double attack = std::min(1.0, t / 0.005);
    double envelope = attack * std::exp(-3.5 * t);
    double w = 2 * std::numbers::pi * frequency * t;
    return envelope * (std::sin(w) + 0.25 * std::sin(2 * w));
  };
  return 0.32 * note(t, 1318.51) + 0.32 * note(t - 0.2, 1760.0);
}

Bytes synthesise() {
  Bytes wave;
  wave.reserve(44 + kDataBytes);
  wave += "RIFF";
  put32(wave, 36 + kDataBytes);
  wave += "WAVEfmt ";
  put32(wave, 16);
  put16(wave, 1);  // PCM
  put16(wave, kChannels);
  put32(wave, kSampleRate);
  put32(wave, kSampleRate * kChannels * kBitsPerSample / 8);
  put16(wave, kChannels * kBitsPerSample / 8);
  put16(wave, kBitsPerSample);
  wave += "data";
  put32(wave, kDataBytes);
  for (std::uint32_t i = 0; i < kFrames; ++i) {
    double t = static_cast<double>(i) / kSampleRate;
    double fadeOut = std::min(1.0, static_cast<double>(kFrames - i) / 2000.0);
    auto sample = static_cast<std::int16_t>(std::lround(32767.0 * chime(t) * fadeOut));
    for (int channel = 0; channel < kChannels; ++channel) {
      put16(wave, static_cast<std::uint16_t>(sample));
    }
  }
  return wave;
}

}  // namespace

const Bytes& completionSound() {
  static const Bytes wave = synthesise();
  return wave;
}

}  // namespace quenbo::core
