#pragma once

#include <string>
#include <string_view>
#include <vector>

// The names of the regular files in `directory` that end in `suffix`, the suffix cut off, in byte
// order. Names starting with "." are skipped, and so is anything that is not a regular file (a
// link to one counts). A missing or unreadable directory has none.
std::vector<std::string> EntryFiles(const std::string& directory, std::string_view suffix);
