#include "Phonebook.h"

#include "NetworkManagerConnections.h"
#include "OpenVpnDirectory.h"
#include "PeersDirectory.h"

#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

namespace {

std::vector<std::string> EntryNames()
{
    std::vector<std::string> names = PeerNames();
    for (const std::vector<std::string>& source : {OpenVpnClientNames(), NetworkManagerConnectionNames()})
        names.insert(names.end(), source.begin(), source.end());
    // A connection's name may be longer than a record holds; cut short it would name nothing.
    std::erase_if(names, [](const std::string& name) { return name.size() > RAS_MaxEntryName; });
    std::sort(names.begin(), names.end());
    names.erase(std::unique(names.begin(), names.end()), names.end());
    return names;
}

} // namespace

DWORD RasEnumEntries(const char* reserved, const char* phonebook, RASENTRYNAME* entries, DWORD* bytes, DWORD* count)
{
    if (reserved != nullptr || phonebook != nullptr || entries == nullptr || bytes == nullptr || count == nullptr)
        return ERROR_INVALID_PARAMETER;
    if (entries->dwSize != sizeof(RASENTRYNAME))
        return ERROR_INVALID_SIZE;
    const std::vector<std::string> names = EntryNames();
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
