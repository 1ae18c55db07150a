#pragma once

#include <token/TokenServiceCalls.h>

#include <string>

// A stand-in for the token service: GetPasscode hands out the texts set here and records what
// it was asked. The other calls are not used by the rewrite and fail.
struct TokenDouble {
    static TokenDouble& Instance();
    static TokenServiceCalls Calls();

    void Reset();

    int result = 1;
    // Written to the output areas when set; a failing call writes nothing.
    std::string passcode = "1234567890";
    std::string nextPasscode = "1234098765";
    std::string passcodeNoPin = "567890";
    bool fillWholeAreas = false; // a faulty library that leaves no NUL in 21 bytes

    int getPasscodeCalls = 0;
    TOKEN_HANDLE lastHandle = 0;
    std::string lastPin;
};
