#pragma once

#include <string>

// The part of a combo box that the profile store fills: the framework's CComboBox implements it,
// so this library needs no widgets.
class IComboBoxItems {
public:
    virtual ~IComboBoxItems() = default;
    virtual void ResetContent() = 0;
    // Adds one item; returns its index.
    virtual int AddString(const std::string& text) = 0;
};
