#pragma once

#include <string>
#include <string_view>

struct stat;

// True when `path` names a regular file that can be opened for reading. A directory, a device or
// a file we may not read counts as missing.
bool FileExists(const std::string& path);

// The folder part of `path`: "." for a bare name, "/" for a name right under the root.
std::string DirectoryOf(const std::string& path);

// True when users other than this one can add, remove or rename files in `folder`: it is
// writable by its group or by others without the sticky bit (a sticky folder such as /tmp lets
// each user change only their own files), or it belongs to another user than this one and root.
bool OthersCanChangeFiles(const struct stat& folder);
// The same for the folder at `path`; false when it cannot be examined.
bool OthersCanChangeFilesIn(const std::string& folder);

// Renames `from` to `to`, replacing `to` atomically. Returns 0, or the errno of the failure.
int RenameFile(const std::string& from, const std::string& to);

// Creates every missing directory of `path` with mode 0700; existing ones keep their mode.
// Returns 0, or the errno of the failure.
int MakeDirectories(const std::string& path);

// The system's text for an error number.
std::string SystemErrorText(int errorNumber);
