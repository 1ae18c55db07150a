// A login through Trevalo with the real openconnect against ocserv, in a network namespace of the
// test's own, on 127.0.0.1 alone, with the README's login application and client configuration
// file. Two kinds of server: one that takes the PIN and the code as one password (through PAM, a
// script checks it with oathtool), and ocserv's own password + one-time code check, which asks
// twice. Each fits one form of the script file. Trevalo runs as nobody, and so does openconnect:
// the README's line without sudo, the tunnel's traffic going to a script instead of a tun device.
#include "VpnLogin.h"
#include <ChildProcess.h>

#include <gtest/gtest.h>

#include <chrono>
#include <csignal>
#include <filesystem>
#include <memory>
#include <ostream>
#include <string>
#include <sys/stat.h>
#include <thread>
#include <vector>

namespace fs = std::filesystem;
using namespace std::chrono_literals;

namespace {

constexpr const char* kOneLine = "#$PASSCODE#$\n";
constexpr const char* kTwoLines = "#$NEW_PIN#$\n#$PASSCODE_NO_PIN#$\n";

struct OpenConnectLogin {
    const char* name;
    bool asksTwice; // ocserv's password + OTP check; else one password, PIN and code
    const char* userText;
    const char* serverPin;
    const char* refusal; // what openconnect last said when refused; null when accepted
};

void PrintTo(const OpenConnectLogin& login, std::ostream* out)
{
    *out << login.name;
}

class OpenConnectLoginTest : public ::testing::TestWithParam<OpenConnectLogin>, protected NobodysLogin {
protected:
    void SetUp() override
    {
        if (!Usable() || !PathExists("/usr/sbin/ocserv") || !PathExists("/usr/sbin/openconnect"))
            GTEST_SKIP() << "needs root, the user nobody, network namespaces (ip netns), oathtool, ocserv and "
                            "openconnect";
        WriteFile(dir.File("peers/office"), ""); // openconnect has no phonebook: the profile names another entry
        const std::string loginApp = "sh -c \"exec /usr/sbin/openconnect --config=" + dir.File("vpn/office.conf") +
                                     " --user=ann --passwd-on-stdin --background 127.0.0.1:4443 <" + script + "\"";
        ASSERT_LE(loginApp.size(), 199u) << "the test directory's path is too long for a login application";
        ASSERT_NO_FATAL_FAILURE(Prepare(GetParam().userText, loginApp));
        // Made after the hand-over: root's alone, as the server's and the client's configuration are.
        fs::create_directory(server);
        ::chmod(server.c_str(), 0700);
        ASSERT_NO_FATAL_FAILURE(WriteServer());
        WriteFile(dir.File("vpn/office.conf"), "servercert pin-sha256:" + ReadFile(server + "/pin-sha256") +
                                                   "pid-file " + clientPid +
                                                   "\nscript-tun\nscript exec cat <&$VPNFD >/dev/null\n");
    }

    // The server's key and self-signed certificate (openconnect trusts it by its pin), and its
    // users with PIN and seed for both kinds of check. ocserv reads its files from its own
    // directory; the socket lies outside it, for the workers (user ocserv) to reach.
    void WriteServer()
    {
        const OpenConnectLogin& login = GetParam();
        WriteFile(server + "/seed", std::string(kSeed) + "\n");
        WriteFile(server + "/pin", std::string(login.serverPin) + "\n");
        // The one-password check PAM runs: the password (on standard input, ended by a NUL) is the
        // PIN followed by the code of the current or the previous 60-second step.
        WriteFile(server + "/check",
                  "#!/bin/sh\ncd \"$(dirname \"$0\")\"\npassword=$(tr -d '\\000')\nread -r pin <pin\n"
                  "for code in $(oathtool --totp --time-step-size=60s --base32 -w1 "
                  "--now=@$(($(date +%s) - 60)) - <seed); do\n"
                  "    [ \"$PAM_USER\" = ann ] && [ \"$password\" = \"$pin$code\" ] && exit 0\n"
                  "done\nexit 1\n");
        WriteFile(server + "/ocserv.conf",
                  std::string("auth = \"") + (login.asksTwice ? "plain[passwd=ocpasswd,otp=users.otp]" : "pam") +
                      "\"\nlisten-host = 127.0.0.1\ntcp-port = 4443\nrun-as-user = ocserv\nrun-as-group = ocserv\n"
                      "socket-file = " +
                      dir.File("ocserv.sock") +
                      "\nserver-cert = server.crt\nserver-key = server.key\n"
                      "pid-file = ocserv.pid\ndevice = vpns\nipv4-network = 10.89.1.0/24\n");
        const std::string commands =
            "set -e; cd \"$0\"; exec 2>/dev/null; chmod 700 check\n"
            "openssl req -x509 -newkey ec -pkeyopt ec_paramgen_curve:prime256v1 -nodes -keyout server.key "
            "-out server.crt -days 1 -subj /CN=server\n"
            "openssl x509 -in server.crt -pubkey -noout | openssl pkey -pubin -outform der | "
            "openssl dgst -sha256 -binary | base64 >pin-sha256\n"
            "echo \"ann:*:$(openssl passwd -6 -stdin <pin)\" >ocpasswd\n"
            "echo \"HOTP/T60 ann - $(base32 -d <seed | od -An -tx1 | tr -d ' \\n')\" >users.otp\n"
            "mkdir pam.d; printf '%s\\n' \"auth required pam_exec.so expose_authtok quiet $PWD/check\" "
            "'account required pam_permit.so' 'session required pam_permit.so' >pam.d/ocserv\n";
        ASSERT_EQ(0, RunToEnd({"/bin/sh", "-c", commands, server}));
    }

    // PAM reads the server's own service file: ip netns exec gives the server a mount namespace
    // of its own whose mounts do not reach the machine's, so the bind mount hides /etc/pam.d from
    // the server alone.
    void StartServer(std::unique_ptr<ChildProcess>& process)
    {
        process =
            std::make_unique<ChildProcess>(netns.Inside({"/bin/sh", "-c",
                                                         "cd \"$0\" && mount --bind pam.d /etc/pam.d && exec "
                                                         "/usr/sbin/ocserv -f -d 1 -c ocserv.conf >server.log 2>&1",
                                                         server}));
        for (int wait = 0; wait < 200 && ServerLog().find("sec-mod initialized") == std::string::npos; ++wait)
            std::this_thread::sleep_for(50ms);
        ASSERT_NE(std::string::npos, ServerLog().find("sec-mod initialized")) << ServerLog();
    }

    std::string ServerLog() const { return ReadFile(server + "/server.log"); }

    // The client in the background, not yet ended (the zombie of an ended one may linger).
    bool ClientRuns() const
    {
        const std::string pid = ReadFile(clientPid);
        const std::string stat = pid.empty() ? "" : ReadFile("/proc/" + std::to_string(std::stoi(pid)) + "/stat");
        return !stat.empty() && stat.find(") Z ") == std::string::npos;
    }

    std::string clientPid = dir.File("vpn/openconnect.pid");
    std::string server = dir.File("server");
};

} // namespace

TEST_P(OpenConnectLoginTest, OpenconnectReadsTheFilledFileAndTheUsersTextComesBack)
{
    const OpenConnectLogin& login = GetParam();
    std::unique_ptr<ChildProcess> ocserv;
    ASSERT_NO_FATAL_FAILURE(StartServer(ocserv));

    ChildProcess trevalo(netns.Inside(nobody.Running({CONNECTING_TREVALO})));
    std::string line;
    ASSERT_TRUE(trevalo.ReadLine(line));
    ASSERT_EQ("connected", line);
    const bool accepted = login.refusal == nullptr;
    const bool refused = trevalo.ReadLine(line); // a login that works ends Trevalo without a word
    EXPECT_NE(accepted, refused) << line;
    if (refused) {
        // Trevalo says so with openconnect's last words, and stays for another try.
        EXPECT_NE(std::string::npos, line.find(" ended with exit status 1.||What it wrote last:|")) << line;
        EXPECT_NE(std::string::npos, line.find(accepted ? "" : login.refusal)) << line;
        trevalo.Signal(SIGTERM);
    }
    EXPECT_EQ(0, trevalo.Wait());
    EXPECT_EQ(login.userText, ReadFile(script));
    EXPECT_FALSE(PathExists(dir.File("vpn/OFFICE.BAK")));
    for (int wait = 0; wait < 40 && accepted && !ClientRuns(); ++wait)
        std::this_thread::sleep_for(50ms);
    EXPECT_EQ(accepted, ClientRuns()) << "openconnect in the background, connected";
    EXPECT_EQ(accepted, ServerLog().find("initiating session for user 'ann'") != std::string::npos) << ServerLog();
    if (ClientRuns()) {
        ::kill(std::stoi(ReadFile(clientPid)), SIGTERM);
        for (int wait = 0; wait < 100 && ClientRuns(); ++wait)
            std::this_thread::sleep_for(50ms);
    }
    const std::vector<std::string> passcodes = RecentPasscodes();
    ASSERT_FALSE(passcodes.empty());
    fs::remove_all(server); // the server's own secrets
    EXPECT_EQ(std::vector<std::string>{}, FilesHolding(dir.Path(), passcodes));
    fs::remove(clientPid); // its number might hold the PIN by chance
    EXPECT_EQ(std::vector<std::string>{}, FilesHolding(dir.Path(), {kTypedPin}));
}

INSTANTIATE_TEST_SUITE_P(
    Servers, OpenConnectLoginTest,
    ::testing::Values(OpenConnectLogin{"OnePasswordOneLine", false, kOneLine, "1234", nullptr},
                      OpenConnectLogin{"AsksTwiceTwoLines", true, kTwoLines, "1234", nullptr},
                      OpenConnectLogin{"AsksTwiceOneLine", true, kOneLine, "1234", "Login failed."},
                      OpenConnectLogin{"OnePasswordTwoLines", false, kTwoLines, "1234", "401 Authentication failed"},
                      OpenConnectLogin{"OnePasswordWrongPin", false, kOneLine, "4321", "401 Authentication failed"},
                      OpenConnectLogin{"AsksTwiceWrongPin", true, kTwoLines, "4321", "Login failed."}),
    [](const ::testing::TestParamInfo<OpenConnectLogin>& test) { return std::string(test.param.name); });
