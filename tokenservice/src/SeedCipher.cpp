#include "SeedCipher.h"

#include <openssl/evp.h>
#include <openssl/rand.h>

#include <memory>
#include <stdexcept>

namespace {

constexpr std::size_t kSaltSize = 16;
constexpr std::size_t kNonceSize = 12;
constexpr std::size_t kKeySize = 32;
constexpr std::size_t kTagSize = 16;
// A damaged or hostile record must not make us derive keys for hours.
constexpr std::uint32_t kMaxIterations = 10000000;

using CipherContext = std::unique_ptr<EVP_CIPHER_CTX, decltype(&EVP_CIPHER_CTX_free)>;

std::vector<unsigned char> RandomBytes(std::size_t size)
{
    std::vector<unsigned char> bytes(size);
    if (RAND_bytes(bytes.data(), static_cast<int>(size)) != 1)
        throw std::runtime_error("no random bytes");
    return bytes;
}

SecretBytes DeriveKey(std::string_view passphrase, const std::vector<unsigned char>& salt,
                      std::uint32_t iterations)
{
    SecretBytes key(kKeySize);
    if (PKCS5_PBKDF2_HMAC(passphrase.data(), static_cast<int>(passphrase.size()), salt.data(),
                          static_cast<int>(salt.size()), static_cast<int>(iterations), EVP_sha256(),
                          static_cast<int>(key.size()), key.data()) != 1)
        throw std::runtime_error("key derivation failed");
    return key;
}

CipherContext NewContext(const SecretBytes& key, const SealedSeed& sealed, std::string_view context,
                         bool encrypt)
{
    CipherContext cipher(EVP_CIPHER_CTX_new(), &EVP_CIPHER_CTX_free);
    int ignored = 0;
    if (!cipher ||
        EVP_CipherInit_ex(cipher.get(), EVP_aes_256_gcm(), nullptr, key.data(), sealed.nonce.data(),
                          encrypt ? 1 : 0) != 1 ||
        EVP_CipherUpdate(cipher.get(), nullptr, &ignored,
                         reinterpret_cast<const unsigned char*>(context.data()),
                         static_cast<int>(context.size())) != 1)
        throw std::runtime_error("cipher set-up failed");
    return cipher;
}

} // namespace

SealedSeed SeedCipher::Seal(const SecretBytes& seed, std::string_view passphrase, std::string_view context,
                            std::uint32_t iterations)
{
    SealedSeed sealed{RandomBytes(kSaltSize), RandomBytes(kNonceSize), {}, iterations};
    const SecretBytes key = DeriveKey(passphrase, sealed.salt, iterations);
    CipherContext cipher = NewContext(key, sealed, context, true);
    sealed.ciphertext.resize(seed.size() + kTagSize);
    int written = 0;
    int finalSize = 0;
    if (EVP_CipherUpdate(cipher.get(), sealed.ciphertext.data(), &written, seed.data(),
                         static_cast<int>(seed.size())) != 1 ||
        EVP_CipherFinal_ex(cipher.get(), sealed.ciphertext.data() + written, &finalSize) != 1 ||
        EVP_CIPHER_CTX_ctrl(cipher.get(), EVP_CTRL_GCM_GET_TAG, kTagSize,
                            sealed.ciphertext.data() + seed.size()) != 1)
        throw std::runtime_error("encryption failed");
    return sealed;
}

std::optional<SecretBytes> SeedCipher::Open(const SealedSeed& sealed, std::string_view passphrase,
                                            std::string_view context)
{
    if (sealed.ciphertext.size() < kTagSize || sealed.nonce.size() != kNonceSize || sealed.iterations == 0 ||
        sealed.iterations > kMaxIterations)
        return std::nullopt;
    const SecretBytes key = DeriveKey(passphrase, sealed.salt, sealed.iterations);
    CipherContext cipher = NewContext(key, sealed, context, false);
    const std::size_t size = sealed.ciphertext.size() - kTagSize;
    SecretBytes seed(size);
    std::vector<unsigned char> tag(sealed.ciphertext.end() - kTagSize, sealed.ciphertext.end());
    int written = 0;
    int finalSize = 0;
    if (EVP_CipherUpdate(cipher.get(), seed.data(), &written, sealed.ciphertext.data(),
                         static_cast<int>(size)) != 1 ||
        EVP_CIPHER_CTX_ctrl(cipher.get(), EVP_CTRL_GCM_SET_TAG, kTagSize, tag.data()) != 1 ||
        EVP_CipherFinal_ex(cipher.get(), seed.data() + written, &finalSize) != 1)
        return std::nullopt;
    return seed;
}
