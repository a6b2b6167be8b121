// A TLS server context with a self-signed certificate for 127.0.0.1 and localhost, made in
// memory when a test server starts, so no key or certificate file is ever kept.
#pragma once

#include <openssl/ssl.h>

namespace quenbo::testing {

// A new server context (owned by the caller, free with SSL_CTX_free), or null on failure.
SSL_CTX* makeSelfSignedServerContext();

}  // namespace quenbo::testing
