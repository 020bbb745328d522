#ifndef KESTREL_PROTOCOL_AESGCM_H
#define KESTREL_PROTOCOL_AESGCM_H

#include <string>
#include <vector>

// Prepares the crypto library for a decryption: registers its ciphers and seeds its random
// generator from /dev/urandom. Cheap to repeat; called by every decryption.
void aes_init();

// AES-128-GCM decryption without additional authenticated data. The key must be 16 bytes, the
// IV 12 bytes (the GCM nonce) and the tag 16 bytes; any other length, or a tag that does not
// verify, gives an empty string. Keeps no state between calls.
std::string aes_128_gcm_decrypt_custom(std::vector<unsigned char> iv, std::vector<unsigned char> tag,
                                       std::vector<unsigned char> ciphertext, std::vector<unsigned char> key);

#endif // KESTREL_PROTOCOL_AESGCM_H
