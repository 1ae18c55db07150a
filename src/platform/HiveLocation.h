#pragma once

#include "WinTypes.h"

#include <string>

// Where the registry hive lives: $XDG_CONFIG_HOME/trevalo/registry.db, or ~/.config/trevalo/registry.db
// when XDG_CONFIG_HOME is unset, empty or relative.
std::string RegistryHivePath();

// Where the run journal lives: $XDG_DATA_HOME/trevalo/run-journal, or
// ~/.local/share/trevalo/run-journal when XDG_DATA_HOME is unset, empty or relative.
std::string RunJournalPath();

// Makes sure the hive file exists, creating its directory (0700) and an empty file (0600) when
// missing. An existing file is never touched. ERROR_SUCCESS, or ERROR_ACCESS_DENIED when the
// directory or file cannot be created.
LSTATUS EnsureHiveFile(const std::string& path);
