#pragma once

#include "TokenFailure.h"
#include "WipingAllocator.h"

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

// The keys that seal tokens kept with the desktop keyring: one Secret Service item a token,
// labelled with Trevalo and the serial number, in the default collection. A locked keyring is
// unlocked through the desktop's own prompt.
namespace Keyring {

// A new random key (256 bits, as 64 hexadecimal digits). It needs no stretching: the seal's
// key comes from it with a single round of the key derivation.
SecretBytes NewKey();
inline constexpr std::uint32_t kKeyDerivationRounds = 1;

// True when a keyring answers; false with `failure` set.
bool Answers(const std::string& serial, TokenFailure& failure);
// Stores `key` for the token `serial`, replacing an older item; false with `failure` set.
bool Store(const std::string& serial, std::string_view key, TokenFailure& failure);
// The token's key; nullopt with `failure` set when no keyring answers, it stays locked, or it
// holds no key for the token.
std::optional<SecretBytes> Find(const std::string& serial, TokenFailure& failure);
// Deletes the token's item; true also when there was none.
bool Remove(const std::string& serial, TokenFailure& failure);

} // namespace Keyring
