#pragma once

#include <platform/WinTypes.h>

#include <string>
#include <vector>

// What the registry tool moves between the hive and .reg files. Paths are below
// HKEY_LOCAL_MACHINE, without a leading or trailing backslash.
struct RegValue {
    std::string name;
    DWORD type = 0;
    std::vector<unsigned char> data;
};

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
