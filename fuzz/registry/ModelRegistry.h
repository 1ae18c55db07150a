#pragma once

#include "RegistryOperations.h"

#include <array>
#include <map>
#include <optional>
#include <string>
#include <vector>

// The registry as the store documents it, kept in memory as plainly as possible: keys by a
// number that is never given out twice, names compared in ASCII upper case, values in the order
// first set, and a copy of everything for each open transaction.
class ModelRegistry {
public:
    // What the call returned, as text to compare with RealRegistry's.
    std::string Apply(const Operation& operation);

private:
    using KeyId = long long;
    static constexpr KeyId kRoot = 1;

    struct Value {
        std::string name;
        DWORD type = 0;
        std::string data;
    };
    struct Key {
        KeyId parent = 0;
        std::string name;
        std::vector<Value> values;
    };
    struct Handle {
        KeyId key = 0;
        bool writable = false;
    };

    std::string OpenKey(const Operation& operation, bool create);
    std::string SetValue(const Operation& operation);
    std::string QueryValue(const Operation& operation);
    std::string DeleteValue(const Operation& operation);
    std::string DeleteKey(const Operation& operation);
    std::string EnumKeys(const Operation& operation);
    std::string EnumKey(const Operation& operation);
    std::string EnumValues(const Operation& operation);
    std::string EndTransaction(bool keep);

    // The key a slot or the root stands for; false when the slot is empty.
    bool Resolve(int slot, Handle& handle) const;
    bool Exists(KeyId key) const { return m_keys.contains(key); }
    std::optional<KeyId> Child(KeyId parent, const std::string& name) const;
    // The subkeys' names in the order they are enumerated.
    std::vector<std::string> Subkeys(KeyId parent) const;
    Value* FindValue(KeyId key, const std::string& name);

    std::map<KeyId, Key> m_keys{{kRoot, {}}};
    KeyId m_nextKey = kRoot + 1;
    std::vector<std::map<KeyId, Key>> m_transactions;
    std::array<std::optional<Handle>, Operation::kSlots> m_slots;
};
