#pragma once

#include "ChildProcess.h"
#include "PrivateBus.h"

#include <map>
#include <optional>
#include <string>

class NetworkNamespace;

// A NetworkManager of the test's own, with Debian's VPN plugins: on a private system bus (which
// DBUS_SYSTEM_BUS_ADDRESS then names), inside the given network namespace so that it touches no
// interface of the machine, reading its connections from keyfiles below `directory` and never
// checking connectivity. Needs root. NetworkManager ends first, then the bus.
class PrivateNetworkManager {
public:
    // Root, and NetworkManager and the bus installed: what the tests skip without.
    static bool Usable();

    // `keyfiles`: connection file name (without .nmconnection) and its content. The directory
    // must be root's alone: NetworkManager ignores a keyfile that others may read.
    PrivateNetworkManager(const NetworkNamespace& ns, const std::string& directory,
                          const std::map<std::string, std::string>& keyfiles);
    // False when NetworkManager did not answer on the bus within ten seconds.
    bool Answering() const { return m_answering; }

private:
    void StartNetworkManager(const NetworkNamespace& ns);

    std::string m_directory;
    std::optional<PrivateBus> m_bus;
    std::optional<ChildProcess> m_networkManager;
    bool m_answering = false;
};
