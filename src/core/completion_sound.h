// The clip played when a search completes.
#pragma once

#include "base/text.h"

namespace quenbo::core {

// A RIFF/WAVE file of exactly 140,044 bytes: PCM, 2 channels, 22,050 samples per second,
// 16 bits per sample; a soft two-note chime, synthesised once.
const Bytes& completionSound();

}  // namespace quenbo::core
