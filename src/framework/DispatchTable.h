#pragma once

#include "RegisteredMessage.h"

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

// A window message with its parameters, such as a registered one; `message` points at the
// identifier, which is known only once the program runs.
struct MessageEntry {
    const unsigned* message;
    LRESULT (CDialog::*handler)(WPARAM, LPARAM);
};

using MessageTable = std::span<const MessageEntry>;

template <class D>
constexpr MessageEntry OnRegisteredMessage(const unsigned& message, LRESULT (D::*handler)(WPARAM, LPARAM))
{
    return {&message, static_cast<LRESULT (CDialog::*)(WPARAM, LPARAM)>(handler)};
}
