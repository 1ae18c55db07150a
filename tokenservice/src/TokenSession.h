#pragma once

#include "StoredToken.h"
#include "TokenDatabase.h"
#include "TokenFailure.h"

#include <tokapi.h>

#include <optional>
#include <vector>

// What one open handle of the token service holds: the tokens as they were when it was opened,
// the selected token's seed, and the last failure.
class TokenSession {
public:
    explicit TokenSession(TokenDatabase database) : m_database(std::move(database)) {}

    bool Open();
    bool Enumerate(std::uint32_t* count, TOKENRECORD* records, std::uint32_t* bufferSize);
    bool Select(const char* serial, const char* passphrase);
    // Select for a token already read from the database.
    bool SelectRead(StoredToken token, const char* passphrase);
    // Each output (when not null) holds TOKEN_PASSCODE_SIZE bytes; the caller empties them
    // first, and a failure writes nothing.
    bool Passcode(const char* pin, char* passcode, char* nextPasscode, char* passcodeNoPin);

    bool Fail(TokenFailure failure);
    const TokenFailure& LastFailure() const { return m_failure; }
    // The tokens as they were when the session was opened, without secrets.
    const std::vector<StoredToken>& Tokens() const { return m_tokens; }

private:
    struct Selection {
        SecretBytes seed;
        TotpParameters parameters;
    };

    bool Unlock(StoredToken& token, const char* passphrase);
    bool UnlockFromKeyring(StoredToken& token);

    TokenDatabase m_database;
    std::vector<StoredToken> m_tokens;
    std::optional<Selection> m_selection;
    TokenFailure m_failure;
};
