#include "ConnectionProfile.h"

#include "ProfileValues.h"
#include "RegistryKey.h"

#include <framework/StringTable.h>
#include <res/resource.h>

namespace {

// False at the first value missing or unreadable.
bool ReadProfileValues(ConnectionProfile& profile, CRegistryKey& reader)
{
    DWORD duration = 0;
    DWORD required = 0;
    if (!(reader.ReadString(IDS_REG_DUN_PHONEBOOK_ENTRY, profile.DUNPhonebookEntry) &&
          reader.ReadString(IDS_REG_SCRIPT_PATH, profile.ScriptPath) &&
          reader.ReadString(IDS_REG_LOGIN_APP_PATH, profile.LoginAppPath) &&
          reader.ReadString(IDS_REG_TOKEN_SERIAL_NUMBER, profile.TokenSerialNumber) &&
          reader.ReadDword(IDS_REG_UPDATE_PASSCODE_DURATION, duration)))
        return false;
    SetPasscodeDuration(profile, duration);
    if (!(reader.ReadString(IDS_REG_USER_LOGIN, profile.UserLogin) &&
          reader.ReadDword(IDS_REG_USER_LOGIN_REQUIRED, required)))
        return false;
    SetUserLoginRequired(profile, required);
    return true;
}

} // namespace

ConnectionProfile::ConnectionProfile(std::string name) : ProfileName(std::move(name)) {}

// An empty name would address the profiles key itself: its values, or the whole key on Delete.
bool ConnectionProfile::Load()
{
    if (ProfileName.empty())
        return false;
    CRegistryKey key(IDS_REG_PROFILES_KEY, ProfileName);
    return ReadProfileValues(*this, key);
}

bool ConnectionProfile::Save()
{
    if (ProfileName.empty())
        return false;
    // All seven values or none: a new profile left half written would stop LoadAll at the next start.
    if (RegBeginTransaction() != ERROR_SUCCESS)
        return false;
    if (!WriteValues()) {
        RegRollbackTransaction();
        return false;
    }
    return RegCommitTransaction() == ERROR_SUCCESS;
}

bool ConnectionProfile::WriteValues() const
{
    CRegistryKey key(IDS_REG_PROFILES_KEY, ProfileName);
    return key.WriteString(IDS_REG_DUN_PHONEBOOK_ENTRY, DUNPhonebookEntry) &&
           key.WriteString(IDS_REG_SCRIPT_PATH, ScriptPath) && key.WriteString(IDS_REG_LOGIN_APP_PATH, LoginAppPath) &&
           key.WriteString(IDS_REG_TOKEN_SERIAL_NUMBER, TokenSerialNumber) &&
           key.WriteDword(IDS_REG_UPDATE_PASSCODE_DURATION, static_cast<DWORD>(UpdatePASSCODEDuration)) &&
           key.WriteString(IDS_REG_USER_LOGIN, UserLogin) &&
           key.WriteDword(IDS_REG_USER_LOGIN_REQUIRED, UserLoginRequired ? 1 : 0);
}

bool ConnectionProfile::Delete()
{
    std::string path;
    if (ProfileName.empty() || !LoadString(IDS_REG_PROFILES_KEY, path))
        return false;
    CRegistryKeyBase root(HKEY_LOCAL_MACHINE);
    return root.DeleteSubkey(HKEY_LOCAL_MACHINE, path + ProfileName);
}
