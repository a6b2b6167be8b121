#include "ui/poster_download.h"

#include "net/curl_transfer.h"
#include "ui/link_actions.h"

namespace quenbo::ui {

namespace {

// libcurl calls this while the transfer runs; a non-zero answer aborts it.
int checkCancelled(void* flag, curl_off_t, curl_off_t, curl_off_t, curl_off_t) {
  const auto* cancelled = static_cast<const std::atomic<bool>*>(flag);
  return cancelled != nullptr && cancelled->load() ? 1 : 0;
}

}  // namespace

Bytes downloadPoster(const Text& url, const PosterLimits& limits,
                     const std::atomic<bool>* cancelled) {
  if (!isWebLink(url) || !curlAvailable()) return Bytes();
  CurlTransfer transfer;
  if (!transfer.valid() || !transfer.prepare()) return Bytes();
  auto timeout = std::chrono::duration_cast<std::chrono::milliseconds>(limits.timeout);
  bool ready = transfer.set(CURLOPT_URL, url.c_str()) && transfer.setIdleTimeout(timeout) &&
               transfer.set(CURLOPT_TIMEOUT_MS, static_cast<long>(timeout.count() * 4)) &&
               transfer.setFollowRedirects(true) && transfer.setRequest("GET", {}) &&
               transfer.set(CURLOPT_NOPROGRESS, 0L) &&
               transfer.set(CURLOPT_XFERINFOFUNCTION, &checkCancelled) &&
               transfer.set(CURLOPT_XFERINFODATA, const_cast<std::atomic<bool>*>(cancelled));
  if (!ready) return Bytes();
  // Poster hosts are accepted as the board page's host is: by name, not by certificate.
  (void)transfer.set(CURLOPT_SSL_VERIFYPEER, 0L);
  (void)transfer.set(CURLOPT_SSL_VERIFYHOST, 0L);
  // A declared length over the limit is refused before the body comes; any other body stops
  // at the limit.
  (void)transfer.set(CURLOPT_MAXFILESIZE_LARGE, static_cast<curl_off_t>(limits.maxBytes));
  transfer.setBodyLimit(limits.maxBytes);
  if (transfer.run() != TransferOutcome::complete || transfer.responseCode() != 200) return Bytes();
  return std::move(transfer.body());
}

}  // namespace quenbo::ui
