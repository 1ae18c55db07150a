#pragma once

#include "ConnectionProfile.h"

#include <platform/WinTypes.h>

#include <res/resource.h>

// The seven values of a profile through `reader`, an open CRegistryKey or the CSubkeyValues of a
// bulk read, so both ways read them alike: false at the first one missing or unreadable.
template <class Reader> bool ReadProfileValues(ConnectionProfile& profile, Reader& reader)
{
    DWORD duration = 0;
    DWORD required = 0;
    if (!(reader.ReadString(IDS_REG_DUN_PHONEBOOK_ENTRY, profile.DUNPhonebookEntry) &&
          reader.ReadString(IDS_REG_SCRIPT_PATH, profile.ScriptPath) &&
          reader.ReadString(IDS_REG_LOGIN_APP_PATH, profile.LoginAppPath) &&
          reader.ReadString(IDS_REG_TOKEN_SERIAL_NUMBER, profile.TokenSerialNumber) &&
          reader.ReadDword(IDS_REG_UPDATE_PASSCODE_DURATION, duration)))
        return false;
    profile.UpdatePASSCODEDuration = static_cast<std::int32_t>(duration);
    if (!(reader.ReadString(IDS_REG_USER_LOGIN, profile.UserLogin) &&
          reader.ReadDword(IDS_REG_USER_LOGIN_REQUIRED, required)))
        return false;
    profile.UserLoginRequired = static_cast<std::int32_t>(required) > 0;
    return true;
}
