#pragma once

#include "Registry.h"

#include <functional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

// A value as the registry holds it: its name as stored, its type and its bytes.
struct RegValue {
    std::string name;
    DWORD type = 0;
    std::vector<unsigned char> data;
};

// A key's subkeys with all their values in one read, for a caller that wants them all (the profile
// list): one pass over the subkeys and one over the values, instead of a lookup per value, and
// nothing copied that the caller does not keep.
struct RegValueView {
    std::string_view name;
    std::span<const unsigned char> data;
};

// Calls `subkey` with the name of every subkey of `key` in RegEnumKeyEx order, then `value` for
// every value of those subkeys with its subkey's place in that order (0 for the first). One
// subkey's values come in RegEnumValue order, but those of different subkeys may come mixed. The
// views last only for the call, and neither callback may change the registry: the read is still
// going on. Needs the rights of both calls.
LSTATUS RegQuerySubkeys(HKEY key, const std::function<void(std::string_view name)>& subkey,
                        const std::function<void(std::size_t place, const RegValueView& value)>& value);
