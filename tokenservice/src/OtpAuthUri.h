#pragma once

#include "Totp.h"
#include "WipingAllocator.h"

#include <optional>
#include <string>
#include <string_view>

// What an "otpauth://totp/LABEL?secret=...&issuer=...&algorithm=...&digits=...&period=..." link
// describes. A link leaves out what has the format's defaults: SHA1, 6 digits, 30 seconds.
struct OtpAuthUri {
    SecretBytes seed;
    TotpParameters parameters;
    std::string issuer;
    std::string account;

    // Nullopt, with `error` saying why, for anything but a valid time-based link, and for a link
    // whose issuer or account name is longer than 64 bytes, is not UTF-8 or holds a control
    // character (C0, DEL or C1).
    static std::optional<OtpAuthUri> Parse(std::string_view uri, std::string& error);
};
