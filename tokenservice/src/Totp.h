#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string_view>

enum class TotpAlgorithm { Sha1, Sha256, Sha512 };

struct TotpParameters {
    TotpAlgorithm algorithm = TotpAlgorithm::Sha1;
    int digits = 6;
    int period = 60;
};

// "SHA1", "SHA256" or "SHA512", any letter case.
std::optional<TotpAlgorithm> ParseTotpAlgorithm(std::string_view name);
const char* TotpAlgorithmName(TotpAlgorithm algorithm);

// The time-based one-time code (RFC 6238, T0 = 0) of `seed` at `unixTime`, in the time step
// `stepOffset` steps after the one holding that time. `digits` is 6 to 8 and `period` positive.
std::uint32_t TotpCode(std::span<const unsigned char> seed, const TotpParameters& parameters,
                       std::int64_t unixTime, int stepOffset = 0);

// Writes `code` with leading zeros to `digits` characters and a NUL; `out` holds digits + 1.
void FormatTotpCode(std::uint32_t code, int digits, char* out);
