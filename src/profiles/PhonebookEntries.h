#pragma once

#include "IComboBoxItems.h"

#include <string>
#include <string_view>
#include <vector>

// The names of the phonebook entries (pppd peers, OpenVPN client configurations, NetworkManager
// connections), in the order the system lists them.
class CPhonebookEntries {
public:
    // Fills the list once; a failed enumeration leaves it empty.
    void Enumerate();
    int GetCount() const { return static_cast<int>(m_names.size()); }
    // Exact comparison, case included.
    bool Contains(std::string_view name) const;
    void FillCombo(IComboBoxItems& combo) const;

private:
    std::vector<std::string> m_names;
};
