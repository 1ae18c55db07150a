#include "Phonebook.h"

#include "NetworkManagerConnections.h"
#include "OpenVpnDirectory.h"
#include "PeersDirectory.h"

#include <ShownText.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstring>
#include <dirent.h>
#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace {

std::vector<std::string> EntryNames()
{
    std::vector<std::string> names = PeerNames();
    for (const std::vector<std::string>& source : {OpenVpnClientNames(), NetworkManagerConnectionNames()})
        names.insert(names.end(), source.begin(), source.end());
    // A connection's name may be longer than a record holds; cut short it would name nothing. A
    // name with a control character or a bidirectional control would not show as it is in the
    // lists (after U+202E the rest shows reversed), so it is left out too.
    std::erase_if(
        names, [](const std::string& name) { return name.size() > RAS_MaxEntryName || ShownText::HasControls(name); });
    std::sort(names.begin(), names.end());
    names.erase(std::unique(names.begin(), names.end()), names.end());
    return names;
}

// The names a call read but had no room for, kept for the caller's next call with room: the two
// calls of one listing then read the sources once (NetworkManager costs a round of D-Bus calls
// per connection) and agree on the count. Kept briefly, so a later listing reads afresh.
struct UnsentNames {
    std::vector<std::string> names;
    std::chrono::steady_clock::time_point readAt;
};
std::optional<UnsentNames> g_unsent; // the phonebook is read on one thread
constexpr auto kUnsentKeptFor = std::chrono::seconds(1);
PhonebookClock g_clock = nullptr;

std::chrono::steady_clock::time_point Now()
{
    return g_clock ? g_clock() : std::chrono::steady_clock::now();
}

std::vector<std::string> NamesForRoom(DWORD bytes)
{
    std::optional<UnsentNames> unsent = std::exchange(g_unsent, std::nullopt);
    if (unsent && Now() - unsent->readAt < kUnsentKeptFor && bytes >= unsent->names.size() * sizeof(RASENTRYNAME))
        return std::move(unsent->names);
    return EntryNames();
}

} // namespace

DWORD RasEnumEntries(const char* reserved, const char* phonebook, RASENTRYNAME* entries, DWORD* bytes, DWORD* count)
{
    if (reserved != nullptr || phonebook != nullptr || entries == nullptr || bytes == nullptr || count == nullptr)
        return ERROR_INVALID_PARAMETER;
    if (entries->dwSize != sizeof(RASENTRYNAME))
        return ERROR_INVALID_SIZE;
    std::vector<std::string> names = NamesForRoom(*bytes);
    const DWORD needed = static_cast<DWORD>(names.size() * sizeof(RASENTRYNAME));
    *count = static_cast<DWORD>(names.size());
    if (*bytes < needed) {
        *bytes = needed;
        g_unsent = UnsentNames{std::move(names), Now()};
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

void SetPhonebookClock(PhonebookClock clock)
{
    g_clock = clock;
}

std::vector<UnreadableFolder> UnreadablePhonebookFolders()
{
    std::vector<UnreadableFolder> folders;
    for (const char* path : {PeersDirectoryPath(), OpenVpnDirectoryPath()}) {
        DIR* dir = ::opendir(path);
        if (dir != nullptr)
            ::closedir(dir);
        else if (errno != ENOENT)
            folders.push_back({path, errno});
    }
    return folders;
}
