#pragma once

#include <platform/Registry.h>

#include <string>
#include <vector>

// One registry key handle and the raw operations on it. Every key is opened with the rights to
// read, set values and create subkeys. Results are booleans; the platform's status, the value
// type and the data size of the last operation are kept for inspection.
class CRegistryKeyBase {
public:
    explicit CRegistryKeyBase(HKEY root);
    virtual ~CRegistryKeyBase();
    CRegistryKeyBase(const CRegistryKeyBase&) = delete;
    CRegistryKeyBase& operator=(const CRegistryKeyBase&) = delete;

    bool Open(HKEY parent, const std::string& path);
    bool Create(HKEY parent, const std::string& path);
    void Close();

    // Reads text of at most 199 characters (200 bytes with the terminator), up to its first zero
    // byte whatever the stored type; `value` keeps its content on failure.
    bool QueryString(const std::string& name, std::string& value);
    // Reads data of at most 4 bytes, little-endian, whatever the stored type; shorter data fills
    // the low bytes of a zeroed number. `value` keeps its content on failure.
    bool QueryDword(const std::string& name, DWORD& value);
    bool SetString(const std::string& name, const std::string& value);
    bool SetDword(const std::string& name, DWORD value);
    // Lists the subkey names in the order the registry gives them; always true.
    bool EnumSubkeys(std::vector<std::string>& names);
    bool DeleteSubkey(HKEY parent, const std::string& path);

    LSTATUS GetStatus() const { return m_lStatus; }
    DWORD GetValueType() const { return m_dwType; }
    DWORD GetDataSize() const { return m_dwSize; }
    HKEY GetHandle() const { return m_hKey; }
    const std::string& GetPath() const { return m_strPath; }

private:
    bool OpenedByUs() const;
    bool Query(const std::string& name, unsigned char* buffer, DWORD capacity);
    bool RecordKeyResult(LSTATUS status);

    LSTATUS m_lStatus = ERROR_SUCCESS;
    DWORD m_dwType = REG_NONE;
    DWORD m_dwSize = 0;
    HKEY m_hKey;
    HKEY m_hRoot;
    std::string m_strPath;
};
