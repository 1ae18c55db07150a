#pragma once

#include "RegData.h"

#include <string>
#include <vector>

// Whole-key work for the registry tool on top of the registry calls. Paths are below
// HKEY_LOCAL_MACHINE; results are the registry's status numbers.

// The key at `path` and every key below it, each followed by its subkeys (depth first), values in
// their stored order.
LSTATUS ReadKeyTree(const std::string& path, std::vector<RegKeyRecord>& keys);
// The values of one key and the names of its subkeys.
LSTATUS ReadKey(const std::string& path, std::vector<RegValue>& values, std::vector<std::string>& subkeys);
LSTATUS CreateKey(const std::string& path);
LSTATUS SetValue(const std::string& path, const RegValue& value);
LSTATUS DeleteValue(const std::string& path, const std::string& name);
// Deletes the key with everything below it, in one transaction.
LSTATUS DeleteKeyTree(const std::string& path);
// Applies `operations` in one transaction: all or none. On failure `failedLine` is the line of
// the operation that failed.
LSTATUS ApplyOperations(const std::vector<RegFileOperation>& operations, int& failedLine);
