#pragma once

#include <platform/WinTypes.h>

#include <array>
#include <span>
#include <string>
#include <string_view>

// How a key's text and numbers are read from their stored bytes, whatever the stored type:
// text of at most 199 characters up to its first zero byte; a number of at most 4 bytes,
// little-endian, shorter data filling the low bytes. False when the data is too long.
bool TextFromData(std::span<const unsigned char> data, std::string& value);
bool DwordFromData(std::span<const unsigned char> data, DWORD& value);

class ConnectionProfile;

// Fills profiles from the values of RegQuerySubkeys, each read as CRegistryKey reads it from an
// open key and stored as ConnectionProfile::Load stores it; names compare without regard to ASCII case.
class CProfileValueTaker {
public:
    static constexpr std::size_t kValues = 7;
    // Every one of the seven values taken.
    static constexpr unsigned kAll = (1u << kValues) - 1;

    CProfileValueTaker();

    // The bit of the value `name` that it fills in `profile`: 0 when it is none of the seven or
    // its data cannot be read.
    unsigned Take(ConnectionProfile& profile, std::string_view name, std::span<const unsigned char> data);

private:
    // The place of `name` among the seven, or kValues.
    std::size_t Find(std::string_view name) const;

    // Empty where the string table lacks a name: that value is then never taken.
    std::array<std::string_view, kValues> m_names;
    std::size_t m_next = 0;
};
