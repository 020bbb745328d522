#include "tools/devserver/selfsignedcertificate.h"

#include <openssl/bio.h>
#include <openssl/evp.h>
#include <openssl/pem.h>
#include <openssl/rand.h>
#include <openssl/x509.h>
#include <openssl/x509v3.h>

namespace {
bool addExtension(X509 *cert, int nid, const char *value)
{
    X509V3_CTX ctx;
    X509V3_set_ctx_nodb(&ctx);
    X509V3_set_ctx(&ctx, cert, cert, nullptr, nullptr, 0);
    X509_EXTENSION *ext = X509V3_EXT_conf_nid(nullptr, &ctx, nid, value);
    if (!ext) {
        return false;
    }
    const bool ok = X509_add_ext(cert, ext, -1) == 1;
    X509_EXTENSION_free(ext);
    return ok;
}
} // namespace

SelfSignedCertificate::~SelfSignedCertificate()
{
    X509_free(m_certificate);
    EVP_PKEY_free(m_key);
}

bool SelfSignedCertificate::generate()
{
    X509_free(m_certificate);
    EVP_PKEY_free(m_key);
    m_certificate = nullptr;
    m_key = EVP_EC_gen("P-256");
    if (!m_key) {
        return false;
    }
    X509 *cert = X509_new();
    if (!cert) {
        return false;
    }
    unsigned char serial[8];
    bool ok = RAND_bytes(serial, sizeof serial) == 1;
    serial[0] &= 0x7f; // a positive serial number
    BIGNUM *serialNumber = ok ? BN_bin2bn(serial, sizeof serial, nullptr) : nullptr;
    ok = serialNumber && BN_to_ASN1_INTEGER(serialNumber, X509_get_serialNumber(cert)) &&
         X509_set_version(cert, 2);
    BN_free(serialNumber);
    ok = ok && X509_gmtime_adj(X509_getm_notBefore(cert), -3600) &&
         X509_gmtime_adj(X509_getm_notAfter(cert), 30L * 86400);
    X509_NAME *name = X509_get_subject_name(cert);
    ok =
        ok &&
        X509_NAME_add_entry_by_txt(name, "O", MBSTRING_ASC,
                                   reinterpret_cast<const unsigned char *>("Kestrel devserver"), -1, -1, 0) &&
        X509_NAME_add_entry_by_txt(name, "CN", MBSTRING_ASC,
                                   reinterpret_cast<const unsigned char *>("127.0.0.1"), -1, -1, 0) &&
        X509_set_issuer_name(cert, name) && X509_set_pubkey(cert, m_key);
    ok = ok && addExtension(cert, NID_subject_alt_name, "IP:127.0.0.1,DNS:localhost") &&
         addExtension(cert, NID_key_usage, "critical,digitalSignature") &&
         addExtension(cert, NID_ext_key_usage, "serverAuth");
    ok = ok && X509_sign(cert, m_key, EVP_sha256()) > 0;
    if (!ok) {
        X509_free(cert);
        return false;
    }
    m_certificate = cert;
    return true;
}

std::string SelfSignedCertificate::certificatePem() const
{
    if (!m_certificate) {
        return std::string();
    }
    BIO *bio = BIO_new(BIO_s_mem());
    if (!bio) {
        return std::string();
    }
    std::string pem;
    if (PEM_write_bio_X509(bio, m_certificate) == 1) {
        char *data = nullptr;
        const long length = BIO_get_mem_data(bio, &data);
        if (data && length > 0) {
            pem.assign(data, static_cast<size_t>(length));
        }
    }
    BIO_free(bio);
    return pem;
}
