#include "RegistryValues.h"

#include "ProfileNames.h"
#include "ProfileValues.h"

#include <framework/StringTable.h>
#include <res/resource.h>

#include <algorithm>

namespace {

constexpr std::size_t kStringBufferSize = 200;

} // namespace

bool TextFromData(std::span<const unsigned char> data, std::string& value)
{
    if (data.size() > kStringBufferSize)
        return false;
    const auto end = std::find(data.begin(), data.end(), 0);
    value.assign(reinterpret_cast<const char*>(data.data()), static_cast<std::size_t>(end - data.begin()));
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

namespace {

// A profile's value: a text, or a number stored through its setter.
struct ValueField {
    unsigned nameId;
    std::string ConnectionProfile::* text;
    void (*setNumber)(ConnectionProfile&, DWORD);
};

// In the bits' order, which is the order ConnectionProfile::Save writes them in.
constexpr ValueField kFields[] = {
    {IDS_REG_DUN_PHONEBOOK_ENTRY, &ConnectionProfile::DUNPhonebookEntry, nullptr},
    {IDS_REG_SCRIPT_PATH, &ConnectionProfile::ScriptPath, nullptr},
    {IDS_REG_LOGIN_APP_PATH, &ConnectionProfile::LoginAppPath, nullptr},
    {IDS_REG_TOKEN_SERIAL_NUMBER, &ConnectionProfile::TokenSerialNumber, nullptr},
    {IDS_REG_UPDATE_PASSCODE_DURATION, nullptr, SetPasscodeDuration},
    {IDS_REG_USER_LOGIN, &ConnectionProfile::UserLogin, nullptr},
    {IDS_REG_USER_LOGIN_REQUIRED, nullptr, SetUserLoginRequired},
};

static_assert(std::size(kFields) == CProfileValueTaker::kValues);

} // namespace

CProfileValueTaker::CProfileValueTaker()
{
    for (std::size_t i = 0; i < m_names.size(); ++i)
        m_names[i] = FindString(kFields[i].nameId).value_or(std::string_view());
}

unsigned CProfileValueTaker::Take(ConnectionProfile& profile, std::string_view name,
                                  std::span<const unsigned char> data)
{
    const std::size_t index = Find(name);
    if (index == m_names.size())
        return 0;
    m_next = index + 1;
    const ValueField& field = kFields[index];
    if (field.text)
        return TextFromData(data, profile.*field.text) ? 1u << index : 0;
    DWORD number = 0;
    if (!DwordFromData(data, number))
        return 0;
    field.setNumber(profile, number);
    return 1u << index;
}

std::size_t CProfileValueTaker::Find(std::string_view name) const
{
    // Values mostly come in the order they were written: the name after the last one found first.
    for (std::size_t tried = 0; tried < m_names.size(); ++tried) {
        const std::size_t index = (m_next + tried) % m_names.size();
        if (!m_names[index].empty() && ProfileNamesEqual(m_names[index], name))
            return index;
    }
    return m_names.size();
}
