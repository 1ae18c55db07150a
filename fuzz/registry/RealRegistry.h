#pragma once

#include "RegistryOperations.h"

#include <platform/Registry.h>

#include <array>
#include <string>

// The registry store itself, on the hive that XDG_CONFIG_HOME points to, reporting each call
// the way ModelRegistry does. Closes its handles and undoes open transactions when done.
class RealRegistry {
public:
    RealRegistry() = default;
    ~RealRegistry();
    RealRegistry(const RealRegistry&) = delete;
    RealRegistry& operator=(const RealRegistry&) = delete;

    std::string Apply(const Operation& operation);

private:
    std::string ApplyToKey(HKEY key, const Operation& operation);
    std::string OpenKey(const Operation& operation);
    std::string QueryValue(HKEY key, const Operation& operation);
    std::string EnumKeys(HKEY key);
    std::string EnumKey(HKEY key, DWORD index);
    std::string EnumValues(HKEY key);

    // The handle of a slot, HKEY_LOCAL_MACHINE for the root, null for an empty slot.
    HKEY Handle(int slot) const;

    std::array<HKEY, Operation::kSlots> m_slots{};
};
