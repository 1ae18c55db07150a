#pragma once

#include "Registry.h"

#include <functional>
#include <string>
#include <vector>

// A key's subkeys with their values in one read, for a caller that wants them all (the profile
// list): one query instead of an open and a query per value, and no copy of them all at once.
struct RegValue {
    std::string name;
    DWORD type = 0;
    std::vector<unsigned char> data;
};

struct RegSubkey {
    std::string name;
    std::vector<RegValue> values;
};

// Calls `each` with every subkey of `key` in RegEnumKeyEx order, holding what RegEnumValue gives
// for it (the values in no set order), until `each` returns false. The subkey lasts only for the
// call, and `each` must not change the registry: the read is still going on. Needs the rights
// of both calls.
LSTATUS RegQuerySubkeys(HKEY key, const std::function<bool(const RegSubkey&)>& each);
