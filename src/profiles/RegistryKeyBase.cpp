#include "RegistryKeyBase.h"

#include "RegistryValues.h"

#include <array>

namespace {

constexpr REGSAM kAccess = KEY_READ | KEY_SET_VALUE | KEY_CREATE_SUB_KEY;
constexpr DWORD kStringBufferSize = 200;
constexpr DWORD kNameBufferSize = 4096;

} // namespace

CRegistryKeyBase::CRegistryKeyBase(HKEY root) : m_hKey(root), m_hRoot(root) {}

CRegistryKeyBase::~CRegistryKeyBase()
{
    Close();
}

bool CRegistryKeyBase::OpenedByUs() const
{
    return m_hKey != nullptr && m_hKey != m_hRoot;
}

bool CRegistryKeyBase::RecordKeyResult(LSTATUS status)
{
    m_lStatus = status;
    m_dwType = REG_NONE;
    m_dwSize = 0;
    return status == ERROR_SUCCESS;
}

bool CRegistryKeyBase::Open(HKEY parent, const std::string& path)
{
    HKEY opened = nullptr;
    if (!RecordKeyResult(RegOpenKeyEx(parent, path.c_str(), kAccess, &opened)))
        return false;
    Close();
    m_hKey = opened;
    m_strPath = path;
    return true;
}

bool CRegistryKeyBase::Create(HKEY parent, const std::string& path)
{
    HKEY created = nullptr;
    if (!RecordKeyResult(RegCreateKeyEx(parent, path.c_str(), kAccess, &created, nullptr)))
        return false;
    Close();
    m_hKey = created;
    m_strPath = path;
    return true;
}

void CRegistryKeyBase::Close()
{
    if (OpenedByUs())
        RegCloseKey(m_hKey);
    m_hKey = nullptr;
}

bool CRegistryKeyBase::Query(const std::string& name, unsigned char* buffer, DWORD capacity)
{
    m_dwSize = capacity;
    m_dwType = REG_NONE;
    m_lStatus = RegQueryValueEx(m_hKey, name.c_str(), &m_dwType, buffer, &m_dwSize);
    return m_lStatus == ERROR_SUCCESS;
}

bool CRegistryKeyBase::QueryString(const std::string& name, std::string& value)
{
    std::array<unsigned char, kStringBufferSize> buffer{};
    if (!Query(name, buffer.data(), kStringBufferSize))
        return false;
    return TextFromData({buffer.data(), m_dwSize}, value);
}

bool CRegistryKeyBase::QueryDword(const std::string& name, DWORD& value)
{
    std::array<unsigned char, 4> buffer{};
    if (!Query(name, buffer.data(), 4))
        return false;
    return DwordFromData({buffer.data(), m_dwSize}, value);
}

bool CRegistryKeyBase::SetString(const std::string& name, const std::string& value)
{
    m_dwType = REG_SZ;
    m_dwSize = static_cast<DWORD>(value.size() + 1);
    m_lStatus = RegSetValueEx(m_hKey, name.c_str(), REG_SZ, reinterpret_cast<const unsigned char*>(value.c_str()),
                              m_dwSize);
    return m_lStatus == ERROR_SUCCESS;
}

bool CRegistryKeyBase::SetDword(const std::string& name, DWORD value)
{
    const std::array<unsigned char, 4> bytes{static_cast<unsigned char>(value), static_cast<unsigned char>(value >> 8),
                                             static_cast<unsigned char>(value >> 16),
                                             static_cast<unsigned char>(value >> 24)};
    m_dwType = REG_DWORD;
    m_dwSize = 4;
    m_lStatus = RegSetValueEx(m_hKey, name.c_str(), REG_DWORD, bytes.data(), 4);
    return m_lStatus == ERROR_SUCCESS;
}

bool CRegistryKeyBase::EnumSubkeys(std::vector<std::string>& names)
{
    names.clear();
    std::array<char, kNameBufferSize> name{};
    for (DWORD index = 0;; ++index) {
        DWORD length = kNameBufferSize;
        if (RegEnumKeyEx(m_hKey, index, name.data(), &length) != ERROR_SUCCESS)
            return true;
        names.emplace_back(name.data(), length);
    }
}

bool CRegistryKeyBase::DeleteSubkey(HKEY parent, const std::string& path)
{
    return RecordKeyResult(RegDeleteKey(parent, path.c_str()));
}
