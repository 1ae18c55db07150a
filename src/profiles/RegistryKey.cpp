#include "RegistryKey.h"

#include <framework/StringTable.h>

CRegistryKey::CRegistryKey(unsigned pathId) : CRegistryKeyBase(HKEY_LOCAL_MACHINE)
{
    OpenPath(pathId, {});
}

CRegistryKey::CRegistryKey(unsigned pathId, const std::string& subkey) : CRegistryKeyBase(HKEY_LOCAL_MACHINE)
{
    OpenPath(pathId, subkey);
}

void CRegistryKey::OpenPath(unsigned pathId, const std::string& subkey)
{
    std::string path;
    if (!LoadString(pathId, path))
        return;
    // The stored paths end with a backslash, so the subkey name follows directly.
    path += subkey;
    m_bOpen = Open(HKEY_LOCAL_MACHINE, path) || Create(HKEY_LOCAL_MACHINE, path);
}

bool CRegistryKey::ValueName(unsigned nameId, std::string& name) const
{
    return m_bOpen && LoadString(nameId, name);
}

bool CRegistryKey::ReadString(unsigned nameId, std::string& value)
{
    std::string name;
    return ValueName(nameId, name) && QueryString(name, value);
}

bool CRegistryKey::ReadDword(unsigned nameId, DWORD& value)
{
    std::string name;
    return ValueName(nameId, name) && QueryDword(name, value);
}

bool CRegistryKey::WriteString(unsigned nameId, const std::string& value)
{
    std::string name;
    return ValueName(nameId, name) && SetString(name, value);
}

bool CRegistryKey::WriteDword(unsigned nameId, DWORD value)
{
    std::string name;
    return ValueName(nameId, name) && SetDword(name, value);
}

bool CRegistryKey::EnumSubkeys(std::vector<std::string>& names)
{
    if (!m_bOpen) {
        names.clear();
        return false;
    }
    return CRegistryKeyBase::EnumSubkeys(names);
}
