#include "http_server/tls_identity.h"

#include <openssl/bio.h>
#include <openssl/evp.h>
#include <openssl/pem.h>
#include <openssl/x509.h>
#include <openssl/x509v3.h>

#include <memory>

namespace quenbo::testing {
namespace {

struct KeyFree {
  void operator()(EVP_PKEY* key) const { EVP_PKEY_free(key); }
};
struct CertFree {
  void operator()(X509* cert) const { X509_free(cert); }
};

bool addExtension(X509* cert, int nid, const char* value) {
  X509V3_CTX context;
  X509V3_set_ctx_nodb(&context);
  X509V3_set_ctx(&context, cert, cert, nullptr, nullptr, 0);
  X509_EXTENSION* extension = X509V3_EXT_conf_nid(nullptr, &context, nid, value);
  if (extension == nullptr) return false;
  bool added = X509_add_ext(cert, extension, -1) == 1;
  X509_EXTENSION_free(extension);
  return added;
}

}  // namespace

SSL_CTX* makeSelfSignedServerContext(std::string* certificatePem, CertificateKind kind) {
  std::unique_ptr<EVP_PKEY, KeyFree> key(EVP_EC_gen("P-256"));
  std::unique_ptr<X509, CertFree> cert(X509_new());
  if (!key || !cert) return nullptr;
  X509_set_version(cert.get(), 2);
  ASN1_INTEGER_set(X509_get_serialNumber(cert.get()), 1);
  bool expired = kind == CertificateKind::expired;
  X509_gmtime_adj(X509_getm_notBefore(cert.get()), expired ? -2 * 24 * 3600 : -60);
  X509_gmtime_adj(X509_getm_notAfter(cert.get()), expired ? -24 * 3600 : 24 * 3600);
  X509_set_pubkey(cert.get(), key.get());
  X509_NAME* name = X509_get_subject_name(cert.get());
  X509_NAME_add_entry_by_txt(name, "CN", MBSTRING_ASC,
                             reinterpret_cast<const unsigned char*>(
                                 kind == CertificateKind::otherHost ? "wrong.example" : "localhost"),
                             -1, -1, 0);
  X509_set_issuer_name(cert.get(), name);
  const char* names =
      kind == CertificateKind::otherHost ? "DNS:wrong.example" : "IP:127.0.0.1,DNS:localhost";
  if (!addExtension(cert.get(), NID_subject_alt_name, names) ||
      X509_sign(cert.get(), key.get(), EVP_sha256()) == 0) {
    return nullptr;
  }
  if (certificatePem != nullptr) {
    BIO* out = BIO_new(BIO_s_mem());
    if (out == nullptr || PEM_write_bio_X509(out, cert.get()) != 1) {
      BIO_free(out);
      return nullptr;
    }
    char* data = nullptr;
    long size = BIO_get_mem_data(out, &data);
    certificatePem->assign(data, static_cast<std::size_t>(size));
    BIO_free(out);
  }
  SSL_CTX* context = SSL_CTX_new(TLS_server_method());
  if (context == nullptr) return nullptr;
  if (SSL_CTX_use_certificate(context, cert.get()) != 1 ||
      SSL_CTX_use_PrivateKey(context, key.get()) != 1) {
    SSL_CTX_free(context);
    return nullptr;
  }
  return context;
}

}  // namespace quenbo::testing
