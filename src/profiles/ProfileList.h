#pragma once

#include "ConnectionProfile.h"
#include "IComboBoxItems.h"
#include "PhonebookEntries.h"

#include <memory>
#include <string>
#include <string_view>
#include <vector>

// Every connection profile, owned here in insertion order, and the phonebook entry names.
// Others hold plain pointers into the list and must drop them when a profile is removed.
class CProfileList {
public:
    // Enumerates the phonebook entries; the profile list starts empty.
    CProfileList();

    // Fills the list from the registry, stopping at the first profile that does not load. False
    // then, or when the profiles key cannot be opened; the profiles loaded before stay.
    bool LoadAll();
    // First profile whose name equals `name` with ASCII letters compared without case; or null.
    ConnectionProfile* FindByName(std::string_view name) const;
    // Unlinks and destroys that profile; false when there is none.
    bool RemoveByName(std::string_view name);
    void Append(std::unique_ptr<ConnectionProfile> profile);
    ConnectionProfile* GetFirst() const;
    int GetCount() const { return static_cast<int>(m_profiles.size()); }
    void GetNames(std::vector<std::string>& names) const;
    void FillProfileCombo(IComboBoxItems& combo) const;
    const CPhonebookEntries& GetPhonebookEntries() const { return m_phonebookEntries; }

private:
    bool LoadProfiles();
    std::vector<std::unique_ptr<ConnectionProfile>>::const_iterator Find(std::string_view name) const;

    std::vector<std::unique_ptr<ConnectionProfile>> m_profiles;
    CPhonebookEntries m_phonebookEntries;
};
