#ifndef KESTREL_TOOLS_DEVSERVER_SELFSIGNEDCERTIFICATE_H
#define KESTREL_TOOLS_DEVSERVER_SELFSIGNEDCERTIFICATE_H

#include <string>

typedef struct x509_st X509;
typedef struct evp_pkey_st EVP_PKEY;

// A throw-away certificate for 127.0.0.1 and localhost (P-256 key, valid for 30 days), made in
// memory at start-up. No client trusts it, which is exactly what the certificate-failure path of
// a client needs; a test that wants a trusted connection can read certificatePem().
class SelfSignedCertificate
{
public:
    SelfSignedCertificate() = default;
    ~SelfSignedCertificate();
    SelfSignedCertificate(const SelfSignedCertificate &) = delete;
    SelfSignedCertificate &operator=(const SelfSignedCertificate &) = delete;

    bool generate();
    X509 *certificate() const { return m_certificate; }
    EVP_PKEY *privateKey() const { return m_key; }
    std::string certificatePem() const;

private:
    X509 *m_certificate = nullptr;
    EVP_PKEY *m_key = nullptr;
};

#endif // KESTREL_TOOLS_DEVSERVER_SELFSIGNEDCERTIFICATE_H
