#include "RecordingCombo.h"

#include <profiles/ProfileList.h>
#include <profiles/RegistryKey.h>

#include <res/resource.h>

#include <TempDir.h>

#include <gtest/gtest.h>

namespace {

void SaveProfile(const std::string& name, const std::string& phonebookEntry = "provider")
{
    ConnectionProfile profile(name);
    profile.DUNPhonebookEntry = phonebookEntry;
    ASSERT_TRUE(profile.Save());
}

std::vector<std::string> Names(const CProfileList& list)
{
    std::vector<std::string> names{"stale"};
    list.GetNames(names);
    return names;
}

class ProfileList : public ::testing::Test {
protected:
    TempDir m_dir;
};

} // namespace

TEST_F(ProfileList, LoadsEveryProfileInRegistryOrder)
{
    for (const char* name : {"office", "Home", "branch", "Zeta"})
        SaveProfile(name);
    CProfileList list;
    ASSERT_TRUE(list.LoadAll());
    EXPECT_EQ((std::vector<std::string>{"branch", "Home", "office", "Zeta"}), Names(list));
    EXPECT_EQ(4, list.GetCount());
    EXPECT_EQ("branch", list.GetFirst()->ProfileName);
}

TEST_F(ProfileList, AProfileThatDoesNotLoadStopsTheListThere)
{
    for (const char* name : {"a1", "a2", "a3", "a4", "a5"})
        SaveProfile(name);
    HKEY third = nullptr;
    ASSERT_EQ(ERROR_SUCCESS, RegOpenKeyEx(HKEY_LOCAL_MACHINE,
                                          "SOFTWARE\\Talvex Vediredo\\Talvex Kelvane Software Token\\3.0\\Trevalo\\"
                                          "DialUpNetworkingProfiles\\a3",
                                          KEY_READ | KEY_SET_VALUE, &third));
    ASSERT_EQ(ERROR_SUCCESS, RegDeleteValue(third, "UserLogin"));
    RegCloseKey(third);

    CProfileList list;
    EXPECT_FALSE(list.LoadAll());
    EXPECT_EQ((std::vector<std::string>{"a1", "a2"}), Names(list));
    std::vector<std::string> keys;
    CRegistryKey(IDS_REG_PROFILES_KEY).EnumSubkeys(keys);
    EXPECT_EQ(5u, keys.size());
}

TEST_F(ProfileList, FindsAndRemovesByNameIgnoringOnlyAsciiCase)
{
    CProfileList list;
    for (const char* name : {"Office", "OFFICE", "Café"}) {
        auto profile = std::make_unique<ConnectionProfile>(name);
        list.Append(std::move(profile));
    }
    ConnectionProfile* first = list.FindByName("office");
    ASSERT_NE(nullptr, first);
    EXPECT_EQ("Office", first->ProfileName);
    EXPECT_EQ(nullptr, list.FindByName(""));
    EXPECT_EQ(nullptr, list.FindByName("Offic"));
    EXPECT_EQ(nullptr, list.FindByName("CAFÉ"));
    EXPECT_NE(nullptr, list.FindByName("cAFé"));

    EXPECT_FALSE(list.RemoveByName("Elsewhere"));
    EXPECT_EQ(3, list.GetCount());
    EXPECT_TRUE(list.RemoveByName("oFFICE"));
    EXPECT_EQ((std::vector<std::string>{"OFFICE", "Café"}), Names(list));
    EXPECT_TRUE(list.RemoveByName("office"));
    EXPECT_EQ(std::vector<std::string>{"Café"}, Names(list));
}

TEST_F(ProfileList, AnEmptyNameIsFoundOnlyWhenAProfileBearsIt)
{
    CProfileList list;
    list.Append(std::make_unique<ConnectionProfile>("Office"));
    EXPECT_EQ(nullptr, list.FindByName(""));
    list.Append(std::make_unique<ConnectionProfile>());
    EXPECT_NE(nullptr, list.FindByName(""));
}

TEST_F(ProfileList, SavingTheSameObjectAgainChangesItsRecordInPlace)
{
    SaveProfile("Office", "old-entry");
    SaveProfile("Home");
    CProfileList list;
    ASSERT_TRUE(list.LoadAll());
    ConnectionProfile* office = list.FindByName("OFFICE");
    ASSERT_NE(nullptr, office);
    office->DUNPhonebookEntry = "new-entry";
    ASSERT_TRUE(office->Save());

    CProfileList reloaded;
    ASSERT_TRUE(reloaded.LoadAll());
    EXPECT_EQ((std::vector<std::string>{"Home", "Office"}), Names(reloaded));
    EXPECT_EQ("new-entry", reloaded.FindByName("office")->DUNPhonebookEntry);
}

TEST_F(ProfileList, FillsTheComboWithTheNamesInListOrder)
{
    CProfileList list;
    list.Append(std::make_unique<ConnectionProfile>("Zeta"));
    list.Append(std::make_unique<ConnectionProfile>("alpha"));
    RecordingCombo combo;
    list.FillProfileCombo(combo);
    EXPECT_EQ((std::vector<std::string>{"reset", "Zeta", "alpha"}), combo.calls);
    CProfileList empty;
    EXPECT_EQ(nullptr, empty.GetFirst());
    combo.calls.clear();
    empty.FillProfileCombo(combo);
    EXPECT_EQ(std::vector<std::string>{"reset"}, combo.calls);
}

TEST_F(ProfileList, HoldsThePhonebookEntriesFoundAtConstruction)
{
    WriteFile(m_dir.File("peers/provider"), "");
    CProfileList list;
    WriteFile(m_dir.File("peers/later"), "");
    EXPECT_EQ(1, list.GetPhonebookEntries().GetCount());
    EXPECT_TRUE(list.GetPhonebookEntries().Contains("provider"));
    EXPECT_FALSE(list.GetPhonebookEntries().Contains("later"));
}
