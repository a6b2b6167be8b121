#include "net/transfer_progress.h"

#include <chrono>
#include <thread>

namespace quenbo::net {

void reportProgress(TransferProgress& progress) {
  const std::int64_t total = progress.total.load();
  std::int64_t previous = 0;
  std::int64_t closingElapsed = 0;  // stays 0 when no call was made before the end
  for (;;) {
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
    std::int64_t transferred = progress.transferred.load();
    if (transferred > 0 && transferred > previous) {
      std::int64_t elapsed = progress.elapsed.load();
      progress.callback(progress.userValue, total, transferred, elapsed);
      closingElapsed = elapsed + 50;
    } else if (transferred == TransferProgress::kEndMarker) {
      progress.callback(progress.userValue, total, total, closingElapsed);
      return;
    }
    previous = transferred;
  }
}

}  // namespace quenbo::net
