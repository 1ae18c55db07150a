#pragma once

#include "SeedCipher.h"
#include "Totp.h"
#include "WipingAllocator.h"

#include <string>

// One token as the database keeps it. A protected token holds its seed only sealed, under a
// passphrase or, `inKeyring`, under a random key kept in the desktop keyring; an unprotected one
// only in `seed`.
struct StoredToken {
    static constexpr const char* kProtectedType = "PASSWORD";
    static constexpr const char* kUnprotectedType = "NONE";
    static constexpr const char* kKeyringType = "KEYRING";

    std::string serial;
    std::string user;
    std::string issuer;
    TotpParameters parameters;
    bool isProtected = false;
    bool inKeyring = false;
    SecretBytes seed;
    SealedSeed sealed;

    const char* ProtectionType() const
    {
        return inKeyring ? kKeyringType : isProtected ? kProtectedType : kUnprotectedType;
    }
};
