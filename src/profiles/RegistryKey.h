#pragma once

#include "RegistryKeyBase.h"

#include <string>
#include <vector>

// A key below HKEY_LOCAL_MACHINE addressed by the string-table identifier of its path (which ends
// with a backslash), optionally followed by a subkey name. Construction creates the key when it
// is missing and opens it; value names are string-table identifiers too. A key that could not be
// opened fails every operation without touching the registry.
class CRegistryKey : public CRegistryKeyBase {
public:
    explicit CRegistryKey(unsigned pathId);
    CRegistryKey(unsigned pathId, const std::string& subkey);

    bool IsOpen() const { return m_bOpen; }

    bool ReadString(unsigned nameId, std::string& value);
    bool ReadDword(unsigned nameId, DWORD& value);
    bool WriteString(unsigned nameId, const std::string& value);
    bool WriteDword(unsigned nameId, DWORD value);
    bool EnumSubkeys(std::vector<std::string>& names);

private:
    void OpenPath(unsigned pathId, const std::string& subkey);
    bool ValueName(unsigned nameId, std::string& name) const;

    bool m_bOpen = false;
};
