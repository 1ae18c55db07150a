#pragma once

#include "StoredToken.h"

#include <string>

// The seed of RFC 6238's SHA-1 examples, "12345678901234567890".
SecretBytes RfcSeed();

// A token ready for TokenDatabase::Add; a non-empty passphrase seals the seed (with a low
// iteration count, so tests stay fast).
StoredToken MakeToken(const std::string& serial, const std::string& user, const std::string& passphrase = {},
                      TotpParameters parameters = {TotpAlgorithm::Sha1, 6, 60});
