#pragma once

#include "SeedCipher.h"
#include "Totp.h"
#include "WipingAllocator.h"

#include <string>

// One token as the database keeps it. A protected token holds its seed only sealed; an
// unprotected one only in `seed`.
struct StoredToken {
    static constexpr const char* kProtectedType = "PASSWORD";
    static constexpr const char* kUnprotectedType = "NONE";

    std::string serial;
    std::string user;
    std::string issuer;
    TotpParameters parameters;
    bool isProtected = false;
    SecretBytes seed;
    SealedSeed sealed;

    const char* ProtectionType() const { return isProtected ? kProtectedType : kUnprotectedType; }
};
