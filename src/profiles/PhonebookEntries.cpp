#include "PhonebookEntries.h"

#include <platform/Phonebook.h>

#include <algorithm>
#include <cstring>

void CPhonebookEntries::Enumerate()
{
    m_names.clear();
    // First ask with no room: the call reports how many entries there are and the size they need.
    RASENTRYNAME probe{};
    probe.dwSize = sizeof(RASENTRYNAME);
    DWORD bytes = 0;
    DWORD count = 0;
    RasEnumEntries(nullptr, nullptr, &probe, &bytes, &count);
    if (count == 0)
        return;
    std::vector<RASENTRYNAME> records(count);
    records[0].dwSize = sizeof(RASENTRYNAME);
    bytes = static_cast<DWORD>(records.size() * sizeof(RASENTRYNAME));
    if (RasEnumEntries(nullptr, nullptr, records.data(), &bytes, &count) != ERROR_SUCCESS)
        return;
    const std::size_t returned = std::min<std::size_t>(count, records.size());
    for (std::size_t i = 0; i < returned; ++i)
        m_names.emplace_back(records[i].szEntryName, strnlen(records[i].szEntryName, sizeof records[i].szEntryName));
}

bool CPhonebookEntries::Contains(std::string_view name) const
{
    return std::find(m_names.begin(), m_names.end(), name) != m_names.end();
}

void CPhonebookEntries::FillCombo(IComboBoxItems& combo) const
{
    combo.ResetContent();
    combo.AddStrings(m_names);
}
