// The six exported calls: argument checks and the C boundary; the work is in TokenSession.
#include "FixedText.h"
#include "HandleTable.h"

#include <tokapi.h>

#include <cstring>
#include <exception>

namespace {

const TokenFailure kInvalidHandle{"Invalid handle", "The token service handle is not open."};

// Runs `call` on the handle's session; no exception crosses the C boundary.
int OnSession(TOKEN_HANDLE handle, const std::function<bool(TokenSession&)>& call)
{
    const auto guarded = [&call](TokenSession& session) {
        try {
            return call(session);
        } catch (const std::exception& error) {
            return session.Fail({"Internal error", error.what()});
        }
    };
    try {
        return HandleTable::Instance().With(handle, guarded) ? 1 : 0;
    } catch (...) {
        return 0;
    }
}

void ClearPasscodes(std::initializer_list<char*> outputs)
{
    for (char* output : outputs)
        if (output != nullptr)
            std::memset(output, 0, TOKEN_PASSCODE_SIZE);
}

} // namespace

extern "C" {

int OpenTokenService(TOKEN_HANDLE* phService)
{
    if (phService == nullptr)
        return 0;
    *phService = 0;
    try {
        auto session = std::make_unique<TokenSession>(TokenDatabase(TokenDatabase::DefaultPath()));
        if (!session->Open()) {
            HandleTable::Instance().SetOpenFailure(session->LastFailure());
            return 0;
        }
        *phService = HandleTable::Instance().Add(std::move(session));
        return 1;
    } catch (const std::exception& error) {
        HandleTable::Instance().SetOpenFailure({"Internal error", error.what()});
        return 0;
    }
}

int CloseTokenService(TOKEN_HANDLE hService)
{
    return HandleTable::Instance().Remove(hService) ? 1 : 0;
}

int EnumToken(TOKEN_HANDLE hService, uint32_t* pCount, uint32_t*, TOKENRECORD* pRecords,
              uint32_t* pBufferSize)
{
    return OnSession(hService,
                     [=](TokenSession& session) { return session.Enumerate(pCount, pRecords, pBufferSize); });
}

int SelectToken(TOKEN_HANDLE hService, const char* pszSerialNumber, const char*, const char* pszPassphrase)
{
    return OnSession(hService,
                     [=](TokenSession& session) { return session.Select(pszSerialNumber, pszPassphrase); });
}

int GetPasscode(TOKEN_HANDLE hService, const char* pszPin, char* pszPasscode, char* pszNextPasscode,
                char* pszPasscodeNoPin, char* pszReserved)
{
    // Empty outputs whatever happens below, even for an unknown handle.
    ClearPasscodes({pszPasscode, pszNextPasscode, pszPasscodeNoPin, pszReserved});
    return OnSession(hService, [=](TokenSession& session) {
        return session.Passcode(pszPin, pszPasscode, pszNextPasscode, pszPasscodeNoPin);
    });
}

int GetTokenError(TOKEN_HANDLE hService, TOKENERROR* pError)
{
    if (pError == nullptr)
        return 0;
    *pError = TOKENERROR{};
    TokenFailure failure;
    const bool known = HandleTable::Instance().LastFailure(hService, failure);
    const TokenFailure& shown = known ? failure : kInvalidHandle;
    CopyFixedText(pError->szFirst, shown.title);
    CopyFixedText(pError->szSecond, shown.explanation);
    return known ? 1 : 0;
}

} // extern "C"
