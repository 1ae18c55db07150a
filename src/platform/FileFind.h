#pragma once

#include <string>

// True when `pattern` names an existing entry of any kind (file, directory, link, device), or
// when it holds the wildcards "*" or "?" and matches at least one entry.
bool FindFile(const std::string& pattern);
