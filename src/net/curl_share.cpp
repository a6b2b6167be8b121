#include "net/curl_share.h"

#include <curl/curl.h>

#include <array>
#include <mutex>

#include "net/fetch.h"

namespace quenbo::net {
namespace {

struct Share {
  CURLSH* handle = nullptr;
  std::array<std::mutex, CURL_LOCK_DATA_LAST> locks;
};

void lock(CURL*, curl_lock_data data, curl_lock_access, void* share) {
  static_cast<Share*>(share)->locks[data].lock();
}

void unlock(CURL*, curl_lock_data data, void* share) {
  static_cast<Share*>(share)->locks[data].unlock();
}

Share* makeShare() {
  if (!curlAvailable()) return nullptr;
  // Lives as long as the process: worker threads may still be ending when statics die.
  auto* share = new Share;
  share->handle = curl_share_init();
  if (share->handle == nullptr ||
      curl_share_setopt(share->handle, CURLSHOPT_LOCKFUNC, &lock) != CURLSHE_OK ||
      curl_share_setopt(share->handle, CURLSHOPT_UNLOCKFUNC, &unlock) != CURLSHE_OK ||
      curl_share_setopt(share->handle, CURLSHOPT_USERDATA, share) != CURLSHE_OK ||
      curl_share_setopt(share->handle, CURLSHOPT_SHARE, CURL_LOCK_DATA_DNS) != CURLSHE_OK ||
      curl_share_setopt(share->handle, CURLSHOPT_SHARE, CURL_LOCK_DATA_SSL_SESSION) !=
          CURLSHE_OK) {
    if (share->handle != nullptr) curl_share_cleanup(share->handle);
    delete share;
    return nullptr;
  }
  return share;
}

}  // namespace

void* pageShare() {
  static Share* share = makeShare();
  return share ? share->handle : nullptr;
}

}  // namespace quenbo::net
