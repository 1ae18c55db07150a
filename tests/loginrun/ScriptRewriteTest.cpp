#include "RunFiles.h"

#include <loginrun/ScriptRewrite.h>

#include <FakeTokenService.h>

#include <TempDir.h>

#include <gtest/gtest.h>

#include <csignal>
#include <filesystem>
#include <sys/resource.h>
#include <sys/stat.h>

namespace {

class ScriptRewriteTest : public ::testing::Test {
protected:
    bool RewriteInDir(const std::string& source, const std::string& target)
    {
        return RewriteScript(TokenCalls(), inputs, passcodes, folder, EntryFor(folder, target, source));
    }

    // Rewrites `content` from the backup into the script and returns what the script holds.
    std::string Rewrite(const std::string& content)
    {
        WriteFile(backup, content);
        EXPECT_TRUE(RewriteInDir(backup, script));
        return ReadFile(script);
    }

    TempDir dir;
    CHeldFolder folder;
    int opened = folder.Open(dir.Path());
    FakeTokenService token;
    std::string backup = dir.File("LOGIN.BAK");
    std::string script = dir.File("login.scp");
    RewriteInputs inputs{7, "4444", "ann", true, "000123456789"};
    RunPasscodes passcodes;
};

} // namespace

TEST_F(ScriptRewriteTest, FillsThePlaceholdersFromTheTokenService)
{
    EXPECT_EQ(
        "ann\n1234567890 1234098765 567890 4444 000123456789\n",
        Rewrite("#$USER_NAME#$\n#$PASSCODE#$ #$NEXT_PASSCODE#$ #$PASSCODE_NO_PIN#$ #$NEW_PIN#$ #$SERIAL_NUM#$\n"));
    EXPECT_EQ(1, token.getPasscodeCalls);
    EXPECT_EQ(7u, token.lastHandle);
    EXPECT_EQ("4444", token.lastPin);
    EXPECT_EQ("1234567890", passcodes.m_strPasscode);
    EXPECT_EQ("1234098765", passcodes.m_strNextPasscode);
    EXPECT_EQ("567890", passcodes.m_strPasscodeNoPin);
    // The backup, the user's own text, is never changed.
    EXPECT_EQ("#$USER_NAME#$\n#$PASSCODE#$ #$NEXT_PASSCODE#$ #$PASSCODE_NO_PIN#$ #$NEW_PIN#$ #$SERIAL_NUM#$\n",
              ReadFile(backup));
}

TEST_F(ScriptRewriteTest, EmptiesTheUserNameWhenTheProfileRequiresNone)
{
    inputs.userLoginRequired = false;
    EXPECT_EQ("login: \n", Rewrite("login: #$USER_NAME#$\n"));
}

TEST_F(ScriptRewriteTest, EveryRewriteFetchesFreshPasscodes)
{
    Rewrite("#$PASSCODE#$\n");
    token.passcode = "999999";
    EXPECT_EQ("999999\n", Rewrite("#$PASSCODE#$\n"));
    EXPECT_EQ(2, token.getPasscodeCalls);
}

TEST_F(ScriptRewriteTest, AFailedPasscodeCallLeavesEmptyValues)
{
    token.passcodeSucceeds = false;
    EXPECT_EQ("pw=\n", Rewrite("pw=#$PASSCODE#$\n"));
}

TEST_F(ScriptRewriteTest, NeverTakesMoreThanTwentyCharactersFromAnOutputArea)
{
    token.fillWholeAreas = true;
    EXPECT_EQ(std::string(20, '9') + "\n", Rewrite("#$PASSCODE#$\n"));
}

TEST_F(ScriptRewriteTest, EndsEveryLineWithOneLineFeed)
{
    EXPECT_EQ("a\nb\n", Rewrite("a\nb\n"));
    EXPECT_EQ("a\nb\n", Rewrite("a\nb"));
    EXPECT_EQ("a\n\nb\n", Rewrite("a\r\n\r\nb\r\n"));
    EXPECT_EQ("", Rewrite(""));
    EXPECT_TRUE(PathExists(script));
}

TEST_F(ScriptRewriteTest, CutsLongLinesAndDoesNotReplaceAcrossTheCut)
{
    // The placeholder starts at character 245 of 300, so the cut at 249 splits it.
    const std::string head(244, 'a');
    const std::string line = head + "#$PASSCODE#$" + std::string(300 - 244 - 12, 'b');
    const std::string expected = head + "#$PAS" + "\n" + "SCODE#$" + std::string(44, 'b') + "\n";
    EXPECT_EQ(expected, Rewrite(line + "\n"));

    EXPECT_EQ(std::string(249, 'x') + "\n\n", Rewrite(std::string(249, 'x') + "\n"));
    EXPECT_EQ(std::string(249, 'x') + "\n" + std::string(51, 'y') + "\n",
              Rewrite(std::string(249, 'x') + std::string(51, 'y')));
}

TEST_F(ScriptRewriteTest, AMissingSourceLeavesTheTargetAloneButStillFetchesPasscodes)
{
    WriteFile(script, "untouched");
    EXPECT_FALSE(RewriteInDir(dir.File("missing"), script));
    EXPECT_EQ("untouched", ReadFile(script));
    EXPECT_EQ(1, token.getPasscodeCalls);
}

TEST_F(ScriptRewriteTest, FailsWhenTheTargetCannotBeOpened)
{
    WriteFile(backup, "text\n");
    std::filesystem::create_directory(script);
    EXPECT_FALSE(RewriteInDir(backup, script));
    EXPECT_TRUE(std::filesystem::is_empty(script));
}

TEST_F(ScriptRewriteTest, CreatesTheScriptForItsOwnerOnly)
{
    Rewrite("#$PASSCODE#$\n");
    struct stat info {};
    ASSERT_EQ(0, ::stat(script.c_str(), &info));
    EXPECT_EQ(0600u, info.st_mode & 0777);
}

TEST_F(ScriptRewriteTest, ReportsAScriptThatDidNotFitOnTheDisk)
{
    std::string content;
    for (int i = 0; i < 200; ++i)
        content += "send #$PASSCODE#$\n";
    WriteFile(backup, content);

    std::signal(SIGXFSZ, SIG_IGN);
    rlimit previous{};
    ::getrlimit(RLIMIT_FSIZE, &previous);
    rlimit limit = previous;
    limit.rlim_cur = 512;
    ASSERT_EQ(0, ::setrlimit(RLIMIT_FSIZE, &limit));
    const bool rewritten = RewriteInDir(backup, script);
    ::setrlimit(RLIMIT_FSIZE, &previous);

    EXPECT_FALSE(rewritten);
    EXPECT_EQ(content, ReadFile(backup));
}
