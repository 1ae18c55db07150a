#pragma once

#include "Registry.h"

#include <string>
#include <vector>

// A key's subkeys with their values in one read, for a caller that wants them all (the profile
// list): one query instead of an open and a query per value.
struct RegValue {
    std::string name;
    DWORD type = 0;
    std::vector<unsigned char> data;
};

struct RegSubkey {
    std::string name;
    std::vector<RegValue> values;
};

// Every subkey of `key` in RegEnumKeyEx order, each with what RegEnumValue gives for it (the
// values in no set order). Needs the rights of both calls.
LSTATUS RegQuerySubkeys(HKEY key, std::vector<RegSubkey>& subkeys);
