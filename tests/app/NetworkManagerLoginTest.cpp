// A login through Trevalo with a real NetworkManager and Debian's OpenVPN plugin, against the real
// OpenVPN server. Trevalo runs as an ordinary user (nobody) with the README's login application
// line: nmcli reads the filled file on its standard input when NetworkManager asks for the
// connection's password, and ends once the connection is up, or at the first refusal, when it
// finds no second line to answer with.
#include "OpenVpnServer.h"
#include "VpnLogin.h"
#include <ChildProcess.h>
#include <PrivateNetworkManager.h>

#include <gtest/gtest.h>

#include <csignal>
#include <filesystem>
#include <map>
#include <optional>

namespace fs = std::filesystem;

namespace {

const std::string kUserText = "#$PASSCODE#$\n";
const std::string kPlugin = "/usr/lib/NetworkManager/nm-openvpn-service";

class NetworkManagerLoginTest : public ::testing::TestWithParam<PinTry>, protected NobodysLogin {
protected:
    void SetUp() override
    {
        if (!Usable() || !PrivateNetworkManager::Usable() || !PathExists(kPlugin))
            GTEST_SKIP() << "needs root, the user nobody, network namespaces (ip netns), oathtool, NetworkManager "
                            "and its OpenVPN plugin";
        ASSERT_NO_FATAL_FAILURE(
            Prepare(kUserText, "sh -c \"exec nmcli --ask --wait 60 connection up id office <" + script + "\""));
        ASSERT_NO_FATAL_FAILURE(StartNetworkManager());
    }

    // A VPN connection needs a device that is up: a veth pair's end with an address and a gateway.
    void StartNetworkManager()
    {
        const std::string ip = "/usr/sbin/ip";
        ASSERT_EQ(0, RunToEnd({ip, "-n", netns.Name(), "link", "add", "veth0", "type", "veth", "peer", "veth1"}));
        ASSERT_EQ(0, RunToEnd({ip, "-n", netns.Name(), "link", "set", "veth1", "up"}));
        networkManager.emplace(
            netns, dir.File("nm"),
            std::map<std::string, std::string>{
                {"base", "[connection]\nid=base\ntype=ethernet\ninterface-name=veth1\n"
                         "[ipv4]\nmethod=manual\naddress1=10.88.0.2/24,10.88.0.1\n[ipv6]\nmethod=ignore\n"},
                {"office", "[connection]\nid=office\ntype=vpn\nautoconnect=false\n"
                           "[vpn]\nservice-type=org.freedesktop.NetworkManager.openvpn\nconnection-type=password\n"
                           "remote=127.0.0.1\nca=" +
                               server.CaCertificate() + "\nusername=ann\npassword-flags=2\n"}});
        ASSERT_TRUE(networkManager->Answering()) << "NetworkManager did not answer on the private bus";
    }

    bool OfficeActive() const
    {
        std::string active;
        RunToEnd({"/usr/bin/nmcli", "-t", "-f", "NAME", "connection", "show", "--active"}, &active);
        return active.find("office\n") != std::string::npos;
    }

    OpenVpnServer server{netns, dir.File("server")};
    std::optional<PrivateNetworkManager> networkManager;
};

} // namespace

TEST_P(NetworkManagerLoginTest, TheConnectionComesUpOrTheOneRefusalSaysSoAndTheFileIsBack)
{
    const PinTry& login = GetParam();
    ASSERT_NO_FATAL_FAILURE(server.Start(login.serverPin));

    ChildProcess trevalo(nobody.Running({CONNECTING_TREVALO}));
    std::string line;
    ASSERT_TRUE(trevalo.ReadLine(line));
    ASSERT_EQ("connected", line);
    if (!login.accepted) {
        ASSERT_TRUE(trevalo.ReadLine(line));
        EXPECT_NE(std::string::npos, line.find(" ended with exit status 1.")) << line;
        trevalo.Signal(SIGTERM);
    }
    EXPECT_EQ(0, trevalo.Wait());
    EXPECT_EQ(kUserText, ReadFile(script));
    EXPECT_FALSE(PathExists(dir.File("vpn/OFFICE.BAK")));
    EXPECT_EQ(1, server.Tries());
    EXPECT_EQ(login.accepted, OfficeActive());
    if (login.accepted) {
        EXPECT_EQ(0, ChildProcess(nobody.Running({"/usr/bin/nmcli", "connection", "down", "id", "office"})).Wait());
        EXPECT_FALSE(OfficeActive());
    }
    const std::vector<std::string> passcodes = RecentPasscodes();
    ASSERT_FALSE(passcodes.empty());
    server.Remove(); // the server's own secrets
    EXPECT_EQ(std::vector<std::string>{}, FilesHolding(dir.Path(), passcodes));
}

INSTANTIATE_TEST_SUITE_P(Pins, NetworkManagerLoginTest, ::testing::ValuesIn(kPinTries), NameOf);
