#include <platform/ContextPopups.h>
#include <platform/HelpDirectory.h>
#include <platform/HelpLocation.h>

#include <TempDir.h>

#include <gtest/gtest.h>

#include <filesystem>

TEST(HelpLocation, SplitsBookAndFile)
{
    const auto topic = CHelpLocation::Parse("kelvane.chm::/html/trevalo_overview.htm");
    ASSERT_TRUE(topic);
    EXPECT_EQ("kelvane", topic->Book());
    EXPECT_EQ("html/trevalo_overview.htm", topic->File());
    EXPECT_EQ(std::filesystem::path("/usr/share/trevalo/help/kelvane/html/trevalo_overview.htm"),
              topic->PathUnder("/usr/share/trevalo/help"));
    const auto popups = CHelpLocation::Parse("kelvane.chm::/context.txt");
    ASSERT_TRUE(popups);
    EXPECT_EQ("context.txt", popups->File());
    EXPECT_EQ("", popups->Fragment());
    const auto part = CHelpLocation::Parse("kelvane.chm::/html/a.htm#placeholders");
    ASSERT_TRUE(part);
    EXPECT_EQ("html/a.htm", part->File());
    EXPECT_EQ("placeholders", part->Fragment());
}

TEST(HelpLocation, RefusesLocationsThatNameNoFileOrLeaveTheBook)
{
    for (const char* location :
         {"kelvane.chm", "kelvane.chm::", "kelvane.chm::/", "::/html/a.htm", "kelvane.chm::/../../etc/passwd",
          "kelvane.chm::/html/../../x.htm", "../kelvane.chm::/a.htm", "/etc/kelvane.chm::/a.htm",
          "kelvane.chm:://etc/passwd", "kelvane.chm::/#top"})
        EXPECT_FALSE(CHelpLocation::Parse(location)) << location;
}

TEST(HelpDirectory, PrefersTheTreeBesideTheProgram)
{
    TempDir dir;
    const std::filesystem::path bin = dir.File("build/bin");
    std::filesystem::create_directories(bin);
    EXPECT_EQ(std::filesystem::path("/usr/share/trevalo/help"),
              FindHelpDirectory(bin, "/usr/share/trevalo/help"));
    std::filesystem::create_directories(dir.File("build/share/trevalo/help"));
    EXPECT_EQ(std::filesystem::path(dir.File("build/share/trevalo/help")),
              FindHelpDirectory(bin, "/usr/share/trevalo/help"));
}

TEST(ContextPopups, ReadsEachTopicUpToTheNext)
{
    CContextPopups popups;
    popups.Parse("text before any topic is nobody's\n"
                 ".topic 23\r\nFirst line.\r\nSecond line.\r\n\r\n"
                 ".topic 24\n  Indented text.  \n\n\n"
                 ".topics 30\nnot a topic line\n"
                 ".topic 25x\nstill 24\n"
                 "  .topic\t26\nlast");
    ASSERT_TRUE(popups.Find(23));
    EXPECT_EQ("First line.\nSecond line.", *popups.Find(23));
    ASSERT_TRUE(popups.Find(24));
    EXPECT_EQ("Indented text.  \n\n\n.topics 30\nnot a topic line\n.topic 25x\nstill 24", *popups.Find(24));
    ASSERT_TRUE(popups.Find(26));
    EXPECT_EQ("last", *popups.Find(26));
    EXPECT_FALSE(popups.Find(25));
    EXPECT_FALSE(popups.Find(30));
}

TEST(ContextPopups, LoadsAFileAndFailsForAMissingOne)
{
    TempDir dir;
    WriteFile(dir.File("context.txt"), ".topic 7\nSeven\n");
    CContextPopups popups;
    EXPECT_FALSE(popups.Load(dir.File("missing.txt")));
    ASSERT_TRUE(popups.Load(dir.File("context.txt")));
    EXPECT_EQ("Seven", *popups.Find(7));
    EXPECT_FALSE(popups.Load(dir.Path()));
}
