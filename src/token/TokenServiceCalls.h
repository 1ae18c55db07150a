#pragma once

#include <tokapi.h>

#include <cstddef>

static_assert(sizeof(TOKENRECORD) == 124);
static_assert(offsetof(TOKENRECORD, szSerialNumber) == 4);
static_assert(offsetof(TOKENRECORD, szUserName) == 28);
static_assert(offsetof(TOKENRECORD, szPassphraseType) == 76);
static_assert(sizeof(TOKENERROR) == 92);
static_assert(offsetof(TOKENERROR, szFirst) == 4);
static_assert(offsetof(TOKENERROR, szSecond) == 28);

// The program reaches the token service only through this table, so a test can put a double in
// place of any one call.
struct TokenServiceCalls {
    decltype(&::OpenTokenService) OpenTokenService;
    decltype(&::CloseTokenService) CloseTokenService;
    decltype(&::EnumToken) EnumToken;
    decltype(&::SelectToken) SelectToken;
    decltype(&::GetPasscode) GetPasscode;
    decltype(&::GetTokenError) GetTokenError;
};

// The process-wide table; it starts with the library's own calls.
TokenServiceCalls& TokenCalls();
