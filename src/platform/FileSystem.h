#pragma once

#include <string>
#include <string_view>

// True when `path` names a regular file that can be opened for reading. A directory, a device or
// a file we may not read counts as missing.
bool FileExists(const std::string& path);

// Renames `from` to `to`, replacing `to` atomically. Returns 0, or the errno of the failure.
int RenameFile(const std::string& from, const std::string& to);

// Creates every missing directory of `path` with mode 0700; existing ones keep their mode.
// Returns 0, or the errno of the failure.
int MakeDirectories(const std::string& path);

// Replaces the file at `path` by one holding `content` (mode 0600), so that after a crash the
// path holds either the old or the new content, never a part. The new file is written and
// synced under an unpredictable name in the same directory, renamed over `path`, and the
// directory is synced. Returns 0 once that is done, or the errno of the failure.
int ReplaceFileAtomically(const std::string& path, std::string_view content);

// The system's text for an error number.
std::string SystemErrorText(int errorNumber);
