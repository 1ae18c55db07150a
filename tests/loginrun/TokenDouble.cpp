#include "TokenDouble.h"

#include <cstring>

namespace {

void Fill(char* area, const std::string& text, bool whole)
{
    if (whole) {
        std::memset(area, '9', TOKEN_PASSCODE_SIZE);
        return;
    }
    std::strncpy(area, text.c_str(), TOKEN_PASSCODE_SIZE - 1);
}

int FakeGetPasscode(TOKEN_HANDLE handle, const char* pin, char* passcode, char* next, char* noPin, char* fourth)
{
    TokenDouble& token = TokenDouble::Instance();
    ++token.getPasscodeCalls;
    token.lastHandle = handle;
    token.lastPin = pin;
    if (token.result == 0)
        return 0;
    Fill(passcode, token.passcode, token.fillWholeAreas);
    Fill(next, token.nextPasscode, token.fillWholeAreas);
    Fill(noPin, token.passcodeNoPin, token.fillWholeAreas);
    Fill(fourth, "", token.fillWholeAreas);
    return 1;
}


} // namespace

TokenDouble& TokenDouble::Instance()
{
    static TokenDouble instance;
    return instance;
}

void TokenDouble::Reset()
{
    Instance() = TokenDouble{};
}

TokenServiceCalls TokenDouble::Calls()
{
    TokenServiceCalls calls{};
    calls.OpenTokenService = [](TOKEN_HANDLE*) { return 0; };
    calls.CloseTokenService = [](TOKEN_HANDLE) { return 0; };
    calls.EnumToken = [](TOKEN_HANDLE, uint32_t*, uint32_t*, TOKENRECORD*, uint32_t*) { return 0; };
    calls.SelectToken = [](TOKEN_HANDLE, const char*, const char*, const char*) { return 0; };
    calls.GetPasscode = &FakeGetPasscode;
    calls.GetTokenError = [](TOKEN_HANDLE, TOKENERROR*) { return 0; };
    return calls;
}
