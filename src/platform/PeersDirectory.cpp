#include "PeersDirectory.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <dirent.h>
#include <string>
#include <sys/stat.h>
#include <vector>

namespace {

bool IsEntry(const std::string& directory, const dirent* item)
{
    // A file name (at most NAME_MAX, 255 bytes) always fits the record's 256 characters.
    if (item->d_name[0] == '.')
        return false;
    struct stat info {};
    // stat, not lstat: a link to a peer file is a peer.
    return ::stat((directory + "/" + item->d_name).c_str(), &info) == 0 && S_ISREG(info.st_mode);
}

std::vector<std::string> PeerNames()
{
    const std::string directory = PeersDirectoryPath();
    std::vector<std::string> names;
    DIR* dir = ::opendir(directory.c_str());
    if (dir == nullptr)
        return names;
    while (const dirent* item = ::readdir(dir))
        if (IsEntry(directory, item))
            names.emplace_back(item->d_name);
    ::closedir(dir);
    std::sort(names.begin(), names.end());
    return names;
}

} // namespace

const char* PeersDirectoryPath()
{
    const char* configured = std::getenv("TREVALO_PEERS_DIR");
    return configured && *configured ? configured : "/etc/ppp/peers";
}

DWORD RasEnumEntries(const char* reserved, const char* phonebook, RASENTRYNAME* entries, DWORD* bytes, DWORD* count)
{
    if (reserved != nullptr || phonebook != nullptr || entries == nullptr || bytes == nullptr || count == nullptr)
        return ERROR_INVALID_PARAMETER;
    if (entries->dwSize != sizeof(RASENTRYNAME))
        return ERROR_INVALID_SIZE;
    const std::vector<std::string> names = PeerNames();
    const DWORD needed = static_cast<DWORD>(names.size() * sizeof(RASENTRYNAME));
    *count = static_cast<DWORD>(names.size());
    if (*bytes < needed) {
        *bytes = needed;
        return ERROR_BUFFER_TOO_SMALL;
    }
    *bytes = needed;
    for (std::size_t i = 0; i < names.size(); ++i) {
        RASENTRYNAME& record = entries[i];
        std::memset(&record, 0, sizeof record);
        record.dwSize = sizeof(RASENTRYNAME);
        std::memcpy(record.szEntryName, names[i].c_str(), names[i].size() + 1);
    }
    return ERROR_SUCCESS;
}
