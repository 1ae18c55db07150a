#pragma once

#include "ConnectionProfile.h"

#include <platform/WinTypes.h>

// The two numbers of a profile as stored, into its fields: one rule for Load and for the bulk read.
inline void SetPasscodeDuration(ConnectionProfile& profile, DWORD stored)
{
    profile.UpdatePASSCODEDuration = static_cast<std::int32_t>(stored);
}

inline void SetUserLoginRequired(ConnectionProfile& profile, DWORD stored)
{
    profile.UserLoginRequired = static_cast<std::int32_t>(stored) > 0;
}
