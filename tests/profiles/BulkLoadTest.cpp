// LoadAll reads the profiles key in one query; on any hive it must come to what opening each
// profile's key and reading its values one by one gives.
#include <profiles/ProfileList.h>
#include <profiles/RegistryKey.h>

#include <platform/HiveLocation.h>
#include <res/resource.h>

#include <TempDir.h>

#include <gtest/gtest.h>
#include <sqlite3.h>

#include <string>
#include <vector>

namespace {

const std::string kProfiles =
    "SOFTWARE\\Talvex Vediredo\\Talvex Kelvane Software Token\\3.0\\Trevalo\\DialUpNetworkingProfiles\\";

void Save(const std::string& name)
{
    ConnectionProfile profile(name);
    profile.DUNPhonebookEntry = "isp-" + name;
    profile.ScriptPath = "/s/" + name + ".scp";
    profile.UserLogin = "ann";
    profile.UpdatePASSCODEDuration = 3;
    profile.UserLoginRequired = true;
    ASSERT_TRUE(profile.Save());
}

void SetRaw(const std::string& profile, const char* value, DWORD type, const std::string& bytes)
{
    HKEY key = nullptr;
    ASSERT_EQ(ERROR_SUCCESS,
              RegCreateKeyEx(HKEY_LOCAL_MACHINE, (kProfiles + profile).c_str(), KEY_WRITE, &key, nullptr));
    ASSERT_EQ(ERROR_SUCCESS, RegSetValueEx(key, value, type, reinterpret_cast<const unsigned char*>(bytes.data()),
                                           static_cast<DWORD>(bytes.size())));
    RegCloseKey(key);
}

void DeleteValue(const std::string& profile, const char* value)
{
    HKEY key = nullptr;
    ASSERT_EQ(ERROR_SUCCESS, RegOpenKeyEx(HKEY_LOCAL_MACHINE, (kProfiles + profile).c_str(), KEY_WRITE, &key));
    ASSERT_EQ(ERROR_SUCCESS, RegDeleteValue(key, value));
    RegCloseKey(key);
}

// A subkey name the registry calls never make, written straight into the hive file.
void RenameKey(const std::string& from, const std::string& to)
{
    sqlite3* db = nullptr;
    ASSERT_EQ(SQLITE_OK, sqlite3_open(RegistryHivePath().c_str(), &db));
    const std::string sql =
        "UPDATE keys SET name = '" + to + "', folded = upper('" + to + "') WHERE name = '" + from + "'";
    EXPECT_EQ(SQLITE_OK, sqlite3_exec(db, sql.c_str(), nullptr, nullptr, nullptr));
    sqlite3_close(db);
}

struct Hive {
    const char* name;
    void (*make)();
    bool loads;
    std::size_t profiles;
};

const Hive kHives[] = {
    {"Plain",
     [] {
         for (const char* n : {"b", "A", "c"})
             Save(n);
     },
     true, 3},
    {"MissingValue",
     [] {
         for (const char* n : {"a", "b", "c"})
             Save(n);
         DeleteValue("b", "UserLoginRequired");
     },
     false, 1},
    {"ValueNamesInOtherCase",
     [] {
         Save("a");
         DeleteValue("a", "ScriptPath");
         SetRaw("a", "SCRIPTPATH", REG_SZ, std::string("/x\0", 3));
     },
     true, 1},
    {"ValuesStoredApart",
     [] {
         Save("b");
         Save("a");
         DeleteValue("b", "ScriptPath");
         SetRaw("b", "ScriptPath", REG_SZ, std::string("/later\0", 7));
         SetRaw("a", "Other", REG_SZ, "x");
     },
     true, 2},
    {"TextOfOtherTypes",
     [] {
         Save("a");
         SetRaw("a", "UserLogin", REG_DWORD, std::string("ab\0cd", 5));
         SetRaw("a", "LoginAppPath", REG_BINARY, "");
     },
     true, 1},
    {"NumbersOfOtherSizes",
     [] {
         Save("a");
         Save("b");
         SetRaw("a", "UpdatePASSCODEDuration", REG_BINARY, "\x07\x01");
         SetRaw("b", "UserLoginRequired", REG_SZ, "12345");
     },
     false, 1},
    {"TextAtAndPastItsLimit",
     [] {
         Save("a");
         Save("b");
         SetRaw("a", "ScriptPath", REG_SZ, std::string(200, 'x'));
         SetRaw("b", "ScriptPath", REG_SZ, std::string(201, 'x'));
     },
     false, 1},
    {"NestedKeyWithoutValues",
     [] {
         Save("a");
         Save("Work\\VPN");
         Save("z");
     },
     false, 1},
    // A profile's own subkey, made between two profiles, its value stored after the second's.
    {"NestedKeyWithValues",
     [] {
         Save("a");
         SetRaw("a\\Inner", "Other", REG_SZ, "x");
         Save("b");
         SetRaw("a\\Inner", "ScriptPath", REG_SZ, std::string("/inner\0", 7));
     },
     true, 2},
    {"BackslashInAStoredName",
     [] {
         Save("a");
         Save("b");
         Save("c");
         RenameKey("b", "b\\x");
     },
     false, 1},
    {"OverlongStoredName",
     [] {
         Save("a");
         Save("b");
         RenameKey("a", std::string(256, 'a'));
     },
     false, 0},
};

void PrintTo(const Hive& hive, std::ostream* out)
{
    *out << hive.name;
}

// Every profile as one line, and whether the list loaded whole.
struct Outcome {
    bool loaded = false;
    std::vector<std::string> profiles;
    bool operator==(const Outcome&) const = default;
};

std::string Describe(const ConnectionProfile& p)
{
    return p.ProfileName + "|" + p.DUNPhonebookEntry + "|" + p.ScriptPath + "|" + p.LoginAppPath + "|" + p.UserLogin +
           "|" + p.TokenSerialNumber + "|" + std::to_string(p.UpdatePASSCODEDuration) + "|" +
           std::to_string(p.UserLoginRequired);
}

Outcome OneByOne()
{
    Outcome outcome{true, {}};
    std::vector<std::string> names;
    CRegistryKey(IDS_REG_PROFILES_KEY).EnumSubkeys(names);
    for (const std::string& name : names) {
        ConnectionProfile profile(name);
        if (!profile.Load()) {
            outcome.loaded = false;
            break;
        }
        outcome.profiles.push_back(Describe(profile));
    }
    return outcome;
}

Outcome Bulk()
{
    CProfileList list;
    Outcome outcome{list.LoadAll(), {}};
    std::vector<std::string> names;
    list.GetNames(names);
    for (const std::string& name : names)
        outcome.profiles.push_back(Describe(*list.FindByName(name)));
    return outcome;
}

// Each way reads a hive of its own: a name the registry calls cannot address makes them create keys.
Outcome Read(const Hive& hive, Outcome (*read)())
{
    TempDir dir;
    hive.make();
    return read();
}

class BulkLoad : public ::testing::TestWithParam<Hive> {};

} // namespace

TEST_P(BulkLoad, GivesWhatReadingEachValueGives)
{
    const Outcome expected = Read(GetParam(), OneByOne);
    EXPECT_EQ(GetParam().loads, expected.loaded);
    EXPECT_EQ(GetParam().profiles, expected.profiles.size());
    const Outcome bulk = Read(GetParam(), Bulk);
    EXPECT_EQ(expected.loaded, bulk.loaded);
    EXPECT_EQ(expected.profiles, bulk.profiles);
}

INSTANTIATE_TEST_SUITE_P(Hives, BulkLoad, ::testing::ValuesIn(kHives),
                         [](const auto& hive) { return std::string(hive.param.name); });
