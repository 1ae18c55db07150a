// What another local user can do to a script while a run rewrites it: put a link or a file of
// their own at its path, or read it in a tight loop. No passcode reaches anything of theirs, and
// a reader sees the old or the new text, whole.
#include "RunFiles.h"

#include <loginrun/ScriptRewrite.h>

#include <AsNobody.h>
#include <TempDir.h>

#include <gtest/gtest.h>

#include <atomic>
#include <filesystem>
#include <ostream>
#include <pwd.h>
#include <sys/stat.h>
#include <thread>
#include <unistd.h>

namespace {

const std::string kPasscode = "4444123456";
const PlaceholderValues kValues{kPasscode, "4444654321", "123456", "4444", "000123", "ann"};
const std::string kUserText = "login: #$USER_NAME#$\npassword: #$PASSCODE#$\n";
const std::string kRewritten = "login: ann\npassword: " + kPasscode + "\n";
// A uid that is neither this process's nor nobody's: the other user who plants things.
constexpr uid_t kOtherUid = 54321;

enum class Planted { Symlink, OtherUsersFile };

void PrintTo(Planted planted, std::ostream* out)
{
    *out << (planted == Planted::Symlink ? "a symlink" : "another user's file");
}

// Rewrites `backup` into `script` in their folder, as a run does.
bool Copy(const std::string& backup, const std::string& script)
{
    CHeldFolder folder;
    return folder.Open(DirectoryOf(script)) == 0 &&
           CopyScriptWithValues(folder, EntryFor(folder, script, backup), kValues);
}

std::vector<std::string> NamesIn(const std::string& folder)
{
    std::vector<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(folder))
        names.push_back(entry.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
}

class PlantedAtScriptTest : public ::testing::TestWithParam<Planted> {
protected:
    // Puts the other user's thing at the script path; `victim` is what must never change.
    void Plant()
    {
        WriteFile(victim, "the other user's notes\n");
        ASSERT_EQ(0, ::chown(victim.c_str(), kOtherUid, kOtherUid));
        ::chmod(victim.c_str(), 0666); // open to anyone who would write a passcode into it
        std::filesystem::remove(script);
        if (GetParam() == Planted::Symlink)
            std::filesystem::create_symlink(victim, script);
        else
            std::filesystem::create_hard_link(victim, script); // their file, under the script's name
    }

    void SetUp() override
    {
        if (::geteuid() != 0)
            GTEST_SKIP() << "needs root to act as the other user";
    }

    TempDir dir;
    std::string scripts = dir.File("scripts");
    std::string script = scripts + "/login.scp";
    std::string backup = scripts + "/LOGIN.BAK";
    std::string victim = dir.File("notes.txt");
};

} // namespace

// Right after the script went to its backup, and again before a refresh.
TEST_P(PlantedAtScriptTest, NeverReceivesAPasscode)
{
    std::filesystem::create_directory(scripts);
    WriteFile(backup, kUserText);
    for (const char* moment : {"first rewrite", "refresh"}) {
        SCOPED_TRACE(moment);
        ASSERT_NO_FATAL_FAILURE(Plant());
        ASSERT_TRUE(Copy(backup, script));
        EXPECT_EQ("the other user's notes\n", ReadFile(victim));
        EXPECT_EQ(kRewritten, ReadFile(script));
        struct stat info {};
        ASSERT_EQ(0, ::lstat(script.c_str(), &info));
        EXPECT_TRUE(S_ISREG(info.st_mode));
        EXPECT_EQ(::geteuid(), info.st_uid);
        EXPECT_EQ(0600u, info.st_mode & 07777);
        EXPECT_EQ(kUserText, ReadFile(backup));
    }
    EXPECT_EQ((std::vector<std::string>{"LOGIN.BAK", "login.scp"}), NamesIn(scripts));
}

// In a shared sticky folder such as /tmp nobody may replace another user's file: the rewrite
// fails, and the planted file stays as its owner made it.
TEST_P(PlantedAtScriptTest, InAStickyFolderStopsTheRewrite)
{
    std::filesystem::create_directory(scripts);
    ::chmod(dir.Path().c_str(), 0755);
    ::chmod(scripts.c_str(), 01777);
    WriteFile(backup, kUserText);
    const passwd* nobody = ::getpwnam("nobody");
    if (!nobody)
        GTEST_SKIP() << "needs the user nobody";
    ASSERT_EQ(0, ::chown(backup.c_str(), nobody->pw_uid, nobody->pw_gid));
    ASSERT_NO_FATAL_FAILURE(Plant());
    ASSERT_EQ(0, ::lchown(script.c_str(), kOtherUid, kOtherUid));
    const std::optional<std::string> result =
        RunAsNobody([&] { return Copy(backup, script) ? "rewritten" : "refused"; });
    ASSERT_TRUE(result);
    EXPECT_EQ("refused", *result);
    EXPECT_EQ("the other user's notes\n", ReadFile(victim));
    EXPECT_EQ((std::vector<std::string>{"LOGIN.BAK", "login.scp"}), NamesIn(scripts));
}

INSTANTIATE_TEST_SUITE_P(RewriteSafety, PlantedAtScriptTest,
                         ::testing::Values(Planted::Symlink, Planted::OtherUsersFile), [](const auto& test) {
                             return test.param == Planted::Symlink ? "Symlink" : "OtherUsersFile";
                         });

TEST(RewriteSafety, AReaderNeverSeesAnEmptyOrPartialScript)
{
    TempDir dir;
    const std::string backup = dir.File("LOGIN.BAK");
    const std::string script = dir.File("login.scp");
    std::string userText;
    for (int line = 0; line < 20000; ++line)
        userText += "send #$PASSCODE#$ " + std::to_string(line) + "\n";
    WriteFile(backup, userText);
    ASSERT_TRUE(Copy(backup, script));
    const std::string whole = ReadFile(script);

    std::atomic<bool> done = false;
    std::atomic<int> reads = 0;
    std::atomic<int> torn = 0;
    std::thread reader([&] {
        while (!done) {
            if (ReadFile(script) != whole)
                ++torn;
            ++reads;
        }
    });
    for (int refresh = 0; refresh < 50; ++refresh)
        ASSERT_TRUE(Copy(backup, script));
    done = true;
    reader.join();
    EXPECT_EQ(0, torn.load()) << "of " << reads.load() << " reads";
    EXPECT_GT(reads.load(), 10);
}
