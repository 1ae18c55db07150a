#include "RegistryValues.h"

#include "ProfileNames.h"

#include <framework/StringTable.h>

#include <algorithm>

namespace {

constexpr std::size_t kStringBufferSize = 200;

} // namespace

bool TextFromData(std::span<const unsigned char> data, std::string& value)
{
    if (data.size() > kStringBufferSize)
        return false;
    value.assign(data.begin(), std::find(data.begin(), data.end(), 0));
    return true;
}

bool DwordFromData(std::span<const unsigned char> data, DWORD& value)
{
    if (data.size() > 4)
        return false;
    value = 0;
    for (std::size_t i = 0; i < data.size(); ++i)
        value |= DWORD{data[i]} << (8 * i);
    return true;
}

const RegValue* CSubkeyValues::Find(unsigned nameId) const
{
    const auto name = FindString(nameId);
    if (!name)
        return nullptr;
    const auto found = std::find_if(m_values.begin(), m_values.end(),
                                    [&name](const RegValue& value) { return ProfileNamesEqual(value.name, *name); });
    return found == m_values.end() ? nullptr : &*found;
}

bool CSubkeyValues::ReadString(unsigned nameId, std::string& value) const
{
    const RegValue* found = Find(nameId);
    return found && TextFromData(found->data, value);
}

bool CSubkeyValues::ReadDword(unsigned nameId, DWORD& value) const
{
    const RegValue* found = Find(nameId);
    return found && DwordFromData(found->data, value);
}
