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

// In the bits' order; the last two are numbers.
constexpr unsigned kValueNames[] = {IDS_REG_DUN_PHONEBOOK_ENTRY,  IDS_REG_SCRIPT_PATH,
                                    IDS_REG_LOGIN_APP_PATH,       IDS_REG_TOKEN_SERIAL_NUMBER,
                                    IDS_REG_USER_LOGIN,           IDS_REG_UPDATE_PASSCODE_DURATION,
                                    IDS_REG_USER_LOGIN_REQUIRED};

constexpr std::string ConnectionProfile::* kTextFields[] = {
    &ConnectionProfile::DUNPhonebookEntry, &ConnectionProfile::ScriptPath, &ConnectionProfile::LoginAppPath,
    &ConnectionProfile::TokenSerialNumber, &ConnectionProfile::UserLogin};

static_assert(CProfileValueTaker::kAll == (1u << std::size(kValueNames)) - 1);

} // namespace

CProfileValueTaker::CProfileValueTaker()
{
    for (std::size_t i = 0; i < m_names.size(); ++i)
        m_names[i] = FindString(kValueNames[i]).value_or(std::string_view());
}

unsigned CProfileValueTaker::Take(ConnectionProfile& profile, std::string_view name,
                                  std::span<const unsigned char> data) const
{
    const auto found = std::find_if(m_names.begin(), m_names.end(), [name](std::string_view known) {
        return !known.empty() && ProfileNamesEqual(known, name);
    });
    const auto index = static_cast<std::size_t>(found - m_names.begin());
    if (index < std::size(kTextFields))
        return TextFromData(data, profile.*kTextFields[index]) ? 1u << index : 0;
    DWORD number = 0;
    if (found == m_names.end() || !DwordFromData(data, number))
        return 0;
    if (kValueNames[index] == IDS_REG_UPDATE_PASSCODE_DURATION)
        SetPasscodeDuration(profile, number);
    else
        SetUserLoginRequired(profile, number);
    return 1u << index;
}
