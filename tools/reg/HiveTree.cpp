#include "HiveTree.h"

#include <platform/Registry.h>

#include <memory>

namespace {

constexpr REGSAM kWriteAccess = KEY_READ | KEY_SET_VALUE | KEY_CREATE_SUB_KEY;
constexpr DWORD kNameBufferSize = 16384;

struct KeyCloser {
    void operator()(HKEY__* key) const { RegCloseKey(key); }
};
using KeyHandle = std::unique_ptr<HKEY__, KeyCloser>;

LSTATUS OpenKey(const std::string& path, REGSAM access, KeyHandle& key, bool create = false)
{
    HKEY opened = nullptr;
    const LSTATUS status = create ? RegCreateKeyEx(HKEY_LOCAL_MACHINE, path.c_str(), access, &opened, nullptr)
                                  : RegOpenKeyEx(HKEY_LOCAL_MACHINE, path.c_str(), access, &opened);
    key.reset(status == ERROR_SUCCESS ? opened : nullptr);
    return status;
}

LSTATUS ReadValueAt(HKEY key, DWORD index, RegValue& value)
{
    std::string name(kNameBufferSize, '\0');
    DWORD nameLength = kNameBufferSize;
    DWORD size = 0;
    if (LSTATUS status = RegEnumValue(key, index, name.data(), &nameLength, &value.type, nullptr, &size);
        status != ERROR_SUCCESS)
        return status;
    value.name.assign(name.data(), nameLength);
    value.data.resize(size);
    return RegQueryValueEx(key, value.name.c_str(), &value.type, value.data.data(), &size);
}

LSTATUS ReadOpenKey(HKEY key, std::vector<RegValue>& values, std::vector<std::string>& subkeys)
{
    values.clear();
    subkeys.clear();
    LSTATUS status = ERROR_SUCCESS;
    for (DWORD index = 0; status == ERROR_SUCCESS; ++index) {
        RegValue value;
        status = ReadValueAt(key, index, value);
        if (status == ERROR_SUCCESS)
            values.push_back(std::move(value));
    }
    if (status != ERROR_NO_MORE_ITEMS)
        return status;
    std::string name(kMaxKeyNameLength + 1, '\0');
    for (DWORD index = 0;; ++index) {
        DWORD length = kMaxKeyNameLength + 1;
        status = RegEnumKeyEx(key, index, name.data(), &length);
        if (status != ERROR_SUCCESS)
            return status == ERROR_NO_MORE_ITEMS ? ERROR_SUCCESS : status;
        subkeys.emplace_back(name.data(), length);
    }
}

std::string Child(const std::string& path, const std::string& name)
{
    return path.empty() ? name : path + "\\" + name;
}

LSTATUS DeleteBelow(const std::string& path)
{
    std::vector<RegValue> values;
    std::vector<std::string> subkeys;
    if (LSTATUS status = ReadKey(path, values, subkeys); status != ERROR_SUCCESS)
        return status;
    for (const std::string& name : subkeys) {
        if (LSTATUS status = DeleteBelow(Child(path, name)); status != ERROR_SUCCESS)
            return status;
        if (LSTATUS status = RegDeleteKey(HKEY_LOCAL_MACHINE, Child(path, name).c_str()); status != ERROR_SUCCESS)
            return status;
    }
    return ERROR_SUCCESS;
}

LSTATUS Apply(const RegFileOperation& operation)
{
    switch (operation.kind) {
    case RegFileOperation::Kind::CreateKey:
        return CreateKey(operation.path);
    case RegFileOperation::Kind::SetValue:
        return SetValue(operation.path, operation.value);
    case RegFileOperation::Kind::DeleteValue: {
        // Deleting what is not there already holds.
        const LSTATUS status = DeleteValue(operation.path, operation.value.name);
        return status == ERROR_FILE_NOT_FOUND ? ERROR_SUCCESS : status;
    }
    case RegFileOperation::Kind::DeleteKey: {
        const LSTATUS status = DeleteKeyTree(operation.path);
        return status == ERROR_FILE_NOT_FOUND ? ERROR_SUCCESS : status;
    }
    }
    return ERROR_INVALID_PARAMETER;
}

// Runs `work` inside one transaction; undoes everything when it fails.
template <typename Work> LSTATUS InTransaction(Work work)
{
    if (LSTATUS status = RegBeginTransaction(); status != ERROR_SUCCESS)
        return status;
    const LSTATUS status = work();
    if (status != ERROR_SUCCESS) {
        RegRollbackTransaction();
        return status;
    }
    return RegCommitTransaction();
}

} // namespace

LSTATUS ReadKey(const std::string& path, std::vector<RegValue>& values, std::vector<std::string>& subkeys)
{
    KeyHandle key;
    if (LSTATUS status = OpenKey(path, KEY_READ, key); status != ERROR_SUCCESS)
        return status;
    return ReadOpenKey(key.get(), values, subkeys);
}

LSTATUS ReadKeyTree(const std::string& path, std::vector<RegKeyRecord>& keys)
{
    RegKeyRecord record{path, {}};
    std::vector<std::string> subkeys;
    if (LSTATUS status = ReadKey(path, record.values, subkeys); status != ERROR_SUCCESS)
        return status;
    keys.push_back(std::move(record));
    for (const std::string& name : subkeys)
        if (LSTATUS status = ReadKeyTree(Child(path, name), keys); status != ERROR_SUCCESS)
            return status;
    return ERROR_SUCCESS;
}

LSTATUS CreateKey(const std::string& path)
{
    KeyHandle key;
    return OpenKey(path, kWriteAccess, key, true);
}

LSTATUS SetValue(const std::string& path, const RegValue& value)
{
    KeyHandle key;
    if (LSTATUS status = OpenKey(path, kWriteAccess, key, true); status != ERROR_SUCCESS)
        return status;
    return RegSetValueEx(key.get(), value.name.c_str(), value.type, value.data.data(),
                         static_cast<DWORD>(value.data.size()));
}

LSTATUS DeleteValue(const std::string& path, const std::string& name)
{
    KeyHandle key;
    if (LSTATUS status = OpenKey(path, kWriteAccess, key); status != ERROR_SUCCESS)
        return status;
    return RegDeleteValue(key.get(), name.c_str());
}

LSTATUS DeleteKeyTree(const std::string& path)
{
    if (path.empty())
        return ERROR_ACCESS_DENIED;
    return InTransaction([&] {
        const LSTATUS status = DeleteBelow(path);
        return status != ERROR_SUCCESS ? status : RegDeleteKey(HKEY_LOCAL_MACHINE, path.c_str());
    });
}

LSTATUS ApplyOperations(const std::vector<RegFileOperation>& operations, int& failedLine)
{
    return InTransaction([&] {
        for (const RegFileOperation& operation : operations) {
            if (LSTATUS status = Apply(operation); status != ERROR_SUCCESS) {
                failedLine = operation.line;
                return status;
            }
        }
        return ERROR_SUCCESS;
    });
}
