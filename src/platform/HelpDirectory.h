#pragma once

#include <filesystem>

// Where the help books are: share/trevalo/help beside the program's bin directory (the build tree,
// or an installed tree), else `installedDirectory`.
std::filesystem::path FindHelpDirectory(const std::filesystem::path& programDirectory,
                                        const std::filesystem::path& installedDirectory);
