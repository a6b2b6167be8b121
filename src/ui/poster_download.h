// Downloading one poster picture of the film board: a plain GET of the whole resource,
// bounded in size and time so a poster host can neither fill the memory nor hold a tile.
#pragma once

#include <atomic>
#include <chrono>
#include <cstddef>

#include "base/text.h"

namespace quenbo::ui {

struct PosterLimits {
  std::size_t maxBytes = std::size_t{8} << 20;
  // Connecting and every pause between bytes; the whole download may take four times this.
  std::chrono::seconds timeout{10};
};

// The picture's bytes; empty when the URL is not http(s), the answer is not a 200, the body
// is larger than the limit, a time-out passes, the transfer breaks off, or `cancelled` turns
// true meanwhile. Blocks; any thread.
Bytes downloadPoster(const Text& url, const PosterLimits& limits,
                     const std::atomic<bool>* cancelled = nullptr);

}  // namespace quenbo::ui
