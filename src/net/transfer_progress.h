// The progress of one download, shared between the downloading thread and the progress
// thread that reports it.
#pragma once

#include <atomic>
#include <cstdint>
#include <functional>

namespace quenbo::net {

// Called on the progress thread with the caller's user value, the expected size, the bytes
// written so far and the milliseconds spent reading.
using TransferCallback = std::function<void(int userValue, std::int64_t total,
                                            std::int64_t transferred, std::int64_t elapsedMs)>;

struct TransferProgress {
  // Stored in `transferred` when the transfer is over.
  static constexpr std::int64_t kEndMarker = -768;

  TransferCallback callback;
  int userValue = 0;
  // Written by the downloading thread, read by the progress thread; each one is read and
  // written as a whole. `elapsed` is stored before `transferred`.
  std::atomic<std::int64_t> total{0};
  std::atomic<std::int64_t> transferred{0};
  std::atomic<std::int64_t> elapsed{0};
};

// The progress thread's routine: every 10 ms it reports a grown `transferred`; at the end
// marker it makes one closing call with total given as both total and transferred, and
// returns.
void reportProgress(TransferProgress& progress);

}  // namespace quenbo::net
