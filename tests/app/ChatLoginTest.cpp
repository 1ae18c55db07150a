// A login through Trevalo with Debian's real chat on a real pseudo-terminal. Only the far end of
// the line is a stand-in, dialin-host: no modem or dial-in host can run here. It checks the user
// and the passcode against the token's seed with oathtool, not with Trevalo's token library.
#include <profiles/AppSettings.h>
#include <profiles/ConnectionProfile.h>

#include <ChildProcess.h>
#include <TempDir.h>

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <ostream>
#include <sys/stat.h>

namespace {

constexpr const char* kSeed = "ONSWKZBAMZXXEIDDNBQXIIDMN5TWS3TT";
constexpr const char* kTypedPin = "1234"; // what connecting-trevalo types
constexpr const char* kChat = "/usr/sbin/chat";

struct ChatLogin {
    const char* name;
    bool crlf;           // the user's script has CR LF line ends
    const char* hostPin; // the PIN the host expects
    const char* verdict; // the host's
    int chatStatus;      // 6 when the host's "Login incorrect" ends chat
};

void PrintTo(const ChatLogin& login, std::ostream* out)
{
    *out << login.name;
}

class ChatLoginTest : public ::testing::TestWithParam<ChatLogin> {
protected:
    ChatLoginTest()
    {
        ::setenv("TREVALO_RUNTIME_DIR", dir.Path().c_str(), 1);
        ::setenv("QT_QPA_PLATFORM", "offscreen", 1);
        WriteFile(dir.File("peers/myisp"), "# pppd options\n");
        std::filesystem::create_directory(dir.File("ppp"));
        WriteFile(dir.File("seed"), std::string(kSeed) + "\n");
        ChildProcess import(WithInput(dir.File("seed"), {KELVANE_TOKEN, "import", "--user", "ann", "T1"}));
        EXPECT_EQ(0, import.Wait());
        std::filesystem::remove(dir.File("seed"));
    }

    // `arguments` run with the file `input` on standard input: secrets never go on a command line.
    static std::vector<std::string> WithInput(const std::string& input, std::vector<std::string> arguments)
    {
        arguments.insert(arguments.begin(), {"/bin/sh", "-c", "exec \"$@\" <\"$0\"", input});
        return arguments;
    }

    // The login application: chat on the host's line with the script Trevalo rewrote ($1), its
    // log (-v, to standard error and not to syslog) going to Trevalo.
    std::string LoginApp(const std::string& line)
    {
        const std::string path = dir.File("login-app");
        WriteFile(path, "#!/bin/sh\nexec " + std::string(kChat) + " -v -s -S -t 20 -f \"$1\" <'" + line + "' >'" +
                            line + "'\n");
        ::chmod(path.c_str(), 0755);
        return path;
    }

    void SaveProfile(const std::string& script, const std::string& loginApp)
    {
        ConnectionProfile profile("ISP");
        profile.DUNPhonebookEntry = "myisp";
        profile.ScriptPath = script;
        profile.LoginAppPath = loginApp;
        profile.UserLogin = "ann";
        profile.UserLoginRequired = true;
        profile.TokenSerialNumber = "T1";
        EXPECT_TRUE(profile.Save());
        CAppSettings::SaveDefaultProfile("ISP");
    }

    TempDir dir;
};

std::string WithCrLf(const std::string& text)
{
    std::string result;
    for (char c : text) {
        if (c == '\n')
            result += '\r';
        result += c;
    }
    return result;
}

std::vector<std::string> FilesIn(const std::string& directory)
{
    std::vector<std::string> files;
    for (const auto& entry : std::filesystem::directory_iterator(directory))
        files.push_back(entry.path().string());
    return files;
}

} // namespace

TEST_P(ChatLoginTest, ChatLogsInWithTheRewrittenScriptAndTheUsersTextComesBack)
{
    if (!PathExists(kChat) || std::system("command -v oathtool >/dev/null 2>&1") != 0)
        GTEST_SKIP() << "needs chat (Debian package ppp) and oathtool";
    const ChatLogin& login = GetParam();
    const std::string script = dir.File("ppp/chat-myisp");
    const std::string userText = login.crlf ? WithCrLf(ReadFile(CHAT_MYISP)) : ReadFile(CHAT_MYISP);
    WriteFile(script, userText);
    // The host reads the seed and its PIN, then names its line: the file has served by then.
    WriteFile(dir.File("host-input"), std::string(kSeed) + "\n" + login.hostPin + "\n");
    ChildProcess host(WithInput(dir.File("host-input"), {DIALIN_HOST, "ann"}));
    std::string line;
    const bool named = host.ReadLine(line);
    std::filesystem::remove(dir.File("host-input"));
    ASSERT_TRUE(named);
    const std::string loginApp = LoginApp(line) + " " + script;
    SaveProfile(script, loginApp);

    // Trevalo's standard error, where chat's log goes on to, kept for the test.
    ChildProcess run({"/bin/sh", "-c", "exec \"$0\" 2>\"$1\"", CONNECTING_TREVALO, dir.File("trevalo.log")});
    ASSERT_TRUE(run.ReadLine(line));
    ASSERT_EQ("connected", line);
    if (login.chatStatus != 0) {
        // A refused login leaves Trevalo running for another try, saying what chat said last.
        ASSERT_TRUE(run.ReadLine(line));
        EXPECT_EQ(0u,
                  line.find("message: The login did not succeed: the login application " + loginApp +
                            " ended with exit status " + std::to_string(login.chatStatus) + ".||What it wrote last:|"))
            << line;
        EXPECT_TRUE(line.ends_with("|Failed (ogin incorrect)")) << line;
        EXPECT_EQ(userText, ReadFile(script));
        ChildProcess cancel({TREVALO_NOTIFY, "0"});
        EXPECT_EQ(0, cancel.Wait());
    }
    EXPECT_FALSE(run.ReadLine(line)) << line;
    EXPECT_EQ(0, run.Wait());

    ASSERT_TRUE(host.ReadLine(line));
    EXPECT_EQ(login.verdict, line);
    EXPECT_EQ(0, host.Wait());
    EXPECT_EQ(userText, ReadFile(script));
    EXPECT_EQ(std::vector<std::string>{script}, FilesIn(dir.File("ppp"))) << "a backup was left";
    const std::string chatLog = ReadFile(dir.File("trevalo.log"));
    EXPECT_NE(std::string::npos, chatLog.find("login-app: send (??????")) << "chat showed no hidden send:\n" << chatLog;
    EXPECT_EQ(std::vector<std::string>{}, FilesHolding(dir.Path(), {kTypedPin, login.hostPin}));
}

INSTANTIATE_TEST_SUITE_P(Scripts, ChatLoginTest,
                         ::testing::Values(ChatLogin{"Shipped", false, "1234", "accepted", 0},
                                           ChatLogin{"ShippedWithCrLf", true, "1234", "accepted", 0},
                                           ChatLogin{"WrongPin", false, "4321", "refused: passcode", 6}),
                         [](const ::testing::TestParamInfo<ChatLogin>& test) { return std::string(test.param.name); });
