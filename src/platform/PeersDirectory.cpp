#include "PeersDirectory.h"

#include "EntryFiles.h"

#include <cstdlib>

const char* PeersDirectoryPath()
{
    const char* configured = std::getenv("TREVALO_PEERS_DIR");
    return configured && *configured ? configured : "/etc/ppp/peers";
}

std::vector<std::string> PeerNames()
{
    return EntryFiles(PeersDirectoryPath(), "");
}
