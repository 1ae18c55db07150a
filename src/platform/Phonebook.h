#pragma once

#include "WinTypes.h"

#include <chrono>
#include <string>
#include <vector>

// The phonebook: the names of the pppd peers, the OpenVPN client configurations and the
// NetworkManager connections a login applies to, together. A name found in more than one of them
// is one entry; entries are listed in byte order. A name longer than a record holds, or with a
// control character or a bidirectional control in it, is left out.

inline constexpr DWORD RAS_MaxEntryName = 256;

// The 264-byte record of one entry: the caller sets dwSize to sizeof(RASENTRYNAME).
struct RASENTRYNAME {
    DWORD dwSize;
    char szEntryName[RAS_MaxEntryName + 1];
};
static_assert(sizeof(RASENTRYNAME) == 264);

// Fills `entries` (a buffer of `*bytes` bytes) with one record per entry and sets `*count`.
// When the buffer is too small: ERROR_BUFFER_TOO_SMALL, with the needed byte count in `*bytes` and
// the number of entries in `*count`. A missing directory has no entries. `reserved` and
// `phonebook` must be null (the default phonebook). ERROR_INVALID_SIZE when the first record's
// dwSize is not 264.
DWORD RasEnumEntries(const char* reserved, const char* phonebook, RASENTRYNAME* entries, DWORD* bytes, DWORD* count);

// A folder the phonebook reads its entries from that exists but cannot be read (the reason an
// errno value), so that its entries are missing from the list.
struct UnreadableFolder {
    std::string path;
    int error;
};
// The pppd peers folder and the OpenVPN client configurations folder, when they are such.
std::vector<UnreadableFolder> UnreadablePhonebookFolders();

// The clock that times how long a sizing call's names are kept (under a second); null for the
// steady clock. For tests, which cannot wait on the real one without being slow or flaky.
using PhonebookClock = std::chrono::steady_clock::time_point (*)();
void SetPhonebookClock(PhonebookClock clock);
