// A TLS server context with a self-signed certificate for 127.0.0.1 and localhost, made in
// memory when a test server starts, so no key or certificate file is ever kept.
#pragma once

#include <openssl/ssl.h>

#include <string>

namespace quenbo::testing {

// The certificate a test server shows: a good one, one that names another host only
// ("wrong.example"), or one whose dates have passed.
enum class CertificateKind { good, otherHost, expired };

// A new server context (owned by the caller, free with SSL_CTX_free), or null on failure.
// `certificatePem`, when given, receives the certificate in PEM form, for a client that is
// told to trust it.
SSL_CTX* makeSelfSignedServerContext(std::string* certificatePem = nullptr,
                                     CertificateKind kind = CertificateKind::good);

}  // namespace quenbo::testing
