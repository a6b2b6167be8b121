// What page requests share across calls and threads: resolved host names, TLS sessions and
// open connections. A search asks one site for page after page; the next page goes over the
// connection the last one left open, or at least resumes its TLS session, which spares the
// site and us a handshake per page.
#pragma once

#include <curl/curl.h>

namespace quenbo {

// The process's share handle, or nullptr when libcurl cannot make one (calls then work
// without it). Thread-safe: libcurl locks it through our callbacks.
CURLSH* pageShare();

}  // namespace quenbo
