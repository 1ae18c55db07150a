#pragma once

#include <framework/Edit.h>

// The PIN field: takes typed digits and backspace only; everything else typed is dropped
// silently, paste by Ctrl+V included.
class CPinEdit : public CEdit {
protected:
    void OnChar(unsigned character) override;
};
