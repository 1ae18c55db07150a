#include "AppSettings.h"

#include "RegistryKey.h"

#include <res/resource.h>

#include <cstdint>

void CAppSettings::Load()
{
    CRegistryKey key(IDS_REG_SETTINGS_KEY);
    DWORD autoExit = 0;
    key.ReadDword(IDS_REG_AUTO_EXIT, autoExit);
    m_bAutoExit = static_cast<std::int32_t>(autoExit) > 0;
    key.ReadString(IDS_REG_DEFAULT_PROFILE, m_strDefaultProfile);
    key.ReadString(IDS_REG_NEW_PROFILE_LOGIN_APP_PATH, m_strNewProfileLoginApp);
    key.ReadString(IDS_REG_NEW_PROFILE_SCRIPT_PATH, m_strNewProfileScript);
}

void CAppSettings::SaveAutoExit(bool autoExit)
{
    CRegistryKey key(IDS_REG_SETTINGS_KEY);
    key.WriteDword(IDS_REG_AUTO_EXIT, autoExit ? 1 : 0);
}

void CAppSettings::SaveDefaultProfile(const std::string& name)
{
    CRegistryKey key(IDS_REG_SETTINGS_KEY);
    key.WriteString(IDS_REG_DEFAULT_PROFILE, name);
}
