#pragma once

#include <framework/Edit.h>

// The PIN field: takes typed digits and backspace only; everything else typed is dropped
// silently, Ctrl+V included, and text with anything but digits is refused however it arrives.
class CPinEdit : public CEdit {
protected:
    void OnChar(unsigned character) override;
};
