#include "TokenDatabase.h"
#include "Totp.h"

#include "TempDir.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <sys/wait.h>

namespace {

using ::testing::HasSubstr;

constexpr const char* kSeed = "GEZDGNBVGY3TQOJQGEZDGNBVGY3TQOJQ"; // "12345678901234567890"

struct ToolResult {
    int exitCode;
    std::string out;
    std::string err;
};

std::string Quoted(const std::string& word)
{
    std::string quoted = "'";
    for (char c : word)
        quoted += c == '\'' ? std::string("'\\''") : std::string(1, c);
    return quoted + "'";
}

// The built kelvane-token as a child process; its standard input is `input`, not a terminal.
class TokenToolTest : public ::testing::Test {
protected:
    ToolResult Run(const std::vector<std::string>& arguments, const std::string& input = {})
    {
        WriteFile(m_dir.File("in"), input);
        std::string command = Quoted(KELVANE_TOKEN_PATH);
        for (const auto& argument : arguments)
            command += " " + Quoted(argument);
        command += " <" + Quoted(m_dir.File("in")) + " >" + Quoted(m_dir.File("out")) + " 2>" +
                   Quoted(m_dir.File("err"));
        const int status = std::system(command.c_str());
        return {WIFEXITED(status) ? WEXITSTATUS(status) : -1, ReadFile(m_dir.File("out")),
                ReadFile(m_dir.File("err"))};
    }

    std::string DatabaseBytes() { return ReadFile(TokenDatabase::DefaultPath()); }

    TempDir m_dir;
};

TEST_F(TokenToolTest, HelpDescribesCommandsFilesAndExitStatus)
{
    const ToolResult result = Run({"--help"});
    EXPECT_EQ(result.exitCode, 0);
    for (const char* part :
         {"import", "list", "remove", "code", "otpauth://totp/", "tokens.db", "EXIT STATUS"})
        EXPECT_THAT(result.out, HasSubstr(part));
}

TEST_F(TokenToolTest, ImportsALinkAndShowsItsCurrentCode)
{
    const ToolResult imported = Run(
        {"import", "A1", "otpauth://totp/Dialup:alice?secret=" + std::string(kSeed) + "&digits=8&period=30"});
    ASSERT_EQ(imported.exitCode, 0) << imported.err;

    const ToolResult listed = Run({"list"});
    EXPECT_EQ(listed.exitCode, 0);
    EXPECT_THAT(listed.out, ::testing::ContainsRegex("A1 +alice +NONE +SHA1 +8 +30 +Dialup"));
    EXPECT_THAT(listed.out, ::testing::Not(HasSubstr(kSeed)));

    const SecretBytes seed = {'1', '2', '3', '4', '5', '6', '7', '8', '9', '0',
                              '1', '2', '3', '4', '5', '6', '7', '8', '9', '0'};
    const auto codeAt = [&seed](std::int64_t time) {
        char code[9];
        FormatTotpCode(TotpCode(seed, {TotpAlgorithm::Sha1, 8, 30}, time), 8, code);
        return std::string(code);
    };
    const auto now = [] {
        return std::chrono::duration_cast<std::chrono::seconds>(
                   std::chrono::system_clock::now().time_since_epoch())
            .count();
    };
    const std::int64_t before = now();
    const ToolResult shown = Run({"code", "--pin", "A1"}, "4711\n");
    const std::int64_t after = now();
    ASSERT_EQ(shown.exitCode, 0) << shown.err;
    // The run may straddle a step boundary; then either step's code is right.
    EXPECT_THAT(shown.out, ::testing::AnyOf(HasSubstr("Passcode       4711" + codeAt(before) + "\n"),
                                            HasSubstr("Passcode       4711" + codeAt(after) + "\n")));
    EXPECT_THAT(shown.out, ::testing::AnyOf(HasSubstr("Next passcode  4711" + codeAt(before + 30)),
                                            HasSubstr("Next passcode  4711" + codeAt(after + 30))));
}

TEST_F(TokenToolTest, AProtectedTokenTakesItsPassphraseFromStandardInput)
{
    ASSERT_EQ(
        Run({"import", "--user", "pat", "--protect", "P1", "-"}, std::string(kSeed) + "\nsecret words\n")
            .exitCode,
        0);
    EXPECT_THAT(Run({"list"}).out, HasSubstr("PASSWORD"));
    EXPECT_THAT(DatabaseBytes(), ::testing::Not(HasSubstr("12345678901234567890")));

    const ToolResult wrong = Run({"code", "P1"}, "secret word\n");
    EXPECT_EQ(wrong.exitCode, 3);
    EXPECT_THAT(wrong.err, HasSubstr("Wrong passphrase"));
    EXPECT_EQ(wrong.out, "");
    EXPECT_EQ(Run({"code", "P1"}, "secret words\n").exitCode, 0);
}

TEST_F(TokenToolTest, RemoveDeletesAToken)
{
    ASSERT_EQ(Run({"import", "--user", "bob", "B2", kSeed}).exitCode, 0);
    EXPECT_EQ(Run({"remove", "B2"}).exitCode, 0);
    EXPECT_THAT(Run({"list"}).out, ::testing::Not(HasSubstr("B2")));
    EXPECT_EQ(Run({"code", "B2"}).exitCode, 3);
}

struct BadInput {
    std::vector<std::string> arguments;
    std::string input;
    int exitCode;
};

TEST_F(TokenToolTest, BadInputLeavesTheDatabaseByteForByteUnchanged)
{
    ASSERT_EQ(Run({"import", "--user", "alice", "A1", kSeed}).exitCode, 0);
    const std::string before = DatabaseBytes();
    const std::string link = "otpauth://totp/x:bob?secret=" + std::string(kSeed);
    const BadInput cases[] = {
        {{"import", "--user", "bob", "B2", "GEZDGNBVGY3TQOJ1"}, {}, 2},
        {{"import", "--user", "bob", "B2", "GEZDG"}, {}, 2},
        {{"import", "--user", "bob", "B2", "GEZDGNBV"}, {}, 2},
        {{"import", "B2", "otpauth://hotp/x:bob?secret=" + std::string(kSeed)}, {}, 2},
        {{"import", "B2", "otpauth://totp/x:bob?issuer=x"}, {}, 2},
        {{"import", "B2", "otpauth://totp/x%2:bob?secret=" + std::string(kSeed)}, {}, 2},
        {{"import", "--user", "bob", "A1", kSeed}, {}, 3},
        {{"import", "--user", "bob", std::string(24, 'S'), kSeed}, {}, 2},
        {{"import", "--user", "bob", "B-2", kSeed}, {}, 2},
        {{"import", "--user", std::string(48, 'u'), "B2", kSeed}, {}, 2},
        {{"import", "--user", "bob", "--algorithm", "MD5", "B2", kSeed}, {}, 2},
        {{"import", "B2", link + "&algorithm=SHA3"}, {}, 2},
        {{"import", "--user", "bob", "--digits", "5", "B2", kSeed}, {}, 2},
        {{"import", "--user", "bob", "--digits", "9", "B2", kSeed}, {}, 2},
        {{"import", "B2", link + "&digits=10"}, {}, 2},
        {{"import", "--user", "bob", "--period", "45", "B2", kSeed}, {}, 2},
        {{"import", "B2", link + "&period=0"}, {}, 2},
        {{"import", "--digits", "8", "B2", link}, {}, 2},
        {{"import", "B2", kSeed}, {}, 2},
        {{"import", "--user", "bob", "--protect", "B2", kSeed}, "\n", 2},
        {{"import", "--user", "bob", "B2"}, {}, 1},
        {{"import", "--colour", "B2", kSeed}, {}, 1},
        {{"remove", "Z9"}, {}, 3},
        {{"frobnicate"}, {}, 1},
    };
    for (const auto& bad : cases) {
        std::string shown;
        for (const auto& argument : bad.arguments)
            shown += argument + " ";
        SCOPED_TRACE(shown);
        const ToolResult result = Run(bad.arguments, bad.input);
        EXPECT_EQ(result.exitCode, bad.exitCode);
        EXPECT_THAT(result.err, HasSubstr("kelvane-token: "));
        EXPECT_EQ(DatabaseBytes(), before);
    }
}

TEST_F(TokenToolTest, BadInputDoesNotCreateADatabase)
{
    EXPECT_EQ(Run({"import", "--user", "bob", "B2", "not base32!"}).exitCode, 2);
    EXPECT_EQ(Run({"remove", "B2"}).exitCode, 3);
    EXPECT_FALSE(PathExists(TokenDatabase::DefaultPath()));
}

TEST_F(TokenToolTest, ADamagedDatabaseIsReportedAndLeftAlone)
{
    std::filesystem::create_directories(m_dir.Path() + "/data/kelvane");
    WriteFile(TokenDatabase::DefaultPath(), std::string(2048, 'z'));
    const ToolResult listed = Run({"list"});
    EXPECT_EQ(listed.exitCode, 4);
    EXPECT_THAT(listed.err, HasSubstr("tokens.db"));
    EXPECT_EQ(Run({"import", "--user", "bob", "B2", kSeed}).exitCode, 4);
    EXPECT_EQ(DatabaseBytes(), std::string(2048, 'z'));
}

// A shell loop importing 15 tokens named PREFIX1 to PREFIX15; it prints "fail" for each refusal.
std::string ImportLoop(const std::string& prefix)
{
    return "for i in $(seq 1 15); do " + Quoted(KELVANE_TOKEN_PATH) + " import --user u " + prefix + "$i " +
           kSeed + " >/dev/null || echo fail; done";
}

TEST_F(TokenToolTest, TwoToolsWritingAtOnceLoseNothing)
{
    const std::string command = "( " + ImportLoop("L") + " ) >" + Quoted(m_dir.File("left")) + " & ( " +
                                ImportLoop("R") + " ) >" + Quoted(m_dir.File("right")) + "; wait";
    ASSERT_EQ(std::system(command.c_str()), 0);
    EXPECT_EQ(ReadFile(m_dir.File("left")), "");
    EXPECT_EQ(ReadFile(m_dir.File("right")), "");
    std::vector<StoredToken> tokens;
    TokenFailure failure;
    ASSERT_TRUE(TokenDatabase(TokenDatabase::DefaultPath()).List(tokens, failure));
    EXPECT_EQ(tokens.size(), 30u);
}

} // namespace
