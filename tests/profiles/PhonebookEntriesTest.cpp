#include "RecordingCombo.h"

#include <profiles/PhonebookEntries.h>

#include <TempDir.h>

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>

TEST(PhonebookEntries, ListsPeersInOrderSkippingHiddenFilesAndDirectories)
{
    TempDir dir;
    for (const char* name : {"work", "Office", "dsl"})
        WriteFile(dir.File("peers/" + std::string(name)), "");
    WriteFile(dir.File("peers/.previous"), "");
    std::filesystem::create_directory(dir.File("peers/chatscripts"));
    CPhonebookEntries entries;
    entries.Enumerate();
    EXPECT_EQ(3, entries.GetCount());
    RecordingCombo combo;
    entries.FillCombo(combo);
    EXPECT_EQ((std::vector<std::string>{"reset", "Office", "dsl", "work"}), combo.calls);
}

TEST(PhonebookEntries, ContainsComparesExactly)
{
    TempDir dir;
    WriteFile(dir.File("peers/Office"), "");
    CPhonebookEntries entries;
    entries.Enumerate();
    EXPECT_TRUE(entries.Contains("Office"));
    EXPECT_FALSE(entries.Contains("office"));
    EXPECT_FALSE(entries.Contains("Office "));
    EXPECT_FALSE(entries.Contains(""));
}

TEST(PhonebookEntries, AMissingDirectoryGivesAnEmptyList)
{
    TempDir dir;
    ::setenv("TREVALO_PEERS_DIR", dir.File("absent").c_str(), 1);
    CPhonebookEntries entries;
    entries.Enumerate();
    EXPECT_EQ(0, entries.GetCount());
    RecordingCombo combo;
    entries.FillCombo(combo);
    EXPECT_EQ(std::vector<std::string>{"reset"}, combo.calls);
}
