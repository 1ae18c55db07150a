#pragma once

#include "SealedSeed.h"
#include "WipingAllocator.h"

#include <cstdint>
#include <optional>
#include <string_view>

// Seals and opens seeds. `context` (the token's serial number) is authenticated with the seed,
// so a sealed seed copied to another token's record does not open.
class SeedCipher {
public:
    static constexpr std::uint32_t kDefaultIterations = 600000;

    static SealedSeed Seal(const SecretBytes& seed, std::string_view passphrase, std::string_view context,
                           std::uint32_t iterations = kDefaultIterations);
    // Nullopt when the passphrase is wrong or the record was altered.
    static std::optional<SecretBytes> Open(const SealedSeed& sealed, std::string_view passphrase,
                                           std::string_view context);
};
