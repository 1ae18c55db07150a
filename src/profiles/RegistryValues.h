#pragma once

#include <platform/RegistrySubkeys.h>

#include <span>
#include <string>
#include <vector>

// How a key's text and numbers are read from their stored bytes, whatever the stored type:
// text of at most 199 characters up to its first zero byte; a number of at most 4 bytes,
// little-endian, shorter data filling the low bytes. False when the data is too long.
bool TextFromData(std::span<const unsigned char> data, std::string& value);
bool DwordFromData(std::span<const unsigned char> data, DWORD& value);

// One subkey's values from RegQuerySubkeys, read by string-table name as CRegistryKey reads
// them from an open key: names compare without regard to ASCII case; `value` keeps its content
// on failure.
class CSubkeyValues {
public:
    explicit CSubkeyValues(const std::vector<RegValue>& values) : m_values(values) {}

    bool ReadString(unsigned nameId, std::string& value) const;
    bool ReadDword(unsigned nameId, DWORD& value) const;

private:
    const RegValue* Find(unsigned nameId) const;

    const std::vector<RegValue>& m_values;
};
