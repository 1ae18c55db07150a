#include "RegisteredMessage.h"

#include <map>

namespace {

std::map<std::string, unsigned>& Registry()
{
    static std::map<std::string, unsigned> registry;
    return registry;
}

} // namespace

unsigned RegisterWindowMessage(const std::string& name)
{
    if (name.empty())
        return 0;
    auto& registry = Registry();
    const auto [entry, added] = registry.try_emplace(name, 0xC000u + static_cast<unsigned>(registry.size()));
    return entry->second;
}

std::string RegisteredMessageName(unsigned message)
{
    for (const auto& [name, id] : Registry())
        if (id == message)
            return name;
    return {};
}
