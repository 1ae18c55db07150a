// A login through Trevalo with the real OpenVPN: a server and its client in a network namespace of
// the test's own, on 127.0.0.1 alone. Trevalo runs as an ordinary user (nobody) and starts the
// client as the profile's login application with the credentials file it filled; the client's up
// hook tells it the tunnel is up. The server checks the user and PIN + code with oathtool, not with
// Trevalo's token library.
#include <profiles/AppSettings.h>
#include <profiles/ConnectionProfile.h>
#include <profiles/PhonebookEntries.h>

#include "UserNobody.h"
#include <ChildProcess.h>
#include <NetworkNamespace.h>
#include <TempDir.h>

#include <gtest/gtest.h>

#include <chrono>
#include <csignal>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <ostream>
#include <sstream>
#include <sys/stat.h>
#include <thread>
#include <unistd.h>

namespace fs = std::filesystem;
using namespace std::chrono_literals;

namespace {

constexpr const char* kSeed = "ONSWKZBAMZXXEIDDNBQXIIDMN5TWS3TT";
constexpr const char* kTypedPin = "1234"; // what connecting-trevalo types
constexpr const char* kOpenVpn = "/usr/sbin/openvpn";
const std::string kUserText = "#$USER_NAME#$\n#$PASSCODE#$\n";

struct OpenVpnLogin {
    const char* name;
    const char* serverPin; // the PIN the server expects
    bool accepted;
};

void PrintTo(const OpenVpnLogin& login, std::ostream* out)
{
    *out << login.name;
}

class OpenVpnLoginTest : public ::testing::TestWithParam<OpenVpnLogin> {
protected:
    void SetUp() override
    {
        if (!nobody.Usable() || !netns.Made())
            GTEST_SKIP() << "needs root, the user nobody and network namespaces (ip netns)";
        if (!PathExists(kOpenVpn) || std::system("command -v oathtool >/dev/null 2>&1") != 0)
            GTEST_SKIP() << "needs openvpn and oathtool";
        ::unsetenv("TREVALO_RUNTIME_DIR"); // the hook finds nobody's channel from the uid alone
        ::setenv("QT_QPA_PLATFORM", "offscreen", 1);
        ::setenv("XDG_RUNTIME_DIR", nobody.RunUserDirectory().c_str(), 1);
        ::setenv("TREVALO_OPENVPN_DIR", dir.File("openvpn").c_str(), 1);
        fs::create_directories(dir.File("openvpn"));
        fs::create_directories(dir.File("vpn"));
        WriteFile(script, kUserText);
        ASSERT_NO_FATAL_FAILURE(SaveProfile());
        WriteFile(dir.File("seed"), std::string(kSeed) + "\n");
        nobody.TakeOver(dir.Path());
        ASSERT_TRUE(nobody.ImportToken(dir.File("seed")));
        fs::remove(dir.File("seed"));
        // The server's directory, made after the hand-over: root's alone, the user cannot read it.
        fs::create_directory(server);
        ::chmod(server.c_str(), 0700);
        ASSERT_NO_FATAL_FAILURE(MakeCertificates());
        WriteClientConfiguration();
    }

    void SaveProfile()
    {
        ConnectionProfile profile("Office");
        profile.DUNPhonebookEntry = "office";
        profile.ScriptPath = script;
        // The README's command line, without sudo: here openvpn runs as the user. openvpn ends with 0
        // even when the server refuses the login, and a good login ends the run through the hook
        // before that: so any end of openvpn is a failed login.
        profile.LoginAppPath = "sh -c \"openvpn --config " + dir.File("openvpn/office.conf") + "; exit 1\"";
        profile.UserLogin = "ann";
        profile.UserLoginRequired = true;
        profile.TokenSerialNumber = "T1";
        ASSERT_TRUE(profile.Save());
        CAppSettings::SaveDefaultProfile("Office");
    }

    // A throwaway certificate authority and the server's EC key and certificate it signs.
    void MakeCertificates()
    {
        const std::string commands = "set -e; cd \"$0\"; exec 2>/dev/null\n"
                                     "ec='-newkey ec -pkeyopt ec_paramgen_curve:prime256v1 -nodes'\n"
                                     "openssl req -x509 $ec -keyout ca.key -out ca.crt -days 1 -subj /CN=test-ca\n"
                                     "openssl req $ec -keyout server.key -out server.csr -subj /CN=server\n"
                                     "printf 'basicConstraints=CA:FALSE\\nkeyUsage=digitalSignature\\n"
                                     "extendedKeyUsage=serverAuth\\n' >server.ext\n"
                                     "openssl x509 -req -in server.csr -CA ca.crt -CAkey ca.key -CAcreateserial "
                                     "-out server.crt -days 1 -extfile server.ext\n";
        ASSERT_EQ(0, RunToEnd({"/bin/sh", "-c", commands, server}));
        fs::copy_file(server + "/ca.crt", dir.File("openvpn/ca.crt"));
    }

    // The client configuration with the README's lines for Trevalo, but without a tunnel device
    // (the tunnel's addresses and routes are left alone), and with a pid file for the test. The
    // hook by a short name, as for a client that runs as the user.
    void WriteClientConfiguration()
    {
        fs::create_symlink(OPENVPN_UP_HOOK, dir.File("up"));
        WriteFile(dir.File("openvpn/office.conf"),
                  "client\ndev null\nifconfig-noexec\nroute-noexec\nnobind\nremote 127.0.0.1 1194 udp\n"
                  "remote-cert-tls server\nverb 3\nca " +
                      dir.File("openvpn/ca.crt") + "\nwritepid " + dir.File("vpn/client.pid") + "\nauth-user-pass " +
                      script + "\nauth-nocache\nscript-security 2\nup " + dir.File("up") + "\nmanagement " +
                      managementSocket + " unix\nmanagement-client-user nobody\n");
    }

    // Stops the client the README's way, as the user: through its management socket.
    void StopClient()
    {
        ChildProcess stop({"/bin/sh", "-c", "printf 'signal SIGTERM\\n' | nc -U -N \"$0\"", managementSocket},
                          nobody.Uid());
        std::string said, line;
        while (stop.ReadLine(line))
            said += line + "\n";
        EXPECT_EQ(0, stop.Wait());
        EXPECT_NE(std::string::npos, said.find("SUCCESS: signal SIGTERM thrown")) << said;
        for (int wait = 0; wait < 100 && ClientRuns(); ++wait)
            std::this_thread::sleep_for(50ms);
    }

    // The server's check: the user and the PIN followed by the code of the current or the previous
    // 60-second step. It notes the time it accepted.
    void WriteServerCheck(const std::string& pin)
    {
        WriteFile(server + "/seed", std::string(kSeed) + "\n");
        WriteFile(server + "/pin", pin + "\n");
        WriteFile(server + "/check",
                  "#!/bin/sh\n"
                  "cd \"$(dirname \"$0\")\"\n"
                  "{ read -r user; read -r password; } <\"$1\"\n"
                  "read -r pin <pin\n"
                  "[ \"$user\" = ann ] || exit 1\n"
                  "now=$(date +%s)\n"
                  "for code in $(oathtool --totp --time-step-size=60s --base32 -w1 --now=@$((now - 60)) - <seed); do\n"
                  "    [ \"$password\" = \"$pin$code\" ] && date +%s.%N >accepted && exit 0\n"
                  "done\n"
                  "exit 1\n");
        ::chmod((server + "/check").c_str(), 0700);
    }

    // Starts the server in the namespace and waits until it serves.
    void StartServer(std::unique_ptr<ChildProcess>& process)
    {
        const std::string log = server + "/server.log";
        WriteFile(server + "/server.conf",
                  "mode server\ntls-server\ndev tun0\ntopology subnet\nifconfig 10.89.0.1 255.255.255.0\n"
                  "ifconfig-pool 10.89.0.2 10.89.0.9\npush \"topology subnet\"\nlocal 127.0.0.1\nproto udp\n"
                  "port 1194\nca ca.crt\ncert server.crt\nkey server.key\ndh none\nverify-client-cert none\n"
                  "script-security 2\nauth-user-pass-verify ./check via-file\nverb 3\n");
        process = std::make_unique<ChildProcess>(
            netns.Inside({kOpenVpn, "--cd", server, "--config", "server.conf", "--tmp-dir", server, "--log", log}));
        for (int wait = 0; wait < 200 && ReadFile(log).find("Initialization Sequence Completed") == std::string::npos;
             ++wait)
            std::this_thread::sleep_for(50ms);
        ASSERT_NE(std::string::npos, ReadFile(log).find("Initialization Sequence Completed")) << ReadFile(log);
    }

    // The passcodes of the last few steps, by oathtool: none of them may stay in a file.
    std::vector<std::string> RecentPasscodes() const
    {
        std::string codes;
        RunToEnd({"/bin/sh", "-c",
                  "oathtool --totp --time-step-size=60s --base32 -w4 --now=@$(($(date +%s) - 180)) - <\"$0\"",
                  server + "/seed"},
                 &codes);
        std::vector<std::string> passcodes;
        std::istringstream lines(codes);
        for (std::string code; std::getline(lines, code);)
            passcodes.push_back(kTypedPin + code);
        return passcodes;
    }

    bool ClientRuns() const
    {
        const std::string pid = ReadFile(dir.File("vpn/client.pid"));
        return !pid.empty() && ::kill(std::stoi(pid), 0) == 0;
    }

    TempDir dir;
    UserNobody nobody;
    NetworkNamespace netns;
    std::string script = dir.File("vpn/office.txt");
    std::string server = dir.File("server");
    std::string managementSocket = nobody.RunUserDirectory() + "/openvpn-office.sock";
};

double SecondsSinceEpoch()
{
    return std::chrono::duration<double>(std::chrono::system_clock::now().time_since_epoch()).count();
}

} // namespace

TEST_P(OpenVpnLoginTest, TheClientLogsInWithTheFilledFileAndTheUsersTextComesBack)
{
    const OpenVpnLogin& login = GetParam();
    CPhonebookEntries entries;
    entries.Enumerate();
    ASSERT_TRUE(entries.Contains("office")) << "the phonebook does not list the OpenVPN client configurations";
    WriteServerCheck(login.serverPin);
    std::unique_ptr<ChildProcess> openVpnServer;
    ASSERT_NO_FATAL_FAILURE(StartServer(openVpnServer));

    ChildProcess trevalo(
        netns.Inside({"/usr/bin/setpriv", "--reuid=" + std::to_string(nobody.Uid()),
                      "--regid=" + std::to_string(nobody.Gid()), "--clear-groups", CONNECTING_TREVALO}));
    std::string line;
    ASSERT_TRUE(trevalo.ReadLine(line));
    ASSERT_EQ("connected", line);
    if (!login.accepted) {
        // The client gave up: Trevalo says so with the client's last words, and stays for another try.
        ASSERT_TRUE(trevalo.ReadLine(line));
        EXPECT_NE(std::string::npos, line.find(" ended with exit status 1.||What it wrote last:|")) << line;
        EXPECT_NE(std::string::npos, line.find("AUTH_FAILED")) << line;
        EXPECT_EQ(kUserText, ReadFile(script));
        EXPECT_FALSE(PathExists(server + "/accepted"));
        EXPECT_FALSE(ClientRuns());
        trevalo.Signal(SIGTERM);
    }
    for (int wait = 0; wait < 2000 && ReadFile(script) != kUserText; ++wait)
        std::this_thread::sleep_for(10ms);
    const double restored = SecondsSinceEpoch();
    const bool clientRan = ClientRuns();
    if (ReadFile(script) != kUserText)
        trevalo.Kill();
    EXPECT_EQ(kUserText, ReadFile(script));
    EXPECT_EQ(0, trevalo.Wait()); // ended by the hook's notification, or by the test
    if (login.accepted) {
        ASSERT_TRUE(PathExists(server + "/accepted"));
        EXPECT_LT(restored - std::stod(ReadFile(server + "/accepted")), 1.0) << "the hook was slow or never told";
        EXPECT_TRUE(clientRan) << "the client ended before the hook told Trevalo";
        StopClient();
        EXPECT_FALSE(ClientRuns());
    }
    EXPECT_FALSE(PathExists(dir.File("vpn/OFFICE.BAK")));
    const std::vector<std::string> passcodes = RecentPasscodes();
    ASSERT_FALSE(passcodes.empty());
    fs::remove_all(server); // the server's own secrets
    EXPECT_EQ(std::vector<std::string>{}, FilesHolding(dir.Path(), passcodes));
    // The PIN alone anywhere but in the client's pid file, whose number might hold it by chance.
    fs::remove(dir.File("vpn/client.pid"));
    EXPECT_EQ(std::vector<std::string>{}, FilesHolding(dir.Path(), {kTypedPin}));
}

INSTANTIATE_TEST_SUITE_P(Pins, OpenVpnLoginTest,
                         ::testing::Values(OpenVpnLogin{"RightPin", "1234", true},
                                           OpenVpnLogin{"WrongPin", "4321", false}),
                         [](const ::testing::TestParamInfo<OpenVpnLogin>& test) {
                             return std::string(test.param.name);
                         });
