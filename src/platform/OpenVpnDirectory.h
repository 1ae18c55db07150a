#pragma once

#include <string>
#include <vector>

// The OpenVPN client configurations directory in use: /etc/openvpn/client, or the directory
// TREVALO_OPENVPN_DIR names.
const char* OpenVpnDirectoryPath();

// Its client configurations: every regular file NAME.conf whose name does not start with ".",
// listed as NAME.
std::vector<std::string> OpenVpnClientNames();
