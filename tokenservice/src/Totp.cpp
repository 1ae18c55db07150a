#include "Totp.h"

#include <openssl/crypto.h>
#include <openssl/evp.h>
#include <openssl/hmac.h>

#include <array>
#include <stdexcept>
#include <strings.h>

namespace {

const EVP_MD* Digest(TotpAlgorithm algorithm)
{
    switch (algorithm) {
    case TotpAlgorithm::Sha256:
        return EVP_sha256();
    case TotpAlgorithm::Sha512:
        return EVP_sha512();
    case TotpAlgorithm::Sha1:
        break;
    }
    return EVP_sha1();
}

std::uint32_t PowerOfTen(int digits)
{
    std::uint32_t value = 1;
    for (int i = 0; i < digits; ++i)
        value *= 10;
    return value;
}

} // namespace

std::optional<TotpAlgorithm> ParseTotpAlgorithm(std::string_view name)
{
    for (TotpAlgorithm algorithm : {TotpAlgorithm::Sha1, TotpAlgorithm::Sha256, TotpAlgorithm::Sha512}) {
        std::string_view known = TotpAlgorithmName(algorithm);
        if (name.size() == known.size() && ::strncasecmp(name.data(), known.data(), name.size()) == 0)
            return algorithm;
    }
    return std::nullopt;
}

const char* TotpAlgorithmName(TotpAlgorithm algorithm)
{
    switch (algorithm) {
    case TotpAlgorithm::Sha256:
        return "SHA256";
    case TotpAlgorithm::Sha512:
        return "SHA512";
    case TotpAlgorithm::Sha1:
        break;
    }
    return "SHA1";
}

std::uint32_t TotpCode(std::span<const unsigned char> seed, const TotpParameters& parameters,
                       std::int64_t unixTime, int stepOffset)
{
    std::uint64_t counter = static_cast<std::uint64_t>(unixTime / parameters.period + stepOffset);
    std::array<unsigned char, 8> message{};
    for (int i = 7; i >= 0; --i, counter >>= 8)
        message[static_cast<std::size_t>(i)] = static_cast<unsigned char>(counter & 0xff);

    std::array<unsigned char, EVP_MAX_MD_SIZE> mac{};
    unsigned int macSize = 0;
    if (HMAC(Digest(parameters.algorithm), seed.data(), static_cast<int>(seed.size()), message.data(),
             message.size(), mac.data(), &macSize) == nullptr)
        throw std::runtime_error("HMAC failed");

    // Dynamic truncation (RFC 4226, 5.3).
    const std::size_t offset = mac[macSize - 1] & 0x0f;
    const std::uint32_t binary = (static_cast<std::uint32_t>(mac[offset] & 0x7f) << 24) |
                                 (static_cast<std::uint32_t>(mac[offset + 1]) << 16) |
                                 (static_cast<std::uint32_t>(mac[offset + 2]) << 8) |
                                 static_cast<std::uint32_t>(mac[offset + 3]);
    OPENSSL_cleanse(mac.data(), mac.size());
    return binary % PowerOfTen(parameters.digits);
}

void FormatTotpCode(std::uint32_t code, int digits, char* out)
{
    for (int i = digits - 1; i >= 0; --i, code /= 10)
        out[i] = static_cast<char>('0' + code % 10);
    out[digits] = '\0';
}
