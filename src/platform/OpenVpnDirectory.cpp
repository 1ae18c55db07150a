#include "OpenVpnDirectory.h"

#include "EntryFiles.h"

#include <cstdlib>

const char* OpenVpnDirectoryPath()
{
    const char* configured = std::getenv("TREVALO_OPENVPN_DIR");
    return configured && *configured ? configured : "/etc/openvpn/client";
}

std::vector<std::string> OpenVpnClientNames()
{
    return EntryFiles(OpenVpnDirectoryPath(), ".conf");
}
