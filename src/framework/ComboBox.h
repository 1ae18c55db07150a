#pragma once

#include "Wnd.h"

#include <string>
#include <string_view>
#include <vector>

class QComboBox;

inline constexpr int CB_ERR = -1;

// A drop-down list. A sorted box (CBS_SORT in its template) inserts its items in order without
// regard to case; programmatic changes of the selection raise no notification.
class CComboBox : public CWnd {
public:
    int AddString(std::string_view text);
    // Adds the items as AddString would one by one; a run of them that arrives in the box's order
    // goes in at once, which is what makes a long list quick to fill.
    void AddStrings(const std::vector<std::string>& texts);
    void ResetContent();
    int GetCount() const;
    int GetCurSel() const;
    // Selects item `index`; -1 clears the selection. Returns the index, or CB_ERR.
    int SetCurSel(int index);
    std::string GetLBText(int index) const;
    // Selects the first item that begins with `text` without regard to case, searching from the
    // item after `startAfter` to the end and then from the start. Returns its index or CB_ERR
    // (the selection is then unchanged).
    int SelectString(int startAfter, std::string_view text);
    // The index of the item equal to `text` without regard to case, searching as SelectString.
    int FindStringExact(int startAfter, std::string_view text) const;

private:
    QComboBox* Box() const;
    bool IsSorted() const;
};
