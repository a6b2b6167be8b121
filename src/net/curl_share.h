// What page requests share across calls and threads: resolved host names and TLS sessions.
// A search asks one site for page after page; resuming the TLS session spares each new
// connection the full handshake, on our side and the site's.
#pragma once

namespace quenbo::net {

// The process's share handle (a CURLSH), or nullptr when libcurl cannot make one (calls then
// work without it). Thread-safe: libcurl locks it through our callbacks.
void* pageShare();

}  // namespace quenbo::net
