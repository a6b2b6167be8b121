#include "net/page_connection.h"

#include <curl/curl.h>

#include "net/curl_transfer.h"

namespace quenbo {

PageConnection::PageConnection(bool reuse) {
  if (!reuse || !curlAvailable()) return;
  CURLSH* share = curl_share_init();
  // No lock functions: one thread uses the share, one request at a time.
  if (share == nullptr ||
      curl_share_setopt(share, CURLSHOPT_SHARE, CURL_LOCK_DATA_CONNECT) != CURLSHE_OK ||
      curl_share_setopt(share, CURLSHOPT_SHARE, CURL_LOCK_DATA_DNS) != CURLSHE_OK ||
      curl_share_setopt(share, CURLSHOPT_SHARE, CURL_LOCK_DATA_SSL_SESSION) != CURLSHE_OK) {
    if (share != nullptr) curl_share_cleanup(share);
    return;
  }
  share_ = share;
}

PageConnection::~PageConnection() {
  // Every request's handle is gone by now (they live within HttpEngine::execute), so the
  // share is no longer in use and closes its connections.
  if (share_ != nullptr) curl_share_cleanup(static_cast<CURLSH*>(share_));
}

}  // namespace quenbo
