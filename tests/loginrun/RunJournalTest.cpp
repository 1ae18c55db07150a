#include <loginrun/RunJournal.h>

#include <TempDir.h>

#include <gtest/gtest.h>

#include <cerrno>
#include <sys/stat.h>

namespace {

class RunJournalTest : public ::testing::Test {
protected:
    TempDir dir;
    std::string path = dir.File("journal");
    CRunJournal journal{path};
};

mode_t ModeOf(const std::string& path)
{
    struct stat info {};
    return ::stat(path.c_str(), &info) == 0 ? info.st_mode & 07777 : 0;
}

} // namespace

TEST_F(RunJournalTest, KeepsAnyPathByteForByteOnDisk)
{
    std::vector<JournalEntry> odd = {
        {"/d/login.scp", "/d/LOGIN.BAK"},
        {"/d/new\nline.scp", "/d/NEW\nLINE.BAK"},
        {"/d/tab\tand space.scp", "/d/TAB\tAND SPACE.BAK"},
        {"/d/\xff\xfe latin-1 \xe9.scp", "/d/\xff\xfe LATIN-1 \xe9.BAK"},
        {"trevalo run journal 1\n", "\\BAK"},
    };
    EXPECT_TRUE(journal.Forget("/d/login.scp")); // nothing to forget
    for (const JournalEntry& entry : odd)
        ASSERT_TRUE(journal.Record(entry.script, entry.backup));
    EXPECT_EQ(odd, CRunJournal(path).Entries());
    EXPECT_FALSE(journal.Knows("/d/login.scp", "/d/login.BAK"));
    EXPECT_FALSE(journal.Knows("/d/new", "/d/NEW"));

    // A new record of a script replaces its entry; forgetting removes it from disk.
    ASSERT_TRUE(journal.Record("/d/login.scp", "/e/LOGIN.BAK"));
    ASSERT_TRUE(journal.Forget("/d/new\nline.scp"));
    odd.erase(odd.begin(), odd.begin() + 2);
    odd.push_back({"/d/login.scp", "/e/LOGIN.BAK"});
    EXPECT_EQ(odd, CRunJournal(path).Entries());
    EXPECT_FALSE(journal.Knows("/d/login.scp", "/d/LOGIN.BAK"));
}

TEST_F(RunJournalTest, LivesPrivatelyInTheUsersDataDirectory)
{
    EXPECT_EQ(dir.File("data/trevalo/run-journal"), CRunJournal().Path());
    CRunJournal nested(dir.File("made/for/it/run-journal"));
    ASSERT_TRUE(nested.Record("/d/a.scp", "/d/A.BAK"));
    EXPECT_EQ(0700u, ModeOf(dir.File("made")));
    EXPECT_EQ(0700u, ModeOf(dir.File("made/for/it")));
    EXPECT_EQ(0600u, ModeOf(nested.Path()));
}

// Files that are not a journal: each stays as it is, and nothing is recorded over it.
class DamagedJournalTest : public RunJournalTest, public ::testing::WithParamInterface<std::string> {};

TEST_P(DamagedJournalTest, IsNeverOverwritten)
{
    WriteFile(path, GetParam());
    EXPECT_FALSE(journal.Readable());
    EXPECT_TRUE(journal.Entries().empty());
    EXPECT_FALSE(journal.Record("/d/b.scp", "/d/B.BAK"));
    EXPECT_EQ(EBADMSG, journal.LastError());
    EXPECT_FALSE(journal.Forget("/d/a.scp"));
    EXPECT_EQ(GetParam(), ReadFile(path));
}

INSTANTIATE_TEST_SUITE_P(RunJournal, DamagedJournalTest,
                         ::testing::Values(std::string(), "garbage", "trevalo run journal 2\n",
                                           std::string("trevalo run journal 1\n/d/a.scp\0", 31),
                                           std::string("trevalo run journal 1\n/d/a.scp\0/d/A.BAK", 39),
                                           std::string("trevalo run journal 1\n/d/a.scp\0\0", 32)));
