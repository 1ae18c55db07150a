#include "ScriptFixture.h"

#include <platform/FileSystem.h>

#include <cstring>
#include <fstream>
#include <sys/stat.h>

void WriteLargeScript(const std::string& path, std::size_t bytes)
{
    static const char* const kLines[] = {
        "send \"#$USER_NAME#$\\r\"",
        "expect \"Password:\" send \"#$PASSCODE#$\\r\"",
        "expect \"Next code:\" send \"#$NEXT_PASSCODE#$\\r\" # token #$SERIAL_NUM#$",
        "# a comment line without any placeholder, as scripts have between their steps",
        "expect \"PIN\" send \"#$NEW_PIN#$ #$PASSCODE_NO_PIN#$\\r\"",
    };
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    std::size_t written = 0;
    for (std::size_t i = 0; written < bytes; ++i) {
        const char* line = kLines[i % std::size(kLines)];
        out << line << '\n';
        written += std::strlen(line) + 1;
    }
}

namespace {

int FixedGetPasscode(TOKEN_HANDLE, const char*, char* passcode, char* next, char* noPin, char*)
{
    std::strcpy(passcode, "1234567887654321");
    std::strcpy(next, "1234567812345678");
    std::strcpy(noPin, "87654321");
    return 1;
}

} // namespace

TokenServiceCalls FixedPasscodeCalls()
{
    TokenServiceCalls calls{};
    calls.GetPasscode = &FixedGetPasscode;
    return calls;
}

RewriteInputs BenchInputs()
{
    return RewriteInputs{1, "12345678", "ann.example", true, "000123456789"};
}

bool RewriteWithFixedValues(const std::string& source, const std::string& target, RunPasscodes& passcodes)
{
    CHeldFolder folder;
    struct stat text {};
    if (folder.Open(DirectoryOf(target)) != 0 || folder.Stat(NameOf(source), text) != 0)
        return false;
    JournalEntry entry = MakeRunEntry(target, folder.Identity(), IdentityOf(text));
    entry.backupName = NameOf(source);
    return RewriteScript(FixedPasscodeCalls(), BenchInputs(), passcodes, folder, entry);
}
