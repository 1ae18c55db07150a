#pragma once

#include <string>
#include <string_view>

// Turns a key as written by a user or in a .reg file ("HKEY_LOCAL_MACHINE\A\B", "HKLM\A\B")
// into the path below the root ("A\B"). False for another root or an empty or over-long name.
bool ParseKeyArgument(std::string_view text, std::string& path);

// The full name of a path below the root, as the tool prints and exports it.
std::string FullKeyName(const std::string& path);
