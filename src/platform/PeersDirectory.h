#pragma once

#include <string>
#include <vector>

// The pppd peers directory in use: /etc/ppp/peers, or the directory TREVALO_PEERS_DIR names.
const char* PeersDirectoryPath();

// Its peers: every regular file whose name does not start with "." (dialled with `pppd call NAME`).
std::vector<std::string> PeerNames();
