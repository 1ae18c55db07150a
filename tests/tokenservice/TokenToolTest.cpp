#include "Keyring.h"
#include "TokenDatabase.h"
#include "TokenFixtures.h"
#include "Totp.h"

#include "ChildProcess.h"
#include "PrivateBus.h"
#include "TempDir.h"

#include <tokapi.h>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <chrono>
#include <csignal>
#include <cstring>
#include <fcntl.h>
#include <filesystem>
#include <optional>
#include <poll.h>
#include <pty.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <termios.h>
#include <thread>
#include <unistd.h>

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
        command +=
            " <" + Quoted(m_dir.File("in")) + " >" + Quoted(m_dir.File("out")) + " 2>" + Quoted(m_dir.File("err"));
        const int status = std::system(command.c_str());
        return {WIFEXITED(status) ? WEXITSTATUS(status) : -1, ReadFile(m_dir.File("out")), ReadFile(m_dir.File("err"))};
    }

    std::string DatabaseBytes() { return ReadFile(TokenDatabase::DefaultPath()); }

    // `code --pin` shows the passcodes of kSeed as a link with 8 digits and 30 s makes them.
    void ExpectCodesOf(const std::string& serial)
    {
        const auto codeAt = [](std::int64_t time) {
            char code[9];
            FormatTotpCode(TotpCode(RfcSeed(), {TotpAlgorithm::Sha1, 8, 30}, time), 8, code);
            return std::string(code);
        };
        const auto now = [] {
            return std::chrono::duration_cast<std::chrono::seconds>(std::chrono::system_clock::now().time_since_epoch())
                .count();
        };
        const std::int64_t before = now();
        const ToolResult shown = Run({"code", "--pin", serial}, "4711\n");
        const std::int64_t after = now();
        ASSERT_EQ(shown.exitCode, 0) << shown.err;
        // The run may straddle a step boundary; then either step's code is right.
        EXPECT_THAT(shown.out, ::testing::AnyOf(HasSubstr("Passcode       4711" + codeAt(before) + "\n"),
                                                HasSubstr("Passcode       4711" + codeAt(after) + "\n")));
        EXPECT_THAT(shown.out, ::testing::AnyOf(HasSubstr("Next passcode  4711" + codeAt(before + 30)),
                                                HasSubstr("Next passcode  4711" + codeAt(after + 30))));
    }

    TempDir m_dir;
};

TEST_F(TokenToolTest, HelpDescribesCommandsFilesAndExitStatus)
{
    const ToolResult result = Run({"--help"});
    EXPECT_EQ(result.exitCode, 0);
    for (const char* part : {"import", "list", "remove", "code", "otpauth://totp/", "tokens.db", "Exit status:",
                             "SERIAL [-]", "never taken as an argument", "kelvane-token import A1 < link.txt",
                             "read -rs SEED; printf '%s\\n' \"$SEED\" | kelvane-token import --user bob B2"})
        EXPECT_THAT(result.out, HasSubstr(part));
    // No example in the manual puts a seed or link on the command line.
    EXPECT_THAT(result.out,
                ::testing::Not(::testing::ContainsRegex("kelvane-token import [^\n<|]*(otpauth|[A-Z2-7]{16})")));
}

TEST_F(TokenToolTest, ImportsALinkAndShowsItsCurrentCode)
{
    const ToolResult imported =
        Run({"import", "A1"}, "otpauth://totp/Dialup:alice?secret=" + std::string(kSeed) + "&digits=8&period=30\n");
    ASSERT_EQ(imported.exitCode, 0) << imported.err;

    const ToolResult listed = Run({"list"});
    EXPECT_EQ(listed.exitCode, 0);
    EXPECT_THAT(listed.out, ::testing::ContainsRegex("A1 +alice +NONE +SHA1 +8 +30 +Dialup"));
    EXPECT_THAT(listed.out, ::testing::Not(HasSubstr(kSeed)));

    ExpectCodesOf("A1");
}

// A provider's QR code as qrencode makes it, then as a photo or a screenshot may show it
// (ImageMagick); an image of anything else is refused and changes nothing.
TEST_F(TokenToolTest, ImportsTheLinkOfTheOneQrCodeInAnImage)
{
    if (std::system("command -v qrencode >/dev/null") != 0 || !PathExists("/usr/bin/convert"))
        GTEST_SKIP() << "needs qrencode and ImageMagick";
    WriteFile(m_dir.File("link"), "otpauth://totp/Dialup:alice?secret=" + std::string(kSeed) + "&digits=8&period=30");
    const std::string make = "set -e; cd \"$0\"; c=/usr/bin/convert; qrencode -o code.png <link\n"
                             "$c code.png -scale 300% scaled.png; $c code.png -rotate 90 turned.png\n"
                             "$c code.png -bordercolor white -border 200 -attenuate 0.4 +noise Gaussian noisy.png\n"
                             "$c -size 1920x1080 plasma: screen.png\n"
                             "$c screen.png scaled.png -geometry +900+400 -composite screenshot.jpg\n"
                             "printf 'not a link' | qrencode -o text.png; $c code.png text.png +append two.png\n";
    ASSERT_EQ(0, RunToEnd({"/bin/sh", "-c", make, m_dir.Path()}));
    const std::pair<const char*, const char*> images[] = {
        {"code.png", nullptr},
        {"scaled.png", nullptr},
        {"turned.png", nullptr},
        {"noisy.png", nullptr},
        {"screenshot.jpg", nullptr},
        {"two.png", "found 2 QR codes in "},
        {"text.png", "holds no otpauth://totp link"},
        {"screen.png", "found no QR code in "},
        {"link", "as a PNG or JPEG image"},
    };
    int serial = 0;
    for (const auto& [image, refusal] : images) {
        SCOPED_TRACE(image);
        const std::string before = DatabaseBytes();
        const ToolResult result = Run({"import", "--qr", m_dir.File(image), "Q" + std::to_string(++serial)});
        EXPECT_EQ(result.exitCode, refusal ? 2 : 0) << result.err;
        EXPECT_THAT(result.out + result.err, ::testing::Not(HasSubstr(kSeed)));
        if (refusal) {
            EXPECT_THAT(result.err, HasSubstr(refusal));
            EXPECT_EQ(before, DatabaseBytes());
        } else {
            ExpectCodesOf("Q" + std::to_string(serial));
        }
    }
    ASSERT_EQ(Run({"import", "--qr", "-", "QS"}, ReadFile(m_dir.File("code.png"))).exitCode, 0);
    ExpectCodesOf("QS");
}

// A desktop keyring of the test's own: gnome-keyring-daemon on a private session bus that starts
// no services, its login keyring made and unlocked with a password on standard input.
class KeyringTokenTest : public TokenToolTest {
protected:
    void SetUp() override
    {
        if (!PathExists("/usr/bin/gnome-keyring-daemon") || !PathExists("/usr/bin/dbus-daemon"))
            GTEST_SKIP() << "needs gnome-keyring and dbus-daemon";
        std::filesystem::create_directory(m_dir.File("run"));
        ::chmod(m_dir.File("run").c_str(), 0700);
        ::setenv("XDG_RUNTIME_DIR", m_dir.File("run").c_str(), 1);
        WriteFile(m_dir.File("bus.conf"), SessionBusConfiguration(m_dir.File("bus")));
        m_bus.emplace(m_dir.File("bus.conf"), "DBUS_SESSION_BUS_ADDRESS");
        ASSERT_TRUE(m_bus->Started());
        WriteFile(m_dir.File("keyring-password"), "pw");
        m_keyring.emplace(std::vector<std::string>{
            "/bin/sh", "-c", "exec gnome-keyring-daemon --foreground --unlock --components=secrets <\"$0\"",
            m_dir.File("keyring-password")});
        ASSERT_TRUE(
            WaitUntilAnswering({"/usr/bin/dbus-send", "--session", "--print-reply", "--dest=org.freedesktop.secrets",
                                "/org/freedesktop/secrets", "org.freedesktop.DBus.Peer.Ping"}));
    }

    void TearDown() override { ::unsetenv("DBUS_SESSION_BUS_ADDRESS"); }

    const std::string link = "otpauth://totp/Dialup:alice?secret=" + std::string(kSeed) + "&digits=8&period=30\n";
    std::optional<PrivateBus> m_bus; // goes after the keyring
    std::optional<ChildProcess> m_keyring;
};

TEST_F(KeyringTokenTest, ATokenSealedForTheKeyringNeedsNoPassphraseButItsKeyringItem)
{
    ASSERT_EQ(Run({"import", "--keyring", "K1"}, link).exitCode, 0);
    EXPECT_THAT(Run({"list"}).out, ::testing::ContainsRegex("K1 +alice +KEYRING"));
    EXPECT_THAT(DatabaseBytes(), ::testing::Not(HasSubstr("12345678901234567890"))); // the seed itself
    ExpectCodesOf("K1");                                                             // the PIN is all it reads
    // Trevalo's calls: not a passphrase type, and selected without one.
    TOKEN_HANDLE service = 0;
    ASSERT_TRUE(OpenTokenService(&service));
    TOKENRECORD record{};
    std::uint32_t count = 1;
    std::uint32_t size = sizeof record;
    ASSERT_TRUE(EnumToken(service, &count, nullptr, &record, &size));
    EXPECT_STREQ("KEYRING", record.szPassphraseType);
    char passcode[TOKEN_PASSCODE_SIZE] = {};
    EXPECT_TRUE(SelectToken(service, "K1", "", "") && GetPasscode(service, "", passcode, nullptr, nullptr, nullptr));
    EXPECT_EQ(8u, std::strlen(passcode));
    CloseTokenService(service);
    ASSERT_EQ(Run({"remove", "K1"}).exitCode, 0);
    TokenFailure failure;
    EXPECT_FALSE(Keyring::Find("K1", failure)) << "remove leaves the key in the keyring";

    // Its item gone, then the keyring: each is said, and the database stays as it is.
    ASSERT_EQ(Run({"import", "--keyring", "K1"}, link).exitCode, 0);
    ASSERT_TRUE(Keyring::Remove("K1", failure));
    const std::string before = DatabaseBytes();
    EXPECT_THAT(Run({"code", "K1"}).err, HasSubstr("Token key missing"));
    m_keyring.reset();
    EXPECT_THAT(Run({"code", "K1"}).err, HasSubstr("Keyring unavailable: No desktop keyring answers for token K1."));
    const ToolResult refused = Run({"import", "--keyring", "K2"}, link);
    EXPECT_EQ(refused.exitCode, 4);
    EXPECT_TRUE(before == DatabaseBytes()) << "the database changed";
}

TEST_F(TokenToolTest, AProtectedTokenTakesItsPassphraseFromStandardInput)
{
    ASSERT_EQ(
        Run({"import", "--user", "pat", "--protect", "P1", "-"}, std::string(kSeed) + "\nsecret words\n").exitCode, 0);
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
    ASSERT_EQ(Run({"import", "--user", "bob", "B2"}, std::string(kSeed) + "\n").exitCode, 0);
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
    ASSERT_EQ(Run({"import", "--user", "alice", "A1"}, std::string(kSeed) + "\n").exitCode, 0);
    const std::string before = DatabaseBytes();
    const std::string seed = std::string(kSeed) + "\n";
    const std::string link = "otpauth://totp/x:bob?secret=" + std::string(kSeed);
    const BadInput cases[] = {
        {{"import", "--user", "bob", "B2"}, "GEZDGNBVGY3TQOJ1\n", 2},
        {{"import", "--user", "bob", "B2"}, "GEZDG\n", 2},
        {{"import", "--user", "bob", "B2"}, "GEZDGNBV\n", 2},
        {{"import", "B2"}, "otpauth://hotp/x:bob?secret=" + seed, 2},
        {{"import", "B2"}, "otpauth://totp/x:bob?issuer=x\n", 2},
        {{"import", "B2"}, "otpauth://totp/x%2:bob?secret=" + seed, 2},
        {{"import", "--user", "bob", "A1"}, seed, 3},
        {{"import", "--user", "bob", std::string(24, 'S')}, seed, 2},
        {{"import", "--user", "bob", "B-2"}, seed, 2},
        {{"import", "--user", std::string(48, 'u'), "B2"}, seed, 2},
        {{"import", "--user", "bob", "--algorithm", "MD5", "B2"}, seed, 2},
        {{"import", "B2"}, link + "&algorithm=SHA3\n", 2},
        {{"import", "--user", "bob", "--digits", "5", "B2"}, seed, 2},
        {{"import", "--user", "bob", "--digits", "9", "B2"}, seed, 2},
        {{"import", "B2"}, link + "&digits=10\n", 2},
        {{"import", "--user", "bob", "--period", "45", "B2"}, seed, 2},
        {{"import", "B2"}, link + "&period=0\n", 2},
        {{"import", "--digits", "8", "B2"}, link + "\n", 2},
        {{"import", "B2"}, seed, 2},
        {{"import", "--user", "bob", "--protect", "B2"}, seed + "\n", 2},
        {{"import", "--user", "bob", "B2"}, {}, 2},
        {{"import", "--user", "bob", "B2", "-"}, "\n", 2},
        // A link's issuer and account name: at most 64 bytes, UTF-8, no control characters.
        {{"import", "B2"},
         "otpauth://totp/x:bob?secret=" + std::string(kSeed) + "&issuer=" + std::string(65, 'i') + "\n",
         2},
        {{"import", "B2"}, "otpauth://totp/" + std::string(65, 'i') + ":bob?secret=" + seed, 2},
        {{"import", "B2"}, "otpauth://totp/x:" + std::string(65, 'a') + "?secret=" + seed, 2},
        {{"import", "--user", "bob", "B2"}, "otpauth://totp/x:" + std::string(65, 'a') + "?secret=" + seed, 2},
        {{"import", "B2"}, link + "&issuer=Dial%1B%5B2Jup\n", 2},
        {{"import", "B2"}, link + "&issuer=Dial%C2%9Bup\n", 2},
        {{"import", "B2"}, link + "&issuer=Dial%7Fup\n", 2},
        {{"import", "B2"}, link + "&issuer=Dial%FFup\n", 2},
        {{"import", "B2"}, "otpauth://totp/x%07y:bob?secret=" + seed, 2},
        {{"import", "B2"}, "otpauth://totp/x:b%0Aob?secret=" + seed, 2},
        {{"import", "B2"}, "otpauth://totp/x:b%C2%85ob?secret=" + seed, 2},
        {{"import", "--user",
          "b\xc2\x9b"
          "ob",
          "B2"},
         seed,
         2},
        {{"import", "--user",
          "b\xe9"
          "ob",
          "B2"},
         seed,
         2},
        {{"import", "--user", "bob",
          "B\xc2\x85"
          "2"},
         seed,
         2},
        // Wrong command lines, a seed or link as an argument among them.
        {{"import", "--user", "bob", "B2", kSeed}, {}, 1},
        {{"import", "B2", link}, {}, 1},
        {{"import", "--user", "bob", "B2", "-", kSeed}, seed, 1},
        {{"import", "--user", "bob", "B2", "-", "-"}, seed, 1},
        {{"import", "--colour", "B2"}, seed, 1},
        {{"import"}, seed, 1},
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
    EXPECT_EQ(Run({"import", "--user", "bob", "B2"}, "not base32!\n").exitCode, 2);
    EXPECT_EQ(Run({"import", "--user", "bob", "B2", kSeed}).exitCode, 1);
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
    EXPECT_EQ(Run({"import", "--user", "bob", "B2"}, std::string(kSeed) + "\n").exitCode, 4);
    EXPECT_EQ(DatabaseBytes(), std::string(2048, 'z'));
}

// A shell loop importing 15 tokens named PREFIX1 to PREFIX15, their seed read from the file
// `seedFile`; it prints "fail" for each refusal.
std::string ImportLoop(const std::string& prefix, const std::string& seedFile)
{
    return "for i in $(seq 1 15); do " + Quoted(KELVANE_TOKEN_PATH) + " import --user u " + prefix + "$i <" +
           Quoted(seedFile) + " >/dev/null || echo fail; done";
}

TEST_F(TokenToolTest, TwoToolsWritingAtOnceLoseNothing)
{
    const std::string seedFile = m_dir.File("seed");
    WriteFile(seedFile, std::string(kSeed) + "\n");
    const std::string command = "( " + ImportLoop("L", seedFile) + " ) >" + Quoted(m_dir.File("left")) + " & ( " +
                                ImportLoop("R", seedFile) + " ) >" + Quoted(m_dir.File("right")) + "; wait";
    ASSERT_EQ(std::system(command.c_str()), 0);
    EXPECT_EQ(ReadFile(m_dir.File("left")), "");
    EXPECT_EQ(ReadFile(m_dir.File("right")), "");
    std::vector<StoredToken> tokens;
    TokenFailure failure;
    ASSERT_TRUE(TokenDatabase(TokenDatabase::DefaultPath()).List(tokens, failure));
    EXPECT_EQ(tokens.size(), 30u);
}

TEST_F(TokenToolTest, ASeedOrLinkGivenAsAnArgumentIsRefusedWithTheSafeForms)
{
    const std::string link = "otpauth://totp/Dialup:alice?secret=" + std::string(kSeed);
    for (const auto& arguments : std::vector<std::vector<std::string>>{
             {"import", "--user", "bob", "B2", kSeed}, {"import", "A1", link}, {"import", "--protect", "A1", link}}) {
        SCOPED_TRACE(arguments.back());
        const ToolResult result = Run(arguments, std::string(kSeed) + "\nsecret words\n");
        EXPECT_EQ(result.exitCode, 1);
        EXPECT_THAT(result.err, HasSubstr("kelvane-token: the seed or link may not be given as an argument: every "
                                          "user of this computer can read a\ncommand line."));
        EXPECT_THAT(result.err, HasSubstr("\n    kelvane-token import [--user NAME] [--protect] SERIAL < FILE\n"));
        EXPECT_THAT(result.err, HasSubstr("\n    read -rs SEED; printf '%s\\n' \"$SEED\" | kelvane-token import "
                                          "[--user NAME] SERIAL\n"));
        EXPECT_THAT(result.err, ::testing::Not(HasSubstr(kSeed)));
        EXPECT_EQ(result.out, "");
    }
    EXPECT_FALSE(PathExists(TokenDatabase::DefaultPath()));
}

// The refused seed is wiped from the command line before the refusal is written: kelvane-token,
// stuck writing it to a full pipe, shows no seed in /proc/PID/cmdline.
TEST_F(TokenToolTest, ARefusedSeedArgumentLeavesTheCommandLineAtOnce)
{
    int err[2];
    ASSERT_EQ(0, ::pipe2(err, O_NONBLOCK));
    while (::write(err[1], kSeed, 32) > 0) {
    }
    const pid_t pid = ::fork();
    if (pid == 0) {
        ::dup2(err[1], STDERR_FILENO);
        ::fcntl(STDERR_FILENO, F_SETFL, 0);
        ::execl(KELVANE_TOKEN_PATH, KELVANE_TOKEN_PATH, "import", "B2", kSeed, nullptr);
        _exit(127);
    }
    const std::string cmdline = "/proc/" + std::to_string(pid) + "/cmdline";
    std::string shown = ReadFile(cmdline); // the test's own until the child's exec
    for (int wait = 0;
         wait < 250 && (shown.find("import") == std::string::npos || shown.find(kSeed) != std::string::npos); ++wait) {
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
        shown = ReadFile(cmdline);
    }
    EXPECT_THAT(shown, HasSubstr("import"));
    EXPECT_THAT(shown, ::testing::Not(HasSubstr(kSeed)));
    ::kill(pid, SIGKILL);
    ::waitpid(pid, nullptr, 0);
    ::close(err[0]);
    ::close(err[1]);
}

TEST_F(TokenToolTest, AnUnknownOptionIsNamedWithoutItsValue)
{
    const ToolResult result = Run({"import", "--seed=" + std::string(kSeed), "B2"});
    EXPECT_EQ(result.exitCode, 1);
    EXPECT_EQ(result.err, "kelvane-token: unknown option --seed (see kelvane-token --help)\n");
}

TEST_F(TokenToolTest, TheSeedOrLinkComesFromStandardInputWithOrWithoutDash)
{
    EXPECT_EQ(Run({"import", "--user", "bob", "B2"}, std::string(kSeed) + "\n").exitCode, 0);
    EXPECT_EQ(Run({"import", "--user", "bob", "B3", "-"}, std::string(kSeed) + "\n").exitCode, 0);
    // A link's issuer and account name of 64 bytes, in UTF-8 beyond ASCII, are allowed.
    const std::string issuer = "Einwahl f\xc3\xbcr " + std::string(51, 'x'); // "für": 64 bytes
    ASSERT_EQ(issuer.size(), 64u);
    const ToolResult imported =
        Run({"import", "--user", "carol", "C4"}, "otpauth://totp/x:" + std::string(64, 'a') + "?secret=" + kSeed +
                                                     "&issuer=Einwahl%20f%C3%BCr%20" + std::string(51, 'x') + "\n");
    ASSERT_EQ(imported.exitCode, 0) << imported.err;
    const ToolResult listed = Run({"list"});
    EXPECT_THAT(listed.out, HasSubstr("C4      carol  NONE        SHA1            6      30  " + issuer + "\n"));
    EXPECT_THAT(listed.out, HasSubstr("B3  "));
}

TEST_F(TokenToolTest, RefusedIssuersAccountsAndUserNamesAreNamedInTheMessage)
{
    const std::string link = "otpauth://totp/x:bob?secret=" + std::string(kSeed);
    const std::pair<std::vector<std::string>, std::string> cases[] = {
        {{link + "&issuer=" + std::string(65, 'i')}, "the link's issuer is longer than 64 bytes"},
        {{link + "&issuer=Dial%1B%5B2Jup"}, "the link's issuer may not contain control characters (it has U+001B)"},
        {{link + "&issuer=Dial%C2%9Bup"}, "the link's issuer may not contain control characters (it has U+009B)"},
        {{link + "&issuer=Dial%7Fup"}, "the link's issuer may not contain control characters (it has U+007F)"},
        {{link + "&issuer=Dial%E9up"}, "the link's issuer is not UTF-8 text"},
        {{"otpauth://totp/x:" + std::string(65, 'a') + "?secret=" + kSeed},
         "the link's account name is longer than 64 bytes"},
        {{"otpauth://totp/x:b%C2%85ob?secret=" + std::string(kSeed)},
         "the link's account name may not contain control characters (it has U+0085)"},
    };
    for (const auto& [input, message] : cases) {
        SCOPED_TRACE(input[0]);
        const ToolResult result = Run({"import", "B2"}, input[0] + "\n");
        EXPECT_EQ(result.exitCode, 2);
        EXPECT_EQ(result.err, "kelvane-token: " + message + "\n");
    }
    const ToolResult user = Run({"import", "--user", "b\xc2\x9bob", "B2"}, std::string(kSeed) + "\n");
    EXPECT_EQ(user.exitCode, 2);
    EXPECT_EQ(user.err, "kelvane-token: the user name may not contain control characters (it has U+009B)\n");
    const ToolResult serial = Run({"import", "--user", "bob", "B\xc2\x85"}, std::string(kSeed) + "\n");
    EXPECT_EQ(serial.exitCode, 2);
    EXPECT_EQ(serial.err, "kelvane-token: the serial number may not contain control characters (it has U+0085)\n");
    EXPECT_FALSE(PathExists(TokenDatabase::DefaultPath()));
}

// Reading stops after 64 KiB: a huge link (or no line end at all) is refused without being read
// whole, and a link just under that is refused for its issuer.
TEST_F(TokenToolTest, AFiveMegabyteIssuerIsRefused)
{
    const std::string start = "otpauth://totp/x:bob?secret=" + std::string(kSeed) + "&issuer=";
    const ToolResult huge = Run({"import", "B2"}, start + std::string(5 << 20, 'i') + "\n");
    EXPECT_EQ(huge.exitCode, 2);
    EXPECT_EQ(huge.err, "kelvane-token: the seed or link is longer than 65536 bytes\n");
    const ToolResult endless = Run({"import", "--user", "bob", "B2"}, std::string(1 << 20, 'A'));
    EXPECT_EQ(endless.exitCode, 2);
    EXPECT_EQ(endless.err, "kelvane-token: the seed or link is longer than 65536 bytes\n");
    const ToolResult large = Run({"import", "B2"}, start + std::string(65536 - start.size(), 'i') + "\n");
    EXPECT_EQ(large.exitCode, 2);
    EXPECT_EQ(large.err, "kelvane-token: the link's issuer is longer than 64 bytes\n");
    EXPECT_FALSE(PathExists(TokenDatabase::DefaultPath()));
}

// A database made before import refused control and bidi characters: list shows them as \xNN.
TEST_F(TokenToolTest, ListSendsNoControlCharacterToTheTerminal)
{
    StoredToken old = MakeToken("OLD1", "ann\xc2\x9b[2J");
    old.issuer = "Evil\x1b]0;owned\x07\x1b[2J\x9b\x7f\r\xc2\x85 \xe2\x80\xae End";
    TokenFailure failure;
    ASSERT_TRUE(TokenDatabase(TokenDatabase::DefaultPath()).Add(old, failure)) << failure.explanation;
    ASSERT_TRUE(TokenDatabase(TokenDatabase::DefaultPath())
                    .Add(MakeToken("NEW2", "b\xc3\xa9"
                                           "a"),
                         failure));

    const ToolResult listed = Run({"list"});
    ASSERT_EQ(listed.exitCode, 0) << listed.err;
    // No C0 but the line ends, no DEL, no C1 as UTF-8 (C2 80 to C2 9F), no C1 as a lone byte.
    const std::string& out = listed.out;
    for (std::size_t i = 0; i < out.size(); ++i) {
        const auto byte = static_cast<unsigned char>(out[i]);
        const auto before = i > 0 ? static_cast<unsigned char>(out[i - 1]) : 0;
        EXPECT_TRUE((byte >= 0x20 && byte != 0x7f) || byte == '\n') << "byte " << int(byte) << " at " << i;
        EXPECT_FALSE(byte >= 0x80 && byte <= 0x9f && (before < 0x80 || before == 0xc2)) << "C1 at " << i;
    }
    EXPECT_THAT(listed.out, HasSubstr("OLD1    ann\\xc2\\x9b[2J  NONE        SHA1            6      60  "
                                      "Evil\\x1b]0;owned\\x07\\x1b[2J\\x9b\\x7f\\x0d\\xc2\\x85 \\xe2\\x80\\xae End\n"));
    EXPECT_THAT(listed.out, HasSubstr("NEW2    b\xc3\xa9"
                                      "a "));
}

// The default PBKDF2 iteration count of a protected token: every other test seals with 1,000 to
// stay fast, so only this one notices when the default changes. About half a second.
TEST_F(TokenToolTest, AProtectedTokenGetsSixHundredThousandIterationsByDefault)
{
    const ToolResult imported = Run({"import", "--user", "pat", "--protect", "P1"}, std::string(kSeed) + "\nwords\n");
    ASSERT_EQ(imported.exitCode, 0) << imported.err;
    StoredToken token;
    TokenFailure failure;
    ASSERT_EQ(TokenDatabase(TokenDatabase::DefaultPath()).Find("P1", token, failure), TokenDatabase::Lookup::Found);
    EXPECT_TRUE(token.isProtected);
    EXPECT_EQ(token.sealed.iterations, 600000u);
    EXPECT_EQ(SeedCipher::kDefaultIterations, 600000u);
}

// A pseudo-terminal as the tool's terminal: the bytes it showed, read until `expected` appears
// (or five seconds pass).
class Terminal {
public:
    explicit Terminal(int master) : m_master(master) {}
    ~Terminal() { ::close(m_master); }

    bool ReadUntil(const std::string& expected)
    {
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(5);
        while (m_shown.find(expected) == std::string::npos) {
            if (std::chrono::steady_clock::now() > deadline || !ReadSome(100))
                return false;
        }
        return true;
    }

    // Everything until the tool's side closes.
    void ReadToEnd()
    {
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(5);
        while (std::chrono::steady_clock::now() < deadline && ReadSome(100)) {
        }
    }

    void Type(const std::string& text) { ASSERT_EQ(::write(m_master, text.data(), text.size()), ssize_t(text.size())); }

    bool EchoIsOn() const
    {
        termios settings{};
        return ::tcgetattr(m_master, &settings) == 0 && (settings.c_lflag & ECHO) != 0;
    }

    const std::string& Shown() const { return m_shown; }

private:
    // False once the other side is closed.
    bool ReadSome(int timeoutMs)
    {
        pollfd ready{m_master, POLLIN, 0};
        if (::poll(&ready, 1, timeoutMs) == 0)
            return true;
        char buffer[512];
        const ssize_t got = ::read(m_master, buffer, sizeof buffer);
        if (got <= 0)
            return false;
        m_shown.append(buffer, static_cast<std::size_t>(got));
        return true;
    }

    int m_master;
    std::string m_shown;
};

TEST_F(TokenToolTest, OnATerminalImportAsksForSeedAndPassphraseWithoutEcho)
{
    int master = -1;
    const pid_t child = ::forkpty(&master, nullptr, nullptr, nullptr);
    ASSERT_GE(child, 0);
    if (child == 0) {
        ::execl(KELVANE_TOKEN_PATH, KELVANE_TOKEN_PATH, "import", "--user", "tina", "--protect", "T1", nullptr);
        ::_exit(127);
    }
    Terminal terminal(master);
    ASSERT_TRUE(terminal.ReadUntil("Seed or otpauth:// link: ")) << terminal.Shown();
    EXPECT_FALSE(terminal.EchoIsOn());
    terminal.Type(std::string(kSeed) + "\n");
    ASSERT_TRUE(terminal.ReadUntil("New passphrase: ")) << terminal.Shown();
    EXPECT_FALSE(terminal.EchoIsOn());
    terminal.Type("tina's words\n");
    ASSERT_TRUE(terminal.ReadUntil("Same passphrase again: ")) << terminal.Shown();
    EXPECT_FALSE(terminal.EchoIsOn());
    terminal.Type("tina's words\n");
    ASSERT_TRUE(terminal.ReadUntil("Imported token T1 for tina (SHA1, 6 digits, 60 s, protected)."))
        << terminal.Shown();
    EXPECT_TRUE(terminal.EchoIsOn());
    terminal.ReadToEnd();
    int status = 0;
    ASSERT_EQ(::waitpid(child, &status, 0), child);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << terminal.Shown();
    EXPECT_THAT(terminal.Shown(), ::testing::Not(HasSubstr(kSeed)));
    EXPECT_THAT(terminal.Shown(), ::testing::Not(HasSubstr("words")));
    EXPECT_THAT(Run({"list"}).out, ::testing::ContainsRegex("T1 +tina +PASSWORD"));
}

} // namespace
