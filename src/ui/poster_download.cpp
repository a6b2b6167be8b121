#include "ui/poster_download.h"

#include "net/fetch.h"
#include "ui/link_actions.h"

namespace quenbo::ui {

Bytes downloadPoster(const Text& url, const PosterLimits& limits,
                     const std::atomic<bool>* cancelled) {
  if (!isWebLink(url)) return Bytes();
  net::FetchRequest request;
  // The URL goes out as the board page gave it, with libcurl's own reading of its path.
  request.url = url;
  request.pathAsIs = false;
  request.headers = "Accept: */*";
  auto timeout = std::chrono::duration_cast<std::chrono::milliseconds>(limits.timeout);
  request.idleTimeout = timeout;
  request.deadline = timeout * 4;
  request.followRedirects = true;
  // Poster hosts are accepted as the board page's host is: by name, not by certificate.
  request.verifyCertificates = false;
  // A declared length over the limit is refused before the body comes; any other body stops
  // at the limit.
  request.bodyLimit = limits.maxBytes;
  request.refuseLongerDeclared = true;
  if (cancelled != nullptr) request.abandon = [cancelled] { return cancelled->load(); };
  net::FetchResponse response = fetch(request);
  if (!response.ok() || response.status != 200) return Bytes();
  return std::move(response.body);
}

}  // namespace quenbo::ui
