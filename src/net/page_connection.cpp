#include "net/page_connection.h"

#include <curl/curl.h>

#include "net/fetch.h"

namespace quenbo::net {

PageConnection::PageConnection(bool reuse) {
  if (reuse && curlAvailable()) multi_ = curl_multi_init();
}

PageConnection::~PageConnection() {
  // Every request's easy handle has left the multi handle by now (they live within
  // the fetch core's calls), so this closes the kept connections.
  if (multi_ != nullptr) curl_multi_cleanup(static_cast<CURLM*>(multi_));
}

}  // namespace quenbo::net
