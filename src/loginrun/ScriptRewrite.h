#pragma once

#include "Placeholders.h"
#include "RunJournal.h"

#include <token/TokenServiceCalls.h>

#include <string>

// Copies the user's text of a run to its script piece by piece (see CTextFileReader) with the
// placeholders replaced. It reads the backup of `entry` in `folder` only when it is the file the
// entry records, and writes the entry's new file there, which then replaces the script whole
// (see CTextFileWriter). False when either file cannot be opened, or when reading or writing
// failed (a full disk): the script is then as it was.
bool CopyScriptWithValues(const CHeldFolder& folder, const JournalEntry& entry, const PlaceholderValues& values);

// The passcodes of the latest rewrite, kept until the next one and wiped when they go.
struct RunPasscodes {
    std::string m_strPasscode;
    std::string m_strNextPasscode;
    std::string m_strPasscodeNoPin;
    std::string m_strUnused; // the token service's fourth output, which nothing reads

    RunPasscodes() = default;
    ~RunPasscodes() { Wipe(); }
    RunPasscodes(const RunPasscodes&) = delete;
    RunPasscodes& operator=(const RunPasscodes&) = delete;
    void Wipe();
};

// What a rewrite needs from the login window besides the passcodes.
struct RewriteInputs {
    TOKEN_HANDLE hTokenService = 0;
    std::string_view pin;
    std::string_view userId;
    bool userLoginRequired = false;
    std::string_view serialNumber; // the serial number of the token selected for the run
};

// Asks the token service for fresh passcodes (always, even when a file then cannot be opened),
// then copies the user's text to the script with the placeholders filled in (see
// CopyScriptWithValues). The user ID fills "#$USER_NAME#$" only when the profile requires one.
bool RewriteScript(const TokenServiceCalls& calls, const RewriteInputs& inputs, RunPasscodes& passcodes,
                   const CHeldFolder& folder, const JournalEntry& entry);
