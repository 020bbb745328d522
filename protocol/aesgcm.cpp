#include "protocol/aesgcm.h"

#include <openssl/evp.h>
#include <openssl/rand.h>

#include <climits>
#include <memory>

namespace {
const size_t AES_KEY_LENGTH = 16;
const size_t GCM_IV_LENGTH = 12;
const size_t GCM_TAG_LENGTH = 16;

struct CipherContextDeleter
{
    void operator()(EVP_CIPHER_CTX *context) const { EVP_CIPHER_CTX_free(context); }
};
} // namespace

void aes_init()
{
    OpenSSL_add_all_ciphers();
    RAND_load_file("/dev/urandom", 32);
}

std::string aes_128_gcm_decrypt_custom(std::vector<unsigned char> iv, std::vector<unsigned char> tag,
                                       std::vector<unsigned char> ciphertext, std::vector<unsigned char> key)
{
    aes_init();
    // The cipher reads exactly these many bytes of each part; shorter parts would be overread and
    // longer ones silently truncated, so both count as undecryptable.
    if (key.size() != AES_KEY_LENGTH || iv.size() != GCM_IV_LENGTH || tag.size() != GCM_TAG_LENGTH) {
        return std::string();
    }
    if (ciphertext.size() > static_cast<size_t>(INT_MAX)) {
        return std::string();
    }

    std::unique_ptr<EVP_CIPHER_CTX, CipherContextDeleter> context(EVP_CIPHER_CTX_new());
    if (!context) {
        return std::string();
    }
    if (EVP_DecryptInit(context.get(), EVP_aes_128_gcm(), key.data(), iv.data()) != 1) {
        return std::string();
    }

    // GCM is a stream mode: the plaintext is exactly as long as the ciphertext.
    std::vector<unsigned char> plaintext(ciphertext.size() + 1);
    int updateLength = 0;
    if (EVP_DecryptUpdate(context.get(), plaintext.data(), &updateLength, ciphertext.data(),
                          static_cast<int>(ciphertext.size())) != 1) {
        return std::string();
    }
    if (EVP_CIPHER_CTX_ctrl(context.get(), EVP_CTRL_GCM_SET_TAG, static_cast<int>(GCM_TAG_LENGTH),
                            tag.data()) != 1) {
        return std::string();
    }
    int finalLength = 0;
    if (EVP_DecryptFinal(context.get(), plaintext.data() + updateLength, &finalLength) <= 0) {
        return std::string();
    }
    return std::string(reinterpret_cast<const char *>(plaintext.data()),
                       static_cast<size_t>(updateLength + finalLength));
}
