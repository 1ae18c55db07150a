#pragma once

#include <string>
#include <vector>

// The part of a combo box that the profile store fills: the framework's CComboBox implements it,
// so this library needs no widgets.
class IComboBoxItems {
public:
    virtual ~IComboBoxItems() = default;
    virtual void ResetContent() = 0;
    // Adds one item; returns its index.
    virtual int AddString(const std::string& text) = 0;
    // Adds the items in turn, as AddString would; a box may take them all at once.
    virtual void AddStrings(const std::vector<std::string>& texts)
    {
        for (const std::string& text : texts)
            AddString(text);
    }
};
