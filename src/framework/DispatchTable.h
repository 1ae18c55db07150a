#pragma once

#include <span>

class CDialog;

// What a dispatch entry reacts to.
enum class Notification {
    Command,   // a button click, a menu or accelerator command
    SelChange, // a combo box selection changed by the user
    EditChange // an edit field's text changed
};

struct DispatchEntry {
    Notification code;
    int id;
    void (CDialog::*handler)();
};

using DispatchTable = std::span<const DispatchEntry>;

// Entries for a dialog class D deriving from CDialog.
template <class D>
constexpr DispatchEntry OnCommand(int id, void (D::*handler)())
{
    return {Notification::Command, id, static_cast<void (CDialog::*)()>(handler)};
}

template <class D>
constexpr DispatchEntry OnSelChange(int id, void (D::*handler)())
{
    return {Notification::SelChange, id, static_cast<void (CDialog::*)()>(handler)};
}

template <class D>
constexpr DispatchEntry OnEditChange(int id, void (D::*handler)())
{
    return {Notification::EditChange, id, static_cast<void (CDialog::*)()>(handler)};
}
