#pragma once

#include <string>
#include <string_view>

// The folder part of `path`: "." for a bare name, "/" for a name right under the root.
std::string DirectoryOf(const std::string& path);
// The last component of `path`: the whole path for a bare name, "" when it ends in "/".
std::string NameOf(const std::string& path);

// Creates every missing directory of `path` with mode 0700; existing ones keep their mode.
// Returns 0, or the errno of the failure.
int MakeDirectories(const std::string& path);

// The system's text for an error number.
std::string SystemErrorText(int errorNumber);
