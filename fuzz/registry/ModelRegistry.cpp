#include "ModelRegistry.h"

#include <platform/Registry.h>

#include <algorithm>

namespace {

using Kind = Operation::Kind;

std::string Upper(std::string name)
{
    for (char& c : name)
        if (c >= 'a' && c <= 'z')
            c = static_cast<char>(c - 'a' + 'A');
    return name;
}

// A path of names of 1 to 255 characters between backslashes; one trailing backslash is allowed.
bool SplitPath(const std::string& path, std::vector<std::string>& names)
{
    std::string rest = path;
    if (!rest.empty() && rest.back() == '\\')
        rest.pop_back();
    if (rest.empty())
        return path.empty();
    std::size_t start = 0;
    for (;;) {
        const std::size_t slash = rest.find('\\', start);
        const std::string name = rest.substr(start, slash == std::string::npos ? std::string::npos : slash - start);
        if (name.empty() || name.size() > kMaxKeyNameLength)
            return false;
        names.push_back(name);
        if (slash == std::string::npos)
            return true;
        start = slash + 1;
    }
}

std::string Status(LSTATUS status)
{
    return std::to_string(status);
}

} // namespace

std::string ModelRegistry::Apply(const Operation& operation)
{
    switch (operation.kind) {
    case Kind::Create:
        return OpenKey(operation, true);
    case Kind::Open:
    case Kind::OpenForReading:
        return OpenKey(operation, false);
    case Kind::Close:
        if (!m_slots[operation.slot])
            return kEmptySlot;
        m_slots[operation.slot].reset();
        return Status(ERROR_SUCCESS);
    case Kind::SetValue:
        return SetValue(operation);
    case Kind::QueryValue:
        return QueryValue(operation);
    case Kind::DeleteValue:
        return DeleteValue(operation);
    case Kind::DeleteKey:
        return DeleteKey(operation);
    case Kind::EnumKeys:
        return EnumKeys(operation);
    case Kind::EnumKey:
        return EnumKey(operation);
    case Kind::EnumValues:
        return EnumValues(operation);
    case Kind::Begin:
    case Kind::BeginRead:
        m_transactions.push_back(m_keys);
        return Status(ERROR_SUCCESS);
    case Kind::Commit:
        return EndTransaction(true);
    case Kind::Rollback:
        return EndTransaction(false);
    }
    return "unknown operation";
}

std::string ModelRegistry::OpenKey(const Operation& operation, bool create)
{
    Handle parent;
    if (!Resolve(operation.parent, parent))
        return kEmptySlot;
    if (!Exists(parent.key))
        return Status(ERROR_KEY_DELETED);
    if (create && !parent.writable)
        return Status(ERROR_ACCESS_DENIED);
    std::vector<std::string> names;
    if (!SplitPath(operation.text, names))
        return Status(ERROR_INVALID_PARAMETER);
    KeyId key = parent.key;
    bool created = false;
    for (const std::string& name : names) {
        if (const auto child = Child(key, name)) {
            key = *child;
            continue;
        }
        if (!create)
            return Status(ERROR_FILE_NOT_FOUND);
        m_keys[m_nextKey] = {key, name, {}};
        key = m_nextKey++;
        created = true;
    }
    m_slots[operation.slot] = Handle{key, operation.kind != Kind::OpenForReading};
    if (!create)
        return Status(ERROR_SUCCESS);
    return Status(ERROR_SUCCESS) + (created ? " new" : " existing");
}

std::string ModelRegistry::SetValue(const Operation& operation)
{
    if (operation.text.size() > kMaxValueNameLength)
        return Status(ERROR_INVALID_PARAMETER);
    Handle handle;
    if (!Resolve(operation.slot, handle))
        return kEmptySlot;
    if (!Exists(handle.key))
        return Status(ERROR_KEY_DELETED);
    if (!handle.writable)
        return Status(ERROR_ACCESS_DENIED);
    if (Value* value = FindValue(handle.key, operation.text)) {
        value->type = operation.type;
        value->data = operation.data;
    } else {
        m_keys[handle.key].values.push_back({operation.text, operation.type, operation.data});
    }
    return Status(ERROR_SUCCESS);
}

std::string ModelRegistry::QueryValue(const Operation& operation)
{
    Handle handle;
    if (!Resolve(operation.slot, handle))
        return kEmptySlot;
    const Value* value = FindValue(handle.key, operation.text);
    if (value == nullptr)
        return Status(Exists(handle.key) ? ERROR_FILE_NOT_FOUND : ERROR_KEY_DELETED);
    const std::string size = " size=" + std::to_string(value->data.size());
    if (value->data.size() > operation.number)
        return Status(ERROR_MORE_DATA) + " type=" + std::to_string(value->type) + size + " untouched";
    return Status(ERROR_SUCCESS) + DescribedValue(value->type, value->data) + size;
}

std::string ModelRegistry::DeleteValue(const Operation& operation)
{
    Handle handle;
    if (!Resolve(operation.slot, handle))
        return kEmptySlot;
    if (!Exists(handle.key))
        return Status(ERROR_KEY_DELETED);
    if (!handle.writable)
        return Status(ERROR_ACCESS_DENIED);
    Value* value = FindValue(handle.key, operation.text);
    if (value == nullptr)
        return Status(ERROR_FILE_NOT_FOUND);
    auto& values = m_keys[handle.key].values;
    values.erase(values.begin() + (value - values.data()));
    return Status(ERROR_SUCCESS);
}

std::string ModelRegistry::DeleteKey(const Operation& operation)
{
    Handle parent;
    if (!Resolve(operation.parent, parent))
        return kEmptySlot;
    if (!Exists(parent.key))
        return Status(ERROR_KEY_DELETED);
    std::vector<std::string> names;
    if (!SplitPath(operation.text, names))
        return Status(ERROR_INVALID_PARAMETER);
    KeyId key = parent.key;
    for (const std::string& name : names) {
        const auto child = Child(key, name);
        if (!child)
            return Status(ERROR_FILE_NOT_FOUND);
        key = *child;
    }
    if (key == kRoot || !Subkeys(key).empty())
        return Status(ERROR_ACCESS_DENIED);
    m_keys.erase(key);
    return Status(ERROR_SUCCESS);
}

std::string ModelRegistry::EnumKeys(const Operation& operation)
{
    Handle handle;
    if (!Resolve(operation.slot, handle))
        return kEmptySlot;
    if (!Exists(handle.key))
        return Status(ERROR_KEY_DELETED);
    std::string listed = "keys";
    for (const std::string& name : Subkeys(handle.key))
        listed += Described(name);
    return listed + " end=" + Status(ERROR_NO_MORE_ITEMS);
}

std::string ModelRegistry::EnumKey(const Operation& operation)
{
    Handle handle;
    if (!Resolve(operation.slot, handle))
        return kEmptySlot;
    if (!Exists(handle.key))
        return Status(ERROR_KEY_DELETED);
    const std::vector<std::string> subkeys = Subkeys(handle.key);
    if (operation.number >= subkeys.size())
        return Status(ERROR_NO_MORE_ITEMS);
    return Status(ERROR_SUCCESS) + Described(subkeys[operation.number]);
}

std::string ModelRegistry::EnumValues(const Operation& operation)
{
    Handle handle;
    if (!Resolve(operation.slot, handle))
        return kEmptySlot;
    if (!Exists(handle.key))
        return Status(ERROR_KEY_DELETED);
    std::string listed = "values";
    for (const Value& value : m_keys[handle.key].values)
        listed += Described(value.name) + DescribedValue(value.type, value.data);
    return listed + " end=" + Status(ERROR_NO_MORE_ITEMS);
}

std::string ModelRegistry::EndTransaction(bool keep)
{
    if (m_transactions.empty())
        return Status(ERROR_INVALID_PARAMETER);
    if (!keep)
        m_keys = std::move(m_transactions.back());
    m_transactions.pop_back();
    return Status(ERROR_SUCCESS);
}

bool ModelRegistry::Resolve(int slot, Handle& handle) const
{
    if (slot == Operation::kRoot) {
        handle = {kRoot, true};
        return true;
    }
    if (!m_slots[slot])
        return false;
    handle = *m_slots[slot];
    return true;
}

std::optional<ModelRegistry::KeyId> ModelRegistry::Child(KeyId parent, const std::string& name) const
{
    for (const auto& [id, key] : m_keys)
        if (key.parent == parent && id != kRoot && Upper(key.name) == Upper(name))
            return id;
    return std::nullopt;
}

std::vector<std::string> ModelRegistry::Subkeys(KeyId parent) const
{
    std::map<std::string, std::string> byUpperName;
    for (const auto& [id, key] : m_keys)
        if (key.parent == parent && id != kRoot)
            byUpperName[Upper(key.name)] = key.name;
    std::vector<std::string> names;
    for (const auto& [upper, name] : byUpperName)
        names.push_back(name);
    return names;
}

ModelRegistry::Value* ModelRegistry::FindValue(KeyId key, const std::string& name)
{
    const auto found = m_keys.find(key);
    if (found == m_keys.end())
        return nullptr;
    auto& values = found->second.values;
    const auto value =
        std::find_if(values.begin(), values.end(), [&](const Value& v) { return Upper(v.name) == Upper(name); });
    return value == values.end() ? nullptr : &*value;
}
