#include <loginrun/RunJournal.h>

#include <TempDir.h>

#include <gtest/gtest.h>

#include <cerrno>
#include <limits>
#include <sys/stat.h>

namespace {

class RunJournalTest : public ::testing::Test {
protected:
    RunJournalTest() { journal.Lock(); }

    TempDir dir;
    std::string path = dir.File("journal");
    CRunJournal journal{path};
    const JournalEntry entry{"/d/a.scp", {1, 2}, "A.BAK", {1, 3}, "a.scp.trevalo-new"};
};

mode_t ModeOf(const std::string& path)
{
    struct stat info {};
    return ::stat(path.c_str(), &info) == 0 ? info.st_mode & 07777 : 0;
}

} // namespace

TEST_F(RunJournalTest, KeepsAnyPathAndIdentityByteForByteOnDisk)
{
    constexpr auto kLargest = std::numeric_limits<ino_t>::max();
    std::vector<JournalEntry> odd = {
        {"/d/login.scp", {1, 2}, "LOGIN.BAK", {1, 3}, "login.scp.trevalo-new"},
        {"/d/new\nline.scp", {kLargest, kLargest}, "NEW\nLINE.BAK", {4, kLargest}, ""},
        {"/d/\xff\xfe latin-1 \xe9.scp", {5, 6}, "\xff\xfe LATIN-1 \xe9.BAK", {7, 8}, "\t and space"},
        {"/trevalo run journal 2\n", {9, 10}, "\\BAK", {11, 12}, ":"},
    };
    EXPECT_TRUE(journal.Forget("/d/login.scp")); // nothing to forget
    for (const JournalEntry& known : odd)
        ASSERT_TRUE(journal.Record(known));
    EXPECT_EQ(odd, CRunJournal(path).Entries());
    EXPECT_EQ(odd[1], journal.Find("/d/new\nline.scp"));
    EXPECT_FALSE(journal.Find("/d/new"));

    // A new record of a script replaces its entry; forgetting removes it from disk.
    JournalEntry again = odd[0];
    again.backup = {1, 99};
    ASSERT_TRUE(journal.Record(again));
    ASSERT_TRUE(journal.Forget("/d/new\nline.scp"));
    odd.erase(odd.begin(), odd.begin() + 2);
    odd.push_back(again);
    EXPECT_EQ(odd, CRunJournal(path).Entries());
}

TEST_F(RunJournalTest, LivesPrivatelyInTheUsersDataDirectory)
{
    EXPECT_EQ(dir.File("data/trevalo/run-journal"), CRunJournal().Path());
    CRunJournal nested(dir.File("made/for/it/run-journal"));
    ASSERT_TRUE(nested.Lock());
    ASSERT_TRUE(nested.Record(entry));
    EXPECT_EQ(0700u, ModeOf(dir.File("made")));
    EXPECT_EQ(0700u, ModeOf(dir.File("made/for/it")));
    EXPECT_EQ(0600u, ModeOf(nested.Path()));
    EXPECT_EQ(0600u, ModeOf(nested.Path() + ".lock"));
}

// Only its holder writes it; an entry that could not tell its files from others' is refused.
TEST_F(RunJournalTest, RecordsOnlyWhatItsHolderKnowsByIdentity)
{
    CRunJournal second(path);
    EXPECT_FALSE(second.Lock());
    EXPECT_FALSE(second.Record(entry) || second.Forget(entry.script));
    EXPECT_EQ(EWOULDBLOCK, second.LastError());
    JournalEntry unknownText = entry, relative = entry, noScript = entry, noBackup = entry;
    unknownText.backup = {};
    relative.script = "a.scp";
    noScript.script = "";
    noBackup.backupName = "";
    for (const JournalEntry& unrecordable : {unknownText, relative, noScript, noBackup})
        EXPECT_FALSE(journal.Record(unrecordable)) << unrecordable.script << " " << unrecordable.backupName;
    EXPECT_EQ(EINVAL, journal.LastError());
    EXPECT_TRUE(journal.Entries().empty());
}

TEST_F(RunJournalTest, AJournalOfTheFirstFormatHoldsNothingToMove)
{
    WriteFile(path, std::string("trevalo run journal 1\n/d/a.scp\0/d/A.BAK\0", 41));
    EXPECT_TRUE(journal.Readable());
    EXPECT_TRUE(journal.Entries().empty());
    ASSERT_TRUE(journal.Record(entry));
    EXPECT_EQ(std::vector<JournalEntry>{entry}, CRunJournal(path).Entries());
}

// Files that are not a journal: each stays as it is, and nothing is recorded over it.
class DamagedJournalTest : public RunJournalTest, public ::testing::WithParamInterface<std::string> {};

TEST_P(DamagedJournalTest, IsNeverOverwritten)
{
    WriteFile(path, GetParam());
    EXPECT_FALSE(journal.Readable());
    EXPECT_TRUE(journal.Entries().empty());
    EXPECT_FALSE(journal.Record(entry));
    EXPECT_EQ(EBADMSG, journal.LastError());
    EXPECT_FALSE(journal.Forget("/d/a.scp"));
    EXPECT_EQ(GetParam(), ReadFile(path));
}

using namespace std::string_literals;

INSTANTIATE_TEST_SUITE_P(RunJournal, DamagedJournalTest,
                         ::testing::Values(""s, "garbage"s, "trevalo run journal 3\n"s,
                                           "trevalo run journal 2\n/d/a.scp\0"s,
                                           "trevalo run journal 2\n/d/a.scp\0001:2\0A.BAK\0001:3\0"s,
                                           "trevalo run journal 2\n/d/a.scp\0001:x\0A.BAK\0001:3\0n\0"s,
                                           "trevalo run journal 2\n/d/a.scp\0001:2\0A.BAK\0000:0\0n\0"s));
