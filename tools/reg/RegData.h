#pragma once

#include <platform/RegistrySubkeys.h> // RegValue

#include <string>
#include <vector>

// What the registry tool moves between the hive and .reg files. Paths are below
// HKEY_LOCAL_MACHINE, without a leading or trailing backslash.

struct RegKeyRecord {
    std::string path;
    std::vector<RegValue> values;
};

struct RegFileOperation {
    enum class Kind { CreateKey, DeleteKey, SetValue, DeleteValue };
    Kind kind = Kind::CreateKey;
    int line = 0;
    std::string path;
    RegValue value;
};

inline constexpr const char* kRootName = "HKEY_LOCAL_MACHINE";
