#include "VpnLogin.h"

#include <profiles/AppSettings.h>
#include <profiles/ConnectionProfile.h>

#include <ChildProcess.h>

#include <cstdlib>
#include <filesystem>
#include <sstream>

std::vector<std::string> RecentPasscodes()
{
    std::string codes;
    RunToEnd(
        {"/bin/sh", "-c",
         "printf '%s\\n' \"$0\" | oathtool --totp --time-step-size=60s --base32 -w4 --now=@$(($(date +%s) - 180)) -",
         kSeed},
        &codes);
    std::vector<std::string> passcodes;
    std::istringstream lines(codes);
    for (std::string code; std::getline(lines, code);)
        passcodes.push_back(kTypedPin + code);
    return passcodes;
}

void PrintTo(const PinTry& login, std::ostream* out)
{
    *out << login.name;
}

std::string NameOf(const ::testing::TestParamInfo<PinTry>& row)
{
    return row.param.name;
}

bool NobodysLogin::Usable() const
{
    return nobody.Usable() && netns.Made() && std::system("command -v oathtool >/dev/null 2>&1") == 0;
}

void NobodysLogin::Prepare(const std::string& userText, const std::string& loginApp, const std::string& user)
{
    ::unsetenv("TREVALO_RUNTIME_DIR"); // a hook finds nobody's channel from the uid alone
    ::setenv("QT_QPA_PLATFORM", "offscreen", 1);
    ::setenv("XDG_RUNTIME_DIR", nobody.RunUserDirectory().c_str(), 1);
    std::filesystem::create_directories(dir.File("vpn"));
    WriteFile(script, userText);
    ConnectionProfile profile("Office");
    profile.DUNPhonebookEntry = "office";
    profile.ScriptPath = script;
    profile.LoginAppPath = loginApp;
    profile.UserLogin = user;
    profile.UserLoginRequired = !user.empty();
    profile.TokenSerialNumber = "T1";
    ASSERT_TRUE(profile.Save());
    CAppSettings::SaveDefaultProfile("Office");
    WriteFile(dir.File("seed"), std::string(kSeed) + "\n");
    nobody.TakeOver(dir.Path());
    ASSERT_TRUE(nobody.ImportToken(dir.File("seed")));
    std::filesystem::remove(dir.File("seed"));
}
