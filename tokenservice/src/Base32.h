#pragma once

#include "WipingAllocator.h"

#include <optional>
#include <string_view>

// Decodes base32 (RFC 4648 alphabet, either letter case). Spaces are skipped and trailing '='
// padding is allowed, as seeds are often shown in groups. Nullopt for any other character or a
// length no encoder produces.
std::optional<SecretBytes> DecodeBase32(std::string_view text);
