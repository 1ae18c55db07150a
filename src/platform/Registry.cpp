#include "Registry.h"

#include "HiveLocation.h"
#include "RegistryHive.h"
#include "RegistrySubkeys.h"

#include <cstring>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

struct HKEY__ {
    std::shared_ptr<CRegistryHive> hive;
    CRegistryHive::KeyId id = 0;
    REGSAM access = 0;
    // Where the last RegEnumKeyEx stopped, so listing all subkeys in turn stays linear; valid
    // only while the hive is as it was then.
    bool cursorValid = false;
    DWORD cursorIndex = 0;
    std::string cursorFolded;
    CRegistryHive::Version cursorVersion;
};

namespace {

HKEY__ g_localMachine;

constexpr REGSAM kWriteRights = KEY_SET_VALUE | KEY_CREATE_SUB_KEY;

// One connection per process, reopened when the hive's location changes or its file is removed
// or replaced (writes to a removed file would be lost).
std::shared_ptr<CRegistryHive>& CachedHive()
{
    static std::shared_ptr<CRegistryHive> hive;
    return hive;
}

std::shared_ptr<CRegistryHive> SharedHive(LSTATUS& status)
{
    auto& cached = CachedHive();
    const std::string path = RegistryHivePath();
    status = ERROR_SUCCESS;
    if (!cached || cached->Path() != path || !cached->StillAtPath())
        cached = CRegistryHive::Open(path, status);
    return cached;
}

struct Resolved {
    std::shared_ptr<CRegistryHive> hive;
    CRegistryHive::KeyId id = 0;
    REGSAM access = 0;
};

// With `mustExist` false the caller tells a deleted key apart itself, saving a lookup.
LSTATUS Resolve(HKEY key, Resolved& resolved, bool mustExist = true)
{
    if (key == nullptr)
        return ERROR_INVALID_HANDLE;
    if (key == HKEY_LOCAL_MACHINE) {
        LSTATUS status = ERROR_SUCCESS;
        resolved = {SharedHive(status), CRegistryHive::kRootKey, KEY_READ | kWriteRights};
        return status;
    }
    if (mustExist && !key->hive->KeyExists(key->id))
        return ERROR_KEY_DELETED;
    resolved = {key->hive, key->id, key->access};
    return ERROR_SUCCESS;
}

// Splits a path at backslashes. One trailing backslash is allowed (our key paths end with one);
// empty or over-long names are not.
bool SplitPath(const char* path, std::vector<std::string_view>& names)
{
    names.clear();
    std::string_view rest = path ? path : "";
    if (!rest.empty() && rest.back() == '\\')
        rest.remove_suffix(1);
    if (rest.empty())
        return path == nullptr || path[0] == '\0';
    for (;;) {
        const std::size_t slash = rest.find('\\');
        const std::string_view name = rest.substr(0, slash);
        if (name.empty() || name.size() > kMaxKeyNameLength)
            return false;
        names.push_back(name);
        if (slash == std::string_view::npos)
            return true;
        rest.remove_prefix(slash + 1);
    }
}

// The key of all names but the last comes from the hive's path cache when it can, so opening
// many keys below one parent costs one lookup each.
LSTATUS FindPath(CRegistryHive& hive, CRegistryHive::KeyId from, const std::vector<std::string_view>& names,
                 CRegistryHive::KeyId& found)
{
    found = from;
    if (names.empty())
        return ERROR_SUCCESS;
    std::string parentPath = std::to_string(from);
    for (std::size_t i = 0; i + 1 < names.size(); ++i)
        parentPath += "\\" + CRegistryHive::Fold(names[i]);
    if (!hive.CachedKey(parentPath, found)) {
        for (std::size_t i = 0; i + 1 < names.size(); ++i)
            if (LSTATUS status = hive.FindChild(found, names[i], found); status != ERROR_SUCCESS)
                return status;
        hive.RememberKey(parentPath, found);
    }
    return hive.FindChild(found, names.back(), found);
}

LSTATUS CreatePath(CRegistryHive& hive, CRegistryHive::KeyId from, const std::vector<std::string_view>& names,
                   CRegistryHive::KeyId& found, bool& created)
{
    found = from;
    created = false;
    for (std::string_view name : names) {
        LSTATUS status = hive.FindChild(found, name, found);
        if (status == ERROR_FILE_NOT_FOUND) {
            status = hive.CreateChild(found, name, found);
            created = true;
        }
        if (status != ERROR_SUCCESS)
            return status;
    }
    return ERROR_SUCCESS;
}

HKEY NewHandle(const Resolved& parent, CRegistryHive::KeyId id, REGSAM access)
{
    HKEY handle = new HKEY__;
    handle->hive = parent.hive;
    handle->id = id;
    handle->access = access;
    return handle;
}

LSTATUS CopyName(const std::string& found, char* name, DWORD* length)
{
    if (name == nullptr || length == nullptr)
        return ERROR_INVALID_PARAMETER;
    if (found.size() + 1 > *length)
        return ERROR_MORE_DATA;
    std::memcpy(name, found.c_str(), found.size() + 1);
    *length = static_cast<DWORD>(found.size());
    return ERROR_SUCCESS;
}

LSTATUS CopyData(const CRegistryHive::Value& value, DWORD* type, unsigned char* data, DWORD* size)
{
    if (type)
        *type = value.type;
    if (data && !size)
        return ERROR_INVALID_PARAMETER;
    if (!size)
        return ERROR_SUCCESS;
    const DWORD needed = static_cast<DWORD>(value.data.size());
    const bool fits = needed <= *size;
    *size = needed;
    if (!data)
        return ERROR_SUCCESS;
    if (!fits)
        return ERROR_MORE_DATA;
    if (needed > 0)
        std::memcpy(data, value.data.data(), needed);
    return ERROR_SUCCESS;
}

LSTATUS NextSubkey(HKEY key, const Resolved& resolved, DWORD index, std::string& found)
{
    if (key == HKEY_LOCAL_MACHINE)
        return resolved.hive->ChildAt(resolved.id, index, found);
    const CRegistryHive::Version version = resolved.hive->CurrentVersion();
    const bool follows = key->cursorValid && index == key->cursorIndex + 1 && key->cursorVersion == version;
    const LSTATUS status = follows ? resolved.hive->ChildAfter(resolved.id, key->cursorFolded, found)
                                   : resolved.hive->ChildAt(resolved.id, index, found);
    key->cursorValid = status == ERROR_SUCCESS;
    key->cursorIndex = index;
    key->cursorFolded = CRegistryHive::Fold(found);
    key->cursorVersion = version;
    return status;
}

} // namespace

HKEY const HKEY_LOCAL_MACHINE = &g_localMachine;

LSTATUS RegOpenKeyEx(HKEY parent, const char* subKey, REGSAM access, HKEY* result)
{
    if (result == nullptr)
        return ERROR_INVALID_PARAMETER;
    Resolved from;
    if (LSTATUS status = Resolve(parent, from); status != ERROR_SUCCESS)
        return status;
    if ((access & kWriteRights) && from.hive->ReadOnly())
        return ERROR_ACCESS_DENIED;
    std::vector<std::string_view> names;
    if (!SplitPath(subKey, names))
        return ERROR_INVALID_PARAMETER;
    CRegistryHive::KeyId id = 0;
    if (LSTATUS status = FindPath(*from.hive, from.id, names, id); status != ERROR_SUCCESS)
        return status;
    *result = NewHandle(from, id, access);
    return ERROR_SUCCESS;
}

LSTATUS RegCreateKeyEx(HKEY parent, const char* subKey, REGSAM access, HKEY* result, DWORD* disposition)
{
    if (result == nullptr)
        return ERROR_INVALID_PARAMETER;
    Resolved from;
    if (LSTATUS status = Resolve(parent, from); status != ERROR_SUCCESS)
        return status;
    if (from.hive->ReadOnly() || !(from.access & KEY_CREATE_SUB_KEY))
        return ERROR_ACCESS_DENIED;
    std::vector<std::string_view> names;
    if (!SplitPath(subKey, names))
        return ERROR_INVALID_PARAMETER;
    CRegistryHive::KeyId id = 0;
    bool created = false;
    // Most calls find the key already there; only a missing one costs a write transaction.
    LSTATUS status = FindPath(*from.hive, from.id, names, id);
    if (status == ERROR_FILE_NOT_FOUND)
        status = from.hive->Write([&] { return CreatePath(*from.hive, from.id, names, id, created); });
    if (status != ERROR_SUCCESS)
        return status;
    if (disposition)
        *disposition = created ? REG_CREATED_NEW_KEY : REG_OPENED_EXISTING_KEY;
    *result = NewHandle(from, id, access);
    return ERROR_SUCCESS;
}

LSTATUS RegCloseKey(HKEY key)
{
    if (key == nullptr)
        return ERROR_INVALID_HANDLE;
    if (key != HKEY_LOCAL_MACHINE)
        delete key;
    return ERROR_SUCCESS;
}

LSTATUS RegQueryValueEx(HKEY key, const char* name, DWORD* type, unsigned char* data, DWORD* size)
{
    Resolved resolved;
    if (LSTATUS status = Resolve(key, resolved, false); status != ERROR_SUCCESS)
        return status;
    if (!(resolved.access & KEY_QUERY_VALUE))
        return ERROR_ACCESS_DENIED;
    CRegistryHive::Value value;
    LSTATUS status = resolved.hive->GetValue(resolved.id, name ? name : "", value);
    // Values go with their key, so only a missing value can mean a deleted key.
    if (status == ERROR_FILE_NOT_FOUND && !resolved.hive->KeyExists(resolved.id))
        status = ERROR_KEY_DELETED;
    return status == ERROR_SUCCESS ? CopyData(value, type, data, size) : status;
}

LSTATUS RegSetValueEx(HKEY key, const char* name, DWORD type, const unsigned char* data, DWORD size)
{
    if ((data == nullptr && size > 0) || (name && std::strlen(name) > kMaxValueNameLength))
        return ERROR_INVALID_PARAMETER;
    Resolved resolved;
    if (LSTATUS status = Resolve(key, resolved); status != ERROR_SUCCESS)
        return status;
    if (!(resolved.access & KEY_SET_VALUE))
        return ERROR_ACCESS_DENIED;
    const std::span<const unsigned char> bytes(data, data ? size : 0);
    return resolved.hive->Write([&]() -> LSTATUS {
        if (!resolved.hive->KeyExists(resolved.id))
            return ERROR_KEY_DELETED;
        return resolved.hive->SetValue(resolved.id, name ? name : "", type, bytes);
    });
}

LSTATUS RegDeleteValue(HKEY key, const char* name)
{
    Resolved resolved;
    if (LSTATUS status = Resolve(key, resolved); status != ERROR_SUCCESS)
        return status;
    if (!(resolved.access & KEY_SET_VALUE))
        return ERROR_ACCESS_DENIED;
    return resolved.hive->Write([&] { return resolved.hive->DeleteValue(resolved.id, name ? name : ""); });
}

LSTATUS RegEnumKeyEx(HKEY key, DWORD index, char* name, DWORD* length)
{
    Resolved resolved;
    if (LSTATUS status = Resolve(key, resolved); status != ERROR_SUCCESS)
        return status;
    if (!(resolved.access & KEY_ENUMERATE_SUB_KEYS))
        return ERROR_ACCESS_DENIED;
    std::string found;
    if (LSTATUS status = NextSubkey(key, resolved, index, found); status != ERROR_SUCCESS)
        return status;
    return CopyName(found, name, length);
}

LSTATUS RegEnumValue(HKEY key, DWORD index, char* name, DWORD* nameLength, DWORD* type, unsigned char* data,
                     DWORD* size)
{
    Resolved resolved;
    if (LSTATUS status = Resolve(key, resolved); status != ERROR_SUCCESS)
        return status;
    if (!(resolved.access & KEY_QUERY_VALUE))
        return ERROR_ACCESS_DENIED;
    CRegistryHive::Value value;
    if (LSTATUS status = resolved.hive->ValueAt(resolved.id, index, value); status != ERROR_SUCCESS)
        return status;
    if (LSTATUS status = CopyName(value.name, name, nameLength); status != ERROR_SUCCESS)
        return status;
    return CopyData(value, type, data, size);
}

LSTATUS RegQuerySubkeys(HKEY key, const std::function<void(std::string_view name)>& subkey,
                        const std::function<void(std::size_t place, const RegValueView& value)>& value)
{
    Resolved resolved;
    if (LSTATUS status = Resolve(key, resolved); status != ERROR_SUCCESS)
        return status;
    if ((resolved.access & (KEY_ENUMERATE_SUB_KEYS | KEY_QUERY_VALUE)) != (KEY_ENUMERATE_SUB_KEYS | KEY_QUERY_VALUE))
        return ERROR_ACCESS_DENIED;
    return resolved.hive->Children(resolved.id, subkey, value);
}

LSTATUS RegDeleteKey(HKEY parent, const char* subKey)
{
    Resolved from;
    if (LSTATUS status = Resolve(parent, from); status != ERROR_SUCCESS)
        return status;
    std::vector<std::string_view> names;
    if (!SplitPath(subKey, names))
        return ERROR_INVALID_PARAMETER;
    return from.hive->Write([&]() -> LSTATUS {
        CRegistryHive::KeyId id = 0;
        if (LSTATUS status = FindPath(*from.hive, from.id, names, id); status != ERROR_SUCCESS)
            return status;
        bool hasChildren = false;
        if (LSTATUS status = from.hive->HasChildren(id, hasChildren); status != ERROR_SUCCESS)
            return status;
        if (hasChildren || id == CRegistryHive::kRootKey)
            return ERROR_ACCESS_DENIED;
        return from.hive->DeleteKey(id);
    });
}

namespace {

// Runs one transaction step on the shared hive, or reports why there is none.
template <class Step> LSTATUS OnSharedHive(Step step)
{
    LSTATUS status = ERROR_SUCCESS;
    auto hive = SharedHive(status);
    return hive ? step(*hive) : status;
}

} // namespace

LSTATUS RegBeginTransaction()
{
    return OnSharedHive([](CRegistryHive& hive) { return hive.Begin(); });
}

LSTATUS RegBeginReadTransaction()
{
    return OnSharedHive([](CRegistryHive& hive) { return hive.Begin(false); });
}

LSTATUS RegCommitTransaction()
{
    return OnSharedHive([](CRegistryHive& hive) { return hive.Commit(); });
}

LSTATUS RegRollbackTransaction()
{
    return OnSharedHive([](CRegistryHive& hive) { return hive.Rollback(); });
}
