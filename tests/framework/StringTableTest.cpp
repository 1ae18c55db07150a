#include <framework/StringTable.h>
#include <res/StringResources.h>
#include <res/resource.h>

#include <gtest/gtest.h>

TEST(StringTable, LoadsKnownTextsAndRefusesUnknownOnes)
{
    std::string text = "unchanged";
    EXPECT_TRUE(LoadString(IDS_CANNOT_FIND_SCRIPT, text));
    EXPECT_EQ("Cannot find the script file.", text);

    text = "unchanged";
    EXPECT_FALSE(LoadString(1, text));
    EXPECT_FALSE(LoadString(99999, text));
    EXPECT_EQ("unchanged", text);
}

TEST(StringTable, EveryEntryLoads)
{
    for (const StringResource& entry : StringResources()) {
        std::string text;
        EXPECT_TRUE(LoadString(entry.id, text)) << entry.id;
        EXPECT_EQ(entry.text, text);
    }
}

TEST(StringTable, FormatsOneAndTwoInserts)
{
    EXPECT_EQ("Cannot rename file /tmp/a b.scp.", FormatString1(IDS_CANNOT_RENAME_FILE, "/tmp/a b.scp"));
    EXPECT_EQ("Backup file /s/LOGIN.BAK exists. Previous execution of script /s/login.scp was probably "
              "terminated before it was finished.",
              FormatString2(IDS_STALE_BACKUP_EXISTS, "/s/LOGIN.BAK", "/s/login.scp"));
    EXPECT_EQ("", FormatString1(99999, "x"));
}

TEST(StringTable, InsertsAreNotSearchedAgain)
{
    EXPECT_EQ("a %2 b X", FormatText("a %1 b %2", "%2", "X"));
    EXPECT_EQ("100% %3 %", FormatText("100% %3 %", "x"));
    EXPECT_EQ("xx", FormatText("%1%1", "x"));
    EXPECT_EQ(" and ", FormatText("%1 and %2", ""));
}
