#include <profiles/ConnectionProfile.h>
#include <profiles/RegistryKey.h>

#include <res/resource.h>

#include <TempDir.h>

#include <gtest/gtest.h>
#include <platform/HiveLocation.h>
#include <sqlite3.h>

#include <vector>

namespace {

ConnectionProfile Sample(const std::string& name)
{
    ConnectionProfile profile(name);
    profile.DUNPhonebookEntry = "provider";
    profile.ScriptPath = "/home/ann/scripts/login.scp";
    profile.LoginAppPath = "/usr/bin/dialer";
    profile.UserLogin = "ann";
    profile.TokenSerialNumber = "000123456789";
    profile.UpdatePASSCODEDuration = -3;
    profile.UserLoginRequired = true;
    return profile;
}

std::vector<std::string> ProfileKeys()
{
    std::vector<std::string> names;
    CRegistryKey(IDS_REG_PROFILES_KEY).EnumSubkeys(names);
    return names;
}

class Profile : public ::testing::Test {
protected:
    TempDir m_dir;
};

} // namespace

TEST_F(Profile, SavedFieldsLoadBack)
{
    ConnectionProfile saved = Sample("Office");
    ASSERT_TRUE(saved.Save());
    ConnectionProfile loaded("office");
    ASSERT_TRUE(loaded.Load());
    EXPECT_EQ("provider", loaded.DUNPhonebookEntry);
    EXPECT_EQ("/home/ann/scripts/login.scp", loaded.ScriptPath);
    EXPECT_EQ("/usr/bin/dialer", loaded.LoginAppPath);
    EXPECT_EQ("ann", loaded.UserLogin);
    EXPECT_EQ("000123456789", loaded.TokenSerialNumber);
    EXPECT_EQ(-3, loaded.UpdatePASSCODEDuration);
    EXPECT_TRUE(loaded.UserLoginRequired);
    EXPECT_EQ(std::vector<std::string>{"Office"}, ProfileKeys());
}

TEST_F(Profile, ANewProfileHasDefiniteDefaults)
{
    ConnectionProfile fresh;
    EXPECT_EQ("", fresh.ProfileName);
    EXPECT_EQ("", fresh.ScriptPath);
    EXPECT_EQ(0, fresh.UpdatePASSCODEDuration);
}

TEST_F(Profile, UserLoginRequiredReadsAboveZeroAndIsSavedAsOneOrZero)
{
    ConnectionProfile profile = Sample("Office");
    ASSERT_TRUE(profile.Save());
    CRegistryKey key(IDS_REG_PROFILES_KEY, "Office");
    ASSERT_TRUE(key.WriteDword(IDS_REG_USER_LOGIN_REQUIRED, 2));
    ASSERT_TRUE(profile.Load());
    EXPECT_TRUE(profile.UserLoginRequired);
    ASSERT_TRUE(profile.Save());
    DWORD stored = 0;
    ASSERT_TRUE(key.ReadDword(IDS_REG_USER_LOGIN_REQUIRED, stored));
    EXPECT_EQ(1u, stored);

    ASSERT_TRUE(key.WriteDword(IDS_REG_USER_LOGIN_REQUIRED, 0xffffffffu));
    ASSERT_TRUE(profile.Load());
    EXPECT_FALSE(profile.UserLoginRequired);
    ASSERT_TRUE(profile.Save());
    ASSERT_TRUE(key.ReadDword(IDS_REG_USER_LOGIN_REQUIRED, stored));
    EXPECT_EQ(0u, stored);
}

TEST_F(Profile, AMissingValueStopsTheLoadWithEarlierFieldsRead)
{
    ASSERT_TRUE(Sample("Office").Save());
    HKEY raw = nullptr;
    ASSERT_EQ(ERROR_SUCCESS, RegOpenKeyEx(HKEY_LOCAL_MACHINE,
                                          "SOFTWARE\\Talvex Vediredo\\Talvex Kelvane Software Token\\3.0\\Trevalo\\"
                                          "DialUpNetworkingProfiles\\Office",
                                          KEY_READ | KEY_SET_VALUE, &raw));
    ASSERT_EQ(ERROR_SUCCESS, RegDeleteValue(raw, "UpdatePASSCODEDuration"));
    RegCloseKey(raw);

    ConnectionProfile profile("Office");
    profile.UserLogin = "before";
    profile.UpdatePASSCODEDuration = 11;
    EXPECT_FALSE(profile.Load());
    EXPECT_EQ("000123456789", profile.TokenSerialNumber);
    EXPECT_EQ(11, profile.UpdatePASSCODEDuration);
    EXPECT_EQ("before", profile.UserLogin);
}

TEST_F(Profile, ASaveThatFailsMidwayLeavesTheRegistryAsItWas)
{
    ConnectionProfile existing = Sample("Office");
    ASSERT_TRUE(existing.Save());
    // The hive refuses the sixth value, as a failing disk would.
    sqlite3* db = nullptr;
    ASSERT_EQ(SQLITE_OK, sqlite3_open(RegistryHivePath().c_str(), &db));
    ASSERT_EQ(SQLITE_OK, sqlite3_exec(db,
                                      "CREATE TRIGGER refuse BEFORE UPDATE ON vals WHEN NEW.name = 'UserLogin' "
                                      "BEGIN SELECT RAISE(ABORT, 'refused'); END;"
                                      "CREATE TRIGGER refuseNew BEFORE INSERT ON vals WHEN NEW.name = 'UserLogin' "
                                      "BEGIN SELECT RAISE(ABORT, 'refused'); END;",
                                      nullptr, nullptr, nullptr));
    sqlite3_close(db);

    existing.ScriptPath = "/changed";
    existing.UserLogin += "-changed"; // an unchanged value is not written, so would not be refused
    EXPECT_FALSE(existing.Save());
    EXPECT_FALSE(Sample("Home").Save());
    EXPECT_EQ(std::vector<std::string>{"Office"}, ProfileKeys());
    ConnectionProfile loaded("Office");
    ASSERT_TRUE(loaded.Load());
    EXPECT_EQ("/home/ann/scripts/login.scp", loaded.ScriptPath);
}

TEST_F(Profile, AScriptPathOver199CharactersSavesButDoesNotLoad)
{
    ConnectionProfile profile = Sample("Office");
    profile.ScriptPath = "/" + std::string(249, 's');
    ASSERT_TRUE(profile.Save());
    ConnectionProfile loaded("Office");
    EXPECT_FALSE(loaded.Load());
    EXPECT_EQ("provider", loaded.DUNPhonebookEntry);
    EXPECT_EQ("", loaded.ScriptPath);
}

TEST_F(Profile, LoadOfAnUnknownNameCreatesAnEmptySubkey)
{
    ConnectionProfile profile("Nowhere");
    EXPECT_FALSE(profile.Load());
    EXPECT_EQ(std::vector<std::string>{"Nowhere"}, ProfileKeys());
}

TEST_F(Profile, ABackslashInTheNameAddressesANestedKey)
{
    ASSERT_TRUE(Sample("Work\\VPN").Save());
    EXPECT_EQ(std::vector<std::string>{"Work"}, ProfileKeys());
    ConnectionProfile loaded("work\\vpn");
    EXPECT_TRUE(loaded.Load());
    EXPECT_TRUE(loaded.Delete());
    EXPECT_EQ(std::vector<std::string>{"Work"}, ProfileKeys());
}

TEST_F(Profile, DeleteRemovesTheSubkeyAndLeavesTheObject)
{
    ConnectionProfile profile = Sample("Office");
    ASSERT_TRUE(profile.Save());
    ASSERT_TRUE(Sample("Home").Save());
    EXPECT_TRUE(profile.Delete());
    EXPECT_EQ("provider", profile.DUNPhonebookEntry);
    EXPECT_EQ(std::vector<std::string>{"Home"}, ProfileKeys());
    EXPECT_FALSE(profile.Delete());
}

TEST_F(Profile, AnEmptyNameNeverReachesTheProfilesKeyItself)
{
    CRegistryKey profiles(IDS_REG_PROFILES_KEY);
    ConnectionProfile unnamed = Sample("");
    EXPECT_FALSE(unnamed.Save());
    EXPECT_FALSE(unnamed.Load());
    EXPECT_FALSE(unnamed.Delete());
    DWORD size = 0;
    EXPECT_EQ(ERROR_FILE_NOT_FOUND, RegQueryValueEx(profiles.GetHandle(), "ScriptPath", nullptr, nullptr, &size));
    std::vector<std::string> names;
    EXPECT_TRUE(profiles.EnumSubkeys(names));
    EXPECT_TRUE(names.empty());
}
