#pragma once

#include "Wnd.h"

inline constexpr int BST_UNCHECKED = 0;
inline constexpr int BST_CHECKED = 1;

// A push button or check box.
class CButton : public CWnd {
public:
    int GetCheck() const;
    void SetCheck(int state);
};
