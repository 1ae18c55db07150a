// A login through Trevalo with the real OpenVPN: a server and its client in a network namespace of
// the test's own, on 127.0.0.1 alone. Trevalo runs as an ordinary user (nobody) and starts the
// client as the profile's login application with the credentials file it filled; the client's up
// hook tells it the tunnel is up. The server checks the user and PIN + code with oathtool, not with
// Trevalo's token library.
#include <profiles/PhonebookEntries.h>

#include "OpenVpnServer.h"
#include "VpnLogin.h"
#include <ChildProcess.h>
#include <Reachable.h>

#include <gtest/gtest.h>

#include <chrono>
#include <csignal>
#include <cstdlib>
#include <filesystem>
#include <sys/stat.h>
#include <thread>
#include <unistd.h>

namespace fs = std::filesystem;
using namespace std::chrono_literals;

namespace {

constexpr const char* kOpenVpn = "/usr/sbin/openvpn";
const std::string kUserText = "#$USER_NAME#$\n#$PASSCODE#$\n";

class OpenVpnLoginTest : public ::testing::TestWithParam<PinTry>, protected NobodysLogin {
protected:
    void SetUp() override
    {
        if (!Usable() || !PathExists(kOpenVpn))
            GTEST_SKIP() << "needs root, the user nobody, network namespaces (ip netns), openvpn and oathtool";
        fs::create_directories(dir.File("openvpn"));
        // The README's command line, without sudo: here openvpn runs as the user. openvpn ends with 0
        // even when the server refuses the login, and a good login ends the run through the hook
        // before that: so any end of openvpn is a failed login.
        ASSERT_NO_FATAL_FAILURE(
            Prepare(kUserText, "sh -c \"openvpn --config " + dir.File("openvpn/office.conf") + "; exit 1\"", "ann"));
        WriteClientConfiguration();
    }

    // The client configuration with the README's lines for Trevalo, but without a tunnel device
    // (the tunnel's addresses and routes are left alone), and with a pid file for the test. The
    // hook by a short name, as for a client that runs as the user.
    void WriteClientConfiguration()
    {
        fs::create_symlink(Reachable(OPENVPN_UP_HOOK), dir.File("up"));
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

    bool ClientRuns() const
    {
        const std::string pid = ReadFile(dir.File("vpn/client.pid"));
        return !pid.empty() && ::kill(std::stoi(pid), 0) == 0;
    }

    OpenVpnServer server{netns, dir.File("server")}; // made after the hand-over: the user cannot read it
    std::string managementSocket = nobody.RunUserDirectory() + "/openvpn-office.sock";
};

double SecondsSinceEpoch()
{
    return std::chrono::duration<double>(std::chrono::system_clock::now().time_since_epoch()).count();
}

} // namespace

TEST_P(OpenVpnLoginTest, TheClientLogsInWithTheFilledFileAndTheUsersTextComesBack)
{
    const PinTry& login = GetParam();
    CPhonebookEntries entries;
    entries.Enumerate();
    ASSERT_TRUE(entries.Contains("office")) << "the phonebook does not list the OpenVPN client configurations";
    ASSERT_NO_FATAL_FAILURE(server.Start(login.serverPin));
    fs::copy_file(server.CaCertificate(), dir.File("openvpn/ca.crt"));

    ChildProcess trevalo(netns.Inside(nobody.Running({CONNECTING_TREVALO})));
    std::string line;
    ASSERT_TRUE(trevalo.ReadLine(line));
    ASSERT_EQ("connected", line);
    if (!login.accepted) {
        // The client gave up: Trevalo says so with the client's last words, and stays for another try.
        ASSERT_TRUE(trevalo.ReadLine(line));
        EXPECT_NE(std::string::npos, line.find(" ended with exit status 1.||What it wrote last:|")) << line;
        EXPECT_NE(std::string::npos, line.find("AUTH_FAILED")) << line;
        EXPECT_EQ(kUserText, ReadFile(script));
        EXPECT_EQ(0, server.AcceptedAt());
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
        ASSERT_NE(0, server.AcceptedAt());
        EXPECT_LT(restored - server.AcceptedAt(), 1.0) << "the hook was slow or never told";
        EXPECT_TRUE(clientRan) << "the client ended before the hook told Trevalo";
        StopClient();
        EXPECT_FALSE(ClientRuns());
    }
    EXPECT_FALSE(PathExists(dir.File("vpn/OFFICE.BAK")));
    const std::vector<std::string> passcodes = RecentPasscodes();
    ASSERT_FALSE(passcodes.empty());
    server.Remove(); // the server's own secrets
    EXPECT_EQ(std::vector<std::string>{}, FilesHolding(dir.Path(), passcodes));
    // The PIN alone anywhere but in the client's pid file, whose number might hold it by chance.
    fs::remove(dir.File("vpn/client.pid"));
    EXPECT_EQ(std::vector<std::string>{}, FilesHolding(dir.Path(), {kTypedPin}));
}

INSTANTIATE_TEST_SUITE_P(Pins, OpenVpnLoginTest, ::testing::ValuesIn(kPinTries), NameOf);
