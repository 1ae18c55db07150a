#include <profiles/RegistryKey.h>

#include <res/resource.h>

#include <TempDir.h>

#include <gtest/gtest.h>

#include <string>

namespace {

constexpr REGSAM kAll = KEY_READ | KEY_SET_VALUE | KEY_CREATE_SUB_KEY;
const std::string kSettings = "SOFTWARE\\Talvex Vediredo\\Talvex Kelvane Software Token\\3.0\\Trevalo\\";

// Stores raw bytes under the settings key, as another program might have.
void StoreRaw(const char* name, DWORD type, const std::string& bytes)
{
    HKEY key = nullptr;
    ASSERT_EQ(ERROR_SUCCESS, RegCreateKeyEx(HKEY_LOCAL_MACHINE, kSettings.c_str(), kAll, &key, nullptr));
    ASSERT_EQ(ERROR_SUCCESS, RegSetValueEx(key, name, type, reinterpret_cast<const unsigned char*>(bytes.data()),
                                           static_cast<DWORD>(bytes.size())));
    RegCloseKey(key);
}

class RegistryKey : public ::testing::Test {
protected:
    TempDir m_dir;
};

} // namespace

TEST_F(RegistryKey, ConstructionCreatesAMissingKeyWhoseReadsThenFail)
{
    HKEY probe = nullptr;
    EXPECT_EQ(ERROR_FILE_NOT_FOUND, RegOpenKeyEx(HKEY_LOCAL_MACHINE, kSettings.c_str(), KEY_READ, &probe));
    CRegistryKey key(IDS_REG_SETTINGS_KEY);
    ASSERT_TRUE(key.IsOpen());
    EXPECT_EQ(kSettings, key.GetPath());
    std::string text = "default";
    DWORD number = 42;
    EXPECT_FALSE(key.ReadString(IDS_REG_DEFAULT_PROFILE, text));
    EXPECT_EQ(ERROR_FILE_NOT_FOUND, key.GetStatus());
    EXPECT_FALSE(key.ReadDword(IDS_REG_AUTO_EXIT, number));
    EXPECT_EQ("default", text);
    EXPECT_EQ(42u, number);
    ASSERT_EQ(ERROR_SUCCESS, RegOpenKeyEx(HKEY_LOCAL_MACHINE, kSettings.c_str(), KEY_READ, &probe));
    RegCloseKey(probe);
}

TEST_F(RegistryKey, TextsOfMoreThan199CharactersAreWrittenButNotRead)
{
    CRegistryKey key(IDS_REG_SETTINGS_KEY);
    const std::string longest(199, 'a');
    std::string text;
    ASSERT_TRUE(key.WriteString(IDS_REG_DEFAULT_PROFILE, longest));
    EXPECT_EQ(REG_SZ, key.GetValueType());
    EXPECT_EQ(200u, key.GetDataSize());
    ASSERT_TRUE(key.ReadString(IDS_REG_DEFAULT_PROFILE, text));
    EXPECT_EQ(longest, text);

    ASSERT_TRUE(key.WriteString(IDS_REG_DEFAULT_PROFILE, longest + "b"));
    text = "kept";
    EXPECT_FALSE(key.ReadString(IDS_REG_DEFAULT_PROFILE, text));
    EXPECT_EQ(ERROR_MORE_DATA, key.GetStatus());
    EXPECT_EQ(201u, key.GetDataSize());
    EXPECT_EQ("kept", text);
}

TEST_F(RegistryKey, ReadsIgnoreTheStoredType)
{
    StoreRaw("AutoExit", REG_SZ, std::string("ab", 3));
    StoreRaw("DefaultProfile", REG_DWORD, std::string("ABC\0", 4));
    StoreRaw("NewProfileDefaultScriptPath", REG_DWORD, std::string("\x05", 1));
    StoreRaw("NewProfileDefaultLoginAppPath", REG_SZ, std::string("12345", 5));
    CRegistryKey key(IDS_REG_SETTINGS_KEY);

    DWORD number = 99;
    ASSERT_TRUE(key.ReadDword(IDS_REG_AUTO_EXIT, number));
    EXPECT_EQ(0x006261u, number);
    EXPECT_EQ(REG_SZ, key.GetValueType());
    ASSERT_TRUE(key.ReadDword(IDS_REG_NEW_PROFILE_SCRIPT_PATH, number));
    EXPECT_EQ(5u, number);
    number = 99;
    EXPECT_FALSE(key.ReadDword(IDS_REG_NEW_PROFILE_LOGIN_APP_PATH, number));
    EXPECT_EQ(99u, number);

    std::string text;
    ASSERT_TRUE(key.ReadString(IDS_REG_DEFAULT_PROFILE, text));
    EXPECT_EQ("ABC", text);
    ASSERT_TRUE(key.ReadString(IDS_REG_NEW_PROFILE_LOGIN_APP_PATH, text));
    EXPECT_EQ("12345", text);
}

TEST_F(RegistryKey, NumbersAreFourBytesLittleEndian)
{
    CRegistryKey key(IDS_REG_SETTINGS_KEY);
    ASSERT_TRUE(key.WriteDword(IDS_REG_AUTO_EXIT, 0xfffffffeu));
    EXPECT_EQ(REG_DWORD, key.GetValueType());
    EXPECT_EQ(4u, key.GetDataSize());
    unsigned char bytes[4] = {};
    DWORD size = sizeof bytes;
    ASSERT_EQ(ERROR_SUCCESS, RegQueryValueEx(key.GetHandle(), "AutoExit", nullptr, bytes, &size));
    EXPECT_EQ(std::string("\xfe\xff\xff\xff", 4), std::string(bytes, bytes + 4));
}

TEST_F(RegistryKey, UnknownIdentifiersFailWithoutTouchingTheRegistry)
{
    CRegistryKey unknownPath(1);
    EXPECT_FALSE(unknownPath.IsOpen());
    std::vector<std::string> names{"stale"};
    EXPECT_FALSE(unknownPath.EnumSubkeys(names));
    EXPECT_TRUE(names.empty());
    EXPECT_FALSE(unknownPath.WriteString(IDS_REG_DEFAULT_PROFILE, "x"));

    CRegistryKey key(IDS_REG_SETTINGS_KEY);
    EXPECT_FALSE(key.WriteString(1, "x"));
    HKEY raw = nullptr;
    ASSERT_EQ(ERROR_SUCCESS, RegOpenKeyEx(HKEY_LOCAL_MACHINE, kSettings.c_str(), KEY_READ, &raw));
    char name[64];
    DWORD length = sizeof name;
    EXPECT_EQ(ERROR_NO_MORE_ITEMS, RegEnumValue(raw, 0, name, &length, nullptr, nullptr, nullptr));
    RegCloseKey(raw);
}

TEST_F(RegistryKey, SubkeysListAndDeleteOnlyWhatExists)
{
    CRegistryKey profiles(IDS_REG_PROFILES_KEY);
    std::vector<std::string> names{"stale"};
    EXPECT_TRUE(profiles.EnumSubkeys(names));
    EXPECT_TRUE(names.empty());
    {
        CRegistryKey office(IDS_REG_PROFILES_KEY, "Office");
        CRegistryKey home(IDS_REG_PROFILES_KEY, "home");
    }
    EXPECT_TRUE(profiles.EnumSubkeys(names));
    EXPECT_EQ((std::vector<std::string>{"home", "Office"}), names);

    CRegistryKeyBase root(HKEY_LOCAL_MACHINE);
    EXPECT_TRUE(root.DeleteSubkey(HKEY_LOCAL_MACHINE, profiles.GetPath() + "office"));
    EXPECT_FALSE(root.DeleteSubkey(HKEY_LOCAL_MACHINE, profiles.GetPath() + "office"));
    EXPECT_EQ(ERROR_FILE_NOT_FOUND, root.GetStatus());
    EXPECT_FALSE(root.DeleteSubkey(HKEY_LOCAL_MACHINE, kSettings));
    EXPECT_EQ(ERROR_ACCESS_DENIED, root.GetStatus());
    EXPECT_TRUE(profiles.EnumSubkeys(names));
    EXPECT_EQ(std::vector<std::string>{"home"}, names);
}

TEST_F(RegistryKey, OpeningAgainReleasesTheEarlierKey)
{
    CRegistryKeyBase key(HKEY_LOCAL_MACHINE);
    ASSERT_TRUE(key.Create(HKEY_LOCAL_MACHINE, "SOFTWARE\\One"));
    ASSERT_TRUE(key.Open(HKEY_LOCAL_MACHINE, "SOFTWARE\\One"));
    EXPECT_FALSE(key.Open(HKEY_LOCAL_MACHINE, "SOFTWARE\\Two"));
    EXPECT_EQ("SOFTWARE\\One", key.GetPath());
    key.Close();
    EXPECT_EQ(nullptr, key.GetHandle());
    EXPECT_FALSE(key.SetDword("v", 1));
}
