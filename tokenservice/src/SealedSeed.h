#pragma once

#include <cstdint>
#include <vector>

// A seed sealed under a passphrase: AES-256-GCM with a key from PBKDF2-HMAC-SHA256.
struct SealedSeed {
    std::vector<unsigned char> salt;
    std::vector<unsigned char> nonce;
    std::vector<unsigned char> ciphertext; // followed by the 16-byte tag
    std::uint32_t iterations = 0;
};
