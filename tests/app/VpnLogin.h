#pragma once

#include "UserNobody.h"

#include <NetworkNamespace.h>
#include <TempDir.h>

#include <gtest/gtest.h>

#include <ostream>
#include <string>
#include <vector>

// The token the login tests import for nobody (base32), and the PIN their scripted user types.
constexpr const char* kSeed = "ONSWKZBAMZXXEIDDNBQXIIDMN5TWS3TT";
constexpr const char* kTypedPin = "1234";

// The passcodes that PIN makes with the codes of the last few 60-second steps, by oathtool: none
// of them may stay in a file after a run.
std::vector<std::string> RecentPasscodes();

// The right PIN and a wrong one, each a row of a login test.
struct PinTry {
    const char* name;
    const char* serverPin; // the PIN the server expects
    bool accepted;
};
inline const PinTry kPinTries[] = {{"RightPin", "1234", true}, {"WrongPin", "4321", false}};
void PrintTo(const PinTry& login, std::ostream* out);
std::string NameOf(const ::testing::TestParamInfo<PinTry>& row);

// A login through a real VPN client by Trevalo of the user nobody: a network namespace of the
// test's own for the server, and the default profile "Office" (phonebook entry "office", token
// T1 of kSeed, which the servers check with oathtool) with its script below dir/vpn.
class NobodysLogin {
protected:
    // Root, the user nobody, network namespaces and oathtool: what the tests skip without.
    bool Usable() const;
    // Writes `userText` to the script, saves the profile with `loginApp` (and `user` as its user
    // ID when given), hands `dir` to nobody and imports the token for nobody.
    void Prepare(const std::string& userText, const std::string& loginApp, const std::string& user = {});

    TempDir dir;
    UserNobody nobody;
    NetworkNamespace netns;
    std::string script = dir.File("vpn/office");
};
