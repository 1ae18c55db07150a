#pragma once

#include <string>

// True when `path` names a regular file that can be opened for reading. A directory, a device or
// a file we may not read counts as missing.
bool FileExists(const std::string& path);

// Renames `from` to `to`, replacing `to` atomically. Returns 0, or the errno of the failure.
int RenameFile(const std::string& from, const std::string& to);

// The system's text for an error number.
std::string SystemErrorText(int errorNumber);
