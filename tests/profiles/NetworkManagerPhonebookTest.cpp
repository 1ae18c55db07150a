// The phonebook read from a real NetworkManager of the test's own.

#include "RecordingCombo.h"

#include <profiles/PhonebookEntries.h>

#include <NetworkNamespace.h>
#include <PrivateNetworkManager.h>
#include <TempDir.h>

#include <gtest/gtest.h>

#include <map>
#include <optional>
#include <string>
#include <vector>

namespace {

// One keyfile per connection: its id, type and the group of that type.
struct Connection {
    std::string id;
    std::string type;
    std::string settings;
};

const std::vector<Connection> kConnections = {
    {"Office VPN", "vpn", "[vpn]\nservice-type=org.freedesktop.NetworkManager.openvpn\nremote=vpn.invalid\n"},
    {"Mobile", "gsm", "[gsm]\napn=internet\n"},
    {"Dial-up", "pppoe", "[pppoe]\nusername=ann\n"},
    {"Wired", "ethernet", ""},
    {std::string(300, 'v'), "vpn", "[vpn]\nservice-type=org.freedesktop.NetworkManager.openvpn\n"},
    {std::string(256, 'w'), "vpn", "[vpn]\nservice-type=org.freedesktop.NetworkManager.openvpn\n"}, // as long as may be
};

class NetworkManagerPhonebook : public testing::Test {
protected:
    void SetUp() override
    {
        if (!PrivateNetworkManager::Usable())
            GTEST_SKIP() << "starting NetworkManager needs root and NetworkManager installed";
        m_namespace.emplace();
        if (!m_namespace->Made())
            GTEST_SKIP() << "no network namespace can be made here";
        std::map<std::string, std::string> keyfiles;
        int number = 0;
        for (const Connection& connection : kConnections)
            keyfiles[std::to_string(++number)] = "[connection]\nid=" + connection.id + "\ntype=" + connection.type +
                                                 "\nautoconnect=false\n" + connection.settings;
        m_networkManager.emplace(*m_namespace, m_dir.File("nm"), keyfiles);
        ASSERT_TRUE(m_networkManager->Answering()) << "NetworkManager did not answer on the private bus";
    }

    TempDir m_dir;

private:
    // Ended in this order: NetworkManager and its bus, then the namespace goes.
    std::optional<NetworkNamespace> m_namespace;
    std::optional<PrivateNetworkManager> m_networkManager;
};

} // namespace

TEST_F(NetworkManagerPhonebook, ListsTheConnectionsALoginAppliesToBesideTheOtherSourcesOnceEach)
{
    WriteFile(m_dir.File("peers/Mobile"), "");
    WriteFile(m_dir.File("openvpn/Office VPN.conf"), "");
    WriteFile(m_dir.File("openvpn/branch.conf"), "");
    CPhonebookEntries entries;
    entries.Enumerate();
    RecordingCombo combo;
    entries.FillCombo(combo);
    EXPECT_EQ((std::vector<std::string>{"reset", "Dial-up", "Mobile", "Office VPN", "branch", std::string(256, 'w')}),
              combo.calls);
}
