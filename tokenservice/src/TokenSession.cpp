#include "TokenSession.h"

#include "Clock.h"
#include "FixedText.h"
#include "Keyring.h"
#include "TokenRules.h"

#include <openssl/crypto.h>

#include <cstring>

namespace {

constexpr std::size_t kPasscodeLength = TOKEN_PASSCODE_SIZE - 1;

// `pin` followed by `code` with leading zeros; the caller checked that it fits.
void WritePasscode(char* output, std::string_view pin, std::uint32_t code, int digits)
{
    if (output == nullptr)
        return;
    pin.copy(output, pin.size());
    FormatTotpCode(code, digits, output + pin.size());
}

} // namespace

bool TokenSession::Fail(TokenFailure failure)
{
    m_failure = std::move(failure);
    return false;
}

bool TokenSession::Open()
{
    TokenFailure failure;
    return m_database.List(m_tokens, failure) || Fail(std::move(failure));
}

bool TokenSession::Enumerate(std::uint32_t* count, TOKENRECORD* records, std::uint32_t* bufferSize)
{
    if (count == nullptr || (records != nullptr && bufferSize == nullptr))
        return Fail({"Invalid argument", "EnumToken needs a count, and a size with a buffer."});
    const auto tokens = static_cast<std::uint32_t>(m_tokens.size());
    *count = tokens;
    const std::uint32_t needed = tokens * static_cast<std::uint32_t>(sizeof(TOKENRECORD));
    if (records == nullptr) {
        if (bufferSize != nullptr)
            *bufferSize = needed;
        return true;
    }
    if (*bufferSize < needed) {
        std::memset(records, 0, *bufferSize);
        *bufferSize = needed;
        return Fail({"Buffer too small",
                     "The buffer holds fewer records than the " + std::to_string(tokens) + " tokens."});
    }
    for (std::uint32_t i = 0; i < tokens; ++i) {
        records[i] = TOKENRECORD{};
        CopyFixedText(records[i].szSerialNumber, m_tokens[i].serial);
        CopyFixedText(records[i].szUserName, m_tokens[i].user);
        CopyFixedText(records[i].szPassphraseType, m_tokens[i].ProtectionType());
    }
    *bufferSize = needed;
    return true;
}

bool TokenSession::Select(const char* serial, const char* passphrase)
{
    m_selection.reset();
    const std::string wanted = serial != nullptr ? serial : "";
    StoredToken token;
    TokenFailure failure;
    switch (m_database.Find(wanted, token, failure)) {
    case TokenDatabase::Lookup::Failed:
        return Fail(std::move(failure));
    case TokenDatabase::Lookup::Missing:
        return Fail(TokenDatabase::UnknownToken(wanted));
    case TokenDatabase::Lookup::Found:
        break;
    }
    return SelectRead(std::move(token), passphrase);
}

bool TokenSession::SelectRead(StoredToken token, const char* passphrase)
{
    m_selection.reset();
    if (!Unlock(token, passphrase))
        return false;
    if (!TokenRules::CheckSeedSize(token.seed.size()).empty())
        return Fail({"Token damaged", "Token " + token.serial + " has no usable seed."});
    m_selection = Selection{std::move(token.seed), token.parameters};
    return true;
}

bool TokenSession::Unlock(StoredToken& token, const char* passphrase)
{
    if (!token.isProtected)
        return true;
    if (token.inKeyring)
        return UnlockFromKeyring(token);
    const std::string_view given = passphrase != nullptr ? passphrase : "";
    if (given.empty())
        return Fail({"Passphrase required", "Token " + token.serial + " needs a passphrase."});
    auto seed = SeedCipher::Open(token.sealed, given, token.serial);
    if (!seed)
        return Fail({"Wrong passphrase", "The passphrase does not unlock token " + token.serial + "."});
    token.seed = std::move(*seed);
    return true;
}

bool TokenSession::UnlockFromKeyring(StoredToken& token)
{
    TokenFailure failure;
    const std::optional<SecretBytes> key = Keyring::Find(token.serial, failure);
    if (!key)
        return Fail(failure);
    auto seed = SeedCipher::Open(token.sealed, AsText(*key), token.serial);
    if (!seed)
        return Fail({"Wrong token key", "The keyring's key does not open token " + token.serial + "."});
    token.seed = std::move(*seed);
    return true;
}

bool TokenSession::Passcode(const char* pin, char* passcode, char* nextPasscode, char* passcodeNoPin)
{
    if (!m_selection)
        return Fail({"No token selected", "Select a token before asking for a passcode."});
    const std::string_view pinText = pin != nullptr ? pin : "";
    const int digits = m_selection->parameters.digits;
    if (pinText.size() + static_cast<std::size_t>(digits) > kPasscodeLength)
        return Fail({"PIN too long", "The PIN and the code together exceed 20 characters."});
    const std::int64_t now = Clock::Now();
    std::uint32_t current = TotpCode(m_selection->seed, m_selection->parameters, now);
    std::uint32_t next = TotpCode(m_selection->seed, m_selection->parameters, now, 1);
    WritePasscode(passcode, pinText, current, digits);
    WritePasscode(nextPasscode, pinText, next, digits);
    WritePasscode(passcodeNoPin, {}, current, digits);
    OPENSSL_cleanse(&current, sizeof current);
    OPENSSL_cleanse(&next, sizeof next);
    return true;
}
