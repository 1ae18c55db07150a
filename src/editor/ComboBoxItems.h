#pragma once

#include <framework/ComboBox.h>
#include <profiles/IComboBoxItems.h>

// Lets the profile store fill a framework combo box.
class CComboBoxItems : public IComboBoxItems {
public:
    explicit CComboBoxItems(CComboBox& combo) : m_combo(combo) {}
    void ResetContent() override { m_combo.ResetContent(); }
    int AddString(const std::string& text) override { return m_combo.AddString(text); }
    void AddStrings(const std::vector<std::string>& texts) override { m_combo.AddStrings(texts); }

private:
    CComboBox& m_combo;
};
