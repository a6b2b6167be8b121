// The request engine: one HTTP or HTTPS request, synchronously on the calling thread.
#pragma once

#include <cstddef>

#include "base/text.h"
#include "net/http_request.h"

namespace quenbo::net {

class HttpEngine final {
 public:
  // Returns the page text in GBK, re-decoded when the page declares another character set in
  // a meta tag; empty on every failure, with the step in response.failure and its message in
  // response.statusText ("7xx ...").
  // A call keeps nothing: it opens a connection of its own, or, given the request's
  // PageConnection, takes and leaves the run's kept connection; any server certificate is
  // accepted. Safe to call from several threads at once (a PageConnection from one only).
  static Text execute(HttpRequest& request, HttpResponse& response);

  // The status text of a failure, "711 发送请求失败!" (GBK), and its number, 711; 0 for a
  // failure without a number and for none.
  static Text failureText(EngineFailure failure);
  static int failureNumber(EngineFailure failure);

  // A page body past this size fails as a failed read; the bytes up to it are kept.
  static constexpr std::size_t kBodyLimit = std::size_t{32} << 20;
};

}  // namespace quenbo::net
