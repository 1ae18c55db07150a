#pragma once

#include <token/TokenServiceCalls.h>

#include <string>
#include <vector>

// Stands in for the token service library in the process-wide call table while it exists, and
// records what the program asked of it.
class FakeTokenService {
public:
    struct Token {
        std::string serial;
        std::string user;
        std::string passphraseType = "NONE";
    };

    FakeTokenService();
    ~FakeTokenService();
    FakeTokenService(const FakeTokenService&) = delete;
    FakeTokenService& operator=(const FakeTokenService&) = delete;

    static FakeTokenService& Current();

    // What the calls answer.
    bool openSucceeds = true;
    bool enumWithBufferSucceeds = true;
    bool selectSucceeds = true;
    bool passcodeSucceeds = true;
    std::string errorFirst = "Token error";
    std::string errorSecond;
    std::vector<Token> tokens;
    std::string passcode = "1234567890";
    std::string nextPasscode = "1234098765";
    std::string passcodeNoPin = "567890";
    bool fillWholeAreas = false; // a faulty library that leaves no NUL in its 21 bytes

    // What the program asked.
    int openCalls = 0;
    int closeCalls = 0;
    int getPasscodeCalls = 0;
    std::vector<std::string> selected; // "serial|passphrase" per SelectToken
    TOKEN_HANDLE lastHandle = 0;
    std::string lastPin;

    static constexpr TOKEN_HANDLE kHandle = 42;

private:
    TokenServiceCalls m_previous;
};
