// The phonebook read from a real NetworkManager: one of the test's own, on a private system bus,
// inside a network namespace of its own so it touches no interface of the machine, reading its
// connections from keyfiles in the test's directory and never checking connectivity.

#include "RecordingCombo.h"

#include <profiles/PhonebookEntries.h>

#include <ChildProcess.h>
#include <NetworkNamespace.h>
#include <TempDir.h>

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <optional>
#include <regex>
#include <string>
#include <unistd.h>
#include <vector>

namespace {

const std::string kIp = "/sbin/ip";
const std::string kBusDaemon = "/usr/bin/dbus-daemon";
const std::string kBusSend = "/usr/bin/dbus-send";
const std::string kNetworkManager = "/usr/sbin/NetworkManager";

// The machine's system bus configuration, listening on `socket` instead, staying in the
// foreground as the user who starts it, and starting no services.
std::string PrivateBusConfiguration(const std::string& socket)
{
    std::string config = ReadFile("/usr/share/dbus-1/system.conf");
    config =
        std::regex_replace(config, std::regex("<listen>[^<]*</listen>"), "<listen>unix:path=" + socket + "</listen>");
    config = std::regex_replace(config, std::regex("<(fork|syslog|standard_system_servicedirs)/>"), "");
    config = std::regex_replace(config, std::regex("<(user|pidfile|servicehelper)>[^<]*</\\w+>"), "");
    return std::regex_replace(config, std::regex("<includedir>system.d</includedir>"),
                              "<includedir>/usr/share/dbus-1/system.d</includedir>");
}

std::string NetworkManagerConfiguration(const std::string& keyfiles)
{
    return R"([main]
plugins=keyfile
dns=none
rc-manager=unmanaged
auth-polkit=false
[connectivity]
enabled=false
[keyfile]
path=)" + keyfiles +
           "\n";
}

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
};

class NetworkManagerPhonebook : public testing::Test {
protected:
    void SetUp() override
    {
        if (::geteuid() != 0)
            GTEST_SKIP() << "starting NetworkManager in a network namespace needs root";
        for (const std::string& program : {kIp, kBusDaemon, kBusSend, kNetworkManager})
            if (::access(program.c_str(), X_OK) != 0)
                GTEST_SKIP() << program << " is not installed";
        m_namespace.emplace();
        if (!m_namespace->Made())
            GTEST_SKIP() << "no network namespace can be made here";
        ASSERT_NO_FATAL_FAILURE(StartBus());
        ASSERT_NO_FATAL_FAILURE(StartNetworkManager());
    }

    TempDir m_dir;

private:
    void StartBus()
    {
        WriteFile(m_dir.File("bus.conf"), PrivateBusConfiguration(m_dir.File("system_bus_socket")));
        m_bus.emplace(std::vector<std::string>{kBusDaemon, "--config-file=" + m_dir.File("bus.conf"), "--nofork",
                                               "--print-address"});
        std::string address;
        ASSERT_TRUE(m_bus->ReadLine(address)) << "the private system bus did not start";
        ::setenv("DBUS_SYSTEM_BUS_ADDRESS", address.c_str(), 1);
    }

    void StartNetworkManager()
    {
        std::filesystem::create_directory(m_dir.File("keyfiles"));
        std::filesystem::create_directory(m_dir.File("nm.conf.d"));
        int number = 0;
        for (const Connection& connection : kConnections) {
            // NetworkManager ignores a keyfile that others may read.
            const std::string path = m_dir.File("keyfiles/" + std::to_string(++number) + ".nmconnection");
            WriteFile(path, "[connection]\nid=" + connection.id + "\ntype=" + connection.type +
                                "\nautoconnect=false\n" + connection.settings);
            std::filesystem::permissions(path,
                                         std::filesystem::perms::owner_read | std::filesystem::perms::owner_write);
        }
        WriteFile(m_dir.File("NetworkManager.conf"), NetworkManagerConfiguration(m_dir.File("keyfiles")));
        // `ip netns exec` gives it a mount namespace too: there its run and state directories, which
        // no option moves, are fresh and gone with it.
        m_networkManager.emplace(m_namespace->Inside(
            {"/bin/sh", "-c",
             "mount -t tmpfs none /run && mount -t tmpfs none /var/lib/NetworkManager && exec \"$@\"", "sh",
             kNetworkManager, "--debug", "--config=" + m_dir.File("NetworkManager.conf"),
             "--config-dir=" + m_dir.File("nm.conf.d"), "--system-config-dir=" + m_dir.File("nm.conf.d"),
             "--intern-config=" + m_dir.File("nm-intern.conf"), "--state-file=" + m_dir.File("nm.state"),
             "--pid-file=" + m_dir.File("nm.pid")}));
        ASSERT_TRUE(WaitUntilAnswering({kBusSend, "--system", "--print-reply", "--dest=org.freedesktop.NetworkManager",
                                        "/org/freedesktop/NetworkManager/Settings",
                                        "org.freedesktop.NetworkManager.Settings.ListConnections"}))
            << "NetworkManager did not answer on the private bus";
    }

    // Ended in this order: NetworkManager, the bus, then the namespace goes.
    std::optional<NetworkNamespace> m_namespace;
    std::optional<ChildProcess> m_bus;
    std::optional<ChildProcess> m_networkManager;
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
    EXPECT_EQ((std::vector<std::string>{"reset", "Dial-up", "Mobile", "Office VPN", "branch"}), combo.calls);
}
