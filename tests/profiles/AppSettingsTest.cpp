#include <profiles/AppSettings.h>
#include <profiles/ProfileList.h>
#include <profiles/RegistryKey.h>

#include <res/resource.h>

#include <TempDir.h>

#include <gtest/gtest.h>

namespace {

bool KeyExists(const char* path)
{
    HKEY key = nullptr;
    if (RegOpenKeyEx(HKEY_LOCAL_MACHINE, path, KEY_READ, &key) != ERROR_SUCCESS)
        return false;
    RegCloseKey(key);
    return true;
}

bool AutoExitWith(DWORD stored)
{
    CRegistryKey(IDS_REG_SETTINGS_KEY).WriteDword(IDS_REG_AUTO_EXIT, stored);
    CAppSettings settings;
    settings.Load();
    return settings.m_bAutoExit;
}

} // namespace

TEST(AppSettings, FirstStartCreatesBothKeysAndKeepsTheDefaults)
{
    TempDir dir;
    CAppSettings settings;
    settings.Load();
    CProfileList list;
    EXPECT_TRUE(list.LoadAll());
    EXPECT_TRUE(KeyExists("SOFTWARE\\Talvex Vediredo\\Talvex Kelvane Software Token\\3.0\\Trevalo"));
    EXPECT_TRUE(KeyExists("Software\\Talvex Vediredo\\Talvex Kelvane Software Token\\3.0\\Trevalo\\"
                          "DialUpNetworkingProfiles"));
    EXPECT_FALSE(settings.m_bAutoExit);
    EXPECT_EQ("", settings.m_strDefaultProfile);
    EXPECT_EQ("", settings.m_strNewProfileLoginApp);
    EXPECT_EQ("", settings.m_strNewProfileScript);
    EXPECT_EQ(0, list.GetCount());
}

TEST(AppSettings, AutoExitIsOnOnlyAboveZero)
{
    TempDir dir;
    EXPECT_FALSE(AutoExitWith(0));
    EXPECT_FALSE(AutoExitWith(0xffffffffu));
    EXPECT_FALSE(AutoExitWith(0x80000000u));
    EXPECT_TRUE(AutoExitWith(1));
    EXPECT_TRUE(AutoExitWith(7));
}

TEST(AppSettings, SavedSettingsReadBack)
{
    TempDir dir;
    CAppSettings::SaveAutoExit(true);
    CAppSettings::SaveDefaultProfile("Office");
    CRegistryKey key(IDS_REG_SETTINGS_KEY);
    ASSERT_TRUE(key.WriteString(IDS_REG_NEW_PROFILE_SCRIPT_PATH, "/etc/trevalo/login.scp"));
    ASSERT_TRUE(key.WriteString(IDS_REG_NEW_PROFILE_LOGIN_APP_PATH, "/usr/bin/dialer --login"));
    CAppSettings settings;
    settings.Load();
    EXPECT_TRUE(settings.m_bAutoExit);
    EXPECT_EQ("Office", settings.m_strDefaultProfile);
    EXPECT_EQ("/etc/trevalo/login.scp", settings.m_strNewProfileScript);
    EXPECT_EQ("/usr/bin/dialer --login", settings.m_strNewProfileLoginApp);

    CAppSettings::SaveAutoExit(false);
    DWORD stored = 9;
    ASSERT_TRUE(key.ReadDword(IDS_REG_AUTO_EXIT, stored));
    EXPECT_EQ(0u, stored);
}
