#include "ProfileList.h"

#include "ProfileNames.h"
#include "RegistryKey.h"
#include "RegistryValues.h"

#include <platform/RegistrySubkeys.h>
#include <res/resource.h>

#include <algorithm>

CProfileList::CProfileList()
{
    m_phonebookEntries.Enumerate();
}

bool CProfileList::LoadAll()
{
    m_profiles.clear();
    // One reading transaction: a consistent list, the profiles read by their paths included.
    const bool grouped = RegBeginReadTransaction() == ERROR_SUCCESS;
    const bool loaded = LoadProfiles();
    if (grouped)
        RegCommitTransaction();
    return loaded;
}

namespace {

// Whether opening the profiles key's path with `name` appended comes to this very subkey. Only a
// hive changed by other means holds a name that does not; such a profile is read by its path, so
// that it fails, or creates keys, just as it always did.
bool AddressesItself(const std::string& name)
{
    return !name.empty() && name.size() <= kMaxKeyNameLength && name.find('\\') == std::string::npos;
}

// Each profile by its path, as the registry calls give it when the bulk read cannot be had.
bool LoadEachByPath(CRegistryKey& key, std::vector<std::unique_ptr<ConnectionProfile>>& profiles)
{
    std::vector<std::string> names;
    if (!key.EnumSubkeys(names))
        return false;
    for (const std::string& name : names) {
        auto profile = std::make_unique<ConnectionProfile>(name);
        if (!profile->Load())
            return false;
        profiles.push_back(std::move(profile));
    }
    return true;
}

} // namespace

bool CProfileList::LoadProfiles()
{
    CRegistryKey key(IDS_REG_PROFILES_KEY);
    CProfileValueTaker taker;
    std::vector<unsigned> taken;
    const auto subkey = [this, &taken](std::string_view name) {
        m_profiles.push_back(std::make_unique<ConnectionProfile>(std::string(name)));
        taken.push_back(0);
    };
    const auto value = [this, &taker, &taken](std::size_t place, const RegValueView& stored) {
        taken[place] |= taker.Take(*m_profiles[place], stored.name, stored.data);
    };
    if (!key.IsOpen() || RegQuerySubkeys(key.GetHandle(), subkey, value) != ERROR_SUCCESS) {
        m_profiles.clear();
        return LoadEachByPath(key, m_profiles);
    }
    // In order, the list ending at the first profile that does not load; the others by their
    // paths now that the read is done.
    for (std::size_t i = 0; i < m_profiles.size(); ++i) {
        ConnectionProfile& profile = *m_profiles[i];
        if (AddressesItself(profile.ProfileName) ? taken[i] != CProfileValueTaker::kAll : !profile.Load()) {
            m_profiles.erase(m_profiles.begin() + static_cast<std::ptrdiff_t>(i), m_profiles.end());
            return false;
        }
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
    combo.AddStrings(names);
}
