#pragma once

#include <cstddef>
#include <string>
#include <string_view>

// How deep a key can be, as in the Windows registry: 512 names below the root.
inline constexpr std::size_t kMaxKeyDepth = 512;

// Turns a key as written by a user or in a .reg file ("HKEY_LOCAL_MACHINE\A\B", "HKLM\A\B")
// into the path below the root ("A\B"). False for another root or an empty or over-long name.
bool ParseKeyArgument(std::string_view text, std::string& path);

// The full name of a path below the root, as the tool prints and exports it.
std::string FullKeyName(const std::string& path);

// Why the key at `path` (below the root) may not be added, imported or exported, or "" when it
// may: the key is deeper than kMaxKeyDepth, or one of its names holds a line break (CR or LF). A
// key line in a .reg file has no escapes (backslashes separate the names and every other character
// stands for itself in files read so far), so a line break there could not be written and read back.
std::string KeyPathFault(std::string_view path);
