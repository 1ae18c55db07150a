#include "PrivateNetworkManager.h"

#include "NetworkNamespace.h"
#include "PrivateBus.h"
#include "TempDir.h"

#include <cstdlib>
#include <filesystem>
#include <unistd.h>

namespace {

const std::string kBusDaemon = "/usr/bin/dbus-daemon";
const std::string kBusSend = "/usr/bin/dbus-send";
const std::string kNetworkManager = "/usr/sbin/NetworkManager";

std::string NetworkManagerConfiguration(const std::string& keyfiles)
{
    return "[main]\nplugins=keyfile\ndns=none\nrc-manager=unmanaged\nauth-polkit=false\nno-auto-default=*\n"
           "[connectivity]\nenabled=false\n[keyfile]\npath=" +
           keyfiles + "\n";
}

} // namespace

bool PrivateNetworkManager::Usable()
{
    return ::geteuid() == 0 && ::access(kBusDaemon.c_str(), X_OK) == 0 && ::access(kBusSend.c_str(), X_OK) == 0 &&
           ::access(kNetworkManager.c_str(), X_OK) == 0;
}

PrivateNetworkManager::PrivateNetworkManager(const NetworkNamespace& ns, const std::string& directory,
                                             const std::map<std::string, std::string>& keyfiles)
    : m_directory(directory)
{
    std::filesystem::create_directories(m_directory + "/keyfiles");
    for (const auto& [name, content] : keyfiles) {
        const std::string path = m_directory + "/keyfiles/" + name + ".nmconnection";
        WriteFile(path, content);
        std::filesystem::permissions(path, std::filesystem::perms::owner_read | std::filesystem::perms::owner_write);
    }
    WriteFile(m_directory + "/bus.conf", SystemBusConfiguration(m_directory + "/system_bus_socket"));
    m_bus.emplace(m_directory + "/bus.conf", "DBUS_SYSTEM_BUS_ADDRESS");
    if (m_bus->Started())
        StartNetworkManager(ns);
}

// `ip netns exec` gives it a mount namespace too. There its run and state directories, which no
// option moves, are fresh and gone with it; a read-only /sys tells it that no udev runs, so it
// manages the namespace's devices at once; and the plugins' helpers, which openvpn starts with
// a clean environment, find the bus at the standard path.
void PrivateNetworkManager::StartNetworkManager(const NetworkNamespace& ns)
{
    const std::string& d = m_directory;
    WriteFile(d + "/NetworkManager.conf", NetworkManagerConfiguration(d + "/keyfiles"));
    std::filesystem::create_directory(d + "/conf.d");
    m_networkManager.emplace(
        ns.Inside({"/bin/sh", "-c",
                   "mount -t tmpfs none /run && mount -t tmpfs none /var/lib/NetworkManager && "
                   "mount -o remount,ro /sys && mkdir /run/dbus && ln -s \"$0\" /run/dbus/system_bus_socket && "
                   "exec \"$@\"",
                   d + "/system_bus_socket", kNetworkManager, "--no-daemon", "--config=" + d + "/NetworkManager.conf",
                   "--config-dir=" + d + "/conf.d", "--system-config-dir=" + d + "/conf.d",
                   "--intern-config=" + d + "/nm-intern.conf", "--state-file=" + d + "/nm.state",
                   "--pid-file=" + d + "/nm.pid"}));
    m_answering = WaitUntilAnswering({kBusSend, "--system", "--print-reply", "--dest=org.freedesktop.NetworkManager",
                                      "/org/freedesktop/NetworkManager/Settings",
                                      "org.freedesktop.NetworkManager.Settings.ListConnections"});
}
