#include "RealRegistry.h"

#include <algorithm>
#include <vector>

namespace {

using Kind = Operation::Kind;

constexpr REGSAM kAllRights = KEY_READ | KEY_SET_VALUE | KEY_CREATE_SUB_KEY;
constexpr unsigned char kUnwritten = 0xa5;

std::string Status(LSTATUS status)
{
    return std::to_string(status);
}

const unsigned char* Bytes(const std::string& data)
{
    return reinterpret_cast<const unsigned char*>(data.data());
}

} // namespace

RealRegistry::~RealRegistry()
{
    for (HKEY key : m_slots)
        if (key != nullptr)
            RegCloseKey(key);
    while (RegRollbackTransaction() == ERROR_SUCCESS) {
    }
}

std::string RealRegistry::Apply(const Operation& operation)
{
    switch (operation.kind) {
    case Kind::Create:
    case Kind::Open:
    case Kind::OpenForReading:
        return OpenKey(operation);
    case Kind::DeleteKey:
        if (Handle(operation.parent) == nullptr)
            return kEmptySlot;
        return Status(RegDeleteKey(Handle(operation.parent), operation.text.c_str()));
    case Kind::Begin:
        return Status(RegBeginTransaction());
    case Kind::BeginRead:
        return Status(RegBeginReadTransaction());
    case Kind::Commit:
        return Status(RegCommitTransaction());
    case Kind::Rollback:
        return Status(RegRollbackTransaction());
    default:
        break;
    }
    HKEY key = m_slots[operation.slot];
    return key == nullptr ? kEmptySlot : ApplyToKey(key, operation);
}

std::string RealRegistry::ApplyToKey(HKEY key, const Operation& operation)
{
    const char* name = operation.text.c_str();
    switch (operation.kind) {
    case Kind::Close:
        m_slots[operation.slot] = nullptr;
        return Status(RegCloseKey(key));
    case Kind::SetValue:
        return Status(
            RegSetValueEx(key, name, operation.type, Bytes(operation.data), static_cast<DWORD>(operation.data.size())));
    case Kind::QueryValue:
        return QueryValue(key, operation);
    case Kind::DeleteValue:
        return Status(RegDeleteValue(key, name));
    case Kind::EnumKeys:
        return EnumKeys(key);
    case Kind::EnumKey:
        return EnumKey(key, operation.number);
    case Kind::EnumValues:
        return EnumValues(key);
    default:
        return "not a call on a key";
    }
}

std::string RealRegistry::OpenKey(const Operation& operation)
{
    HKEY parent = Handle(operation.parent);
    if (parent == nullptr)
        return kEmptySlot;
    HKEY opened = nullptr;
    DWORD disposition = 0;
    const char* path = operation.text.c_str();
    const bool create = operation.kind == Kind::Create;
    const LSTATUS status =
        create ? RegCreateKeyEx(parent, path, kAllRights, &opened, &disposition)
               : RegOpenKeyEx(parent, path, operation.kind == Kind::Open ? kAllRights : KEY_READ, &opened);
    if (status != ERROR_SUCCESS)
        return Status(status);
    if (m_slots[operation.slot] != nullptr)
        RegCloseKey(m_slots[operation.slot]);
    m_slots[operation.slot] = opened;
    if (!create)
        return Status(status);
    return Status(status) + (disposition == REG_CREATED_NEW_KEY ? " new" : " existing");
}

std::string RealRegistry::QueryValue(HKEY key, const Operation& operation)
{
    // One byte more than offered, so that the buffer is never null and a write past it shows.
    std::vector<unsigned char> buffer(operation.number + 1, kUnwritten);
    DWORD type = 0;
    DWORD size = operation.number;
    const LSTATUS status = RegQueryValueEx(key, operation.text.c_str(), &type, buffer.data(), &size);
    const std::string sizeText = " size=" + std::to_string(size);
    if (status == ERROR_MORE_DATA) {
        const bool untouched =
            std::all_of(buffer.begin(), buffer.end(), [](unsigned char c) { return c == kUnwritten; });
        return Status(status) + " type=" + std::to_string(type) + sizeText + (untouched ? " untouched" : " written");
    }
    if (status != ERROR_SUCCESS)
        return Status(status);
    if (buffer[operation.number] != kUnwritten)
        return "wrote past the buffer";
    return Status(status) + DescribedValue(type, std::string(buffer.begin(), buffer.begin() + size)) + sizeText;
}

std::string RealRegistry::EnumKeys(HKEY key)
{
    std::string listed = "keys";
    for (DWORD index = 0;; ++index) {
        char name[kMaxKeyNameLength + 1];
        DWORD length = sizeof name;
        const LSTATUS status = RegEnumKeyEx(key, index, name, &length);
        if (status != ERROR_SUCCESS)
            return index == 0 && status != ERROR_NO_MORE_ITEMS ? Status(status) : listed + " end=" + Status(status);
        listed += Described(std::string_view(name, length));
    }
}

std::string RealRegistry::EnumKey(HKEY key, DWORD index)
{
    char name[kMaxKeyNameLength + 1];
    DWORD length = sizeof name;
    const LSTATUS status = RegEnumKeyEx(key, index, name, &length);
    if (status != ERROR_SUCCESS)
        return Status(status);
    return Status(status) + Described(std::string_view(name, length));
}

std::string RealRegistry::EnumValues(HKEY key)
{
    std::string listed = "values";
    std::vector<char> name(kMaxValueNameLength + 1);
    std::vector<unsigned char> data(64 * 1024);
    for (DWORD index = 0;; ++index) {
        DWORD nameLength = static_cast<DWORD>(name.size());
        DWORD type = 0;
        DWORD size = static_cast<DWORD>(data.size());
        const LSTATUS status = RegEnumValue(key, index, name.data(), &nameLength, &type, data.data(), &size);
        if (status != ERROR_SUCCESS)
            return index == 0 && status != ERROR_NO_MORE_ITEMS ? Status(status) : listed + " end=" + Status(status);
        listed += Described(std::string_view(name.data(), nameLength)) +
                  DescribedValue(type, std::string(data.begin(), data.begin() + size));
    }
}

HKEY RealRegistry::Handle(int slot) const
{
    return slot == Operation::kRoot ? HKEY_LOCAL_MACHINE : m_slots[slot];
}
