#pragma once

#include "Dialog.h"

#include <functional>

// One page of a property sheet, built from its template as a child of the sheet; the template's
// caption is the tab's text. The sheet creates the page's window when the page is first shown.
class CPropertyPage : public CDialog {
public:
    explicit CPropertyPage(unsigned templateId);

    // Marks the page changed (the sheet enables Apply) or unchanged.
    void SetModified(bool changed = true);
    bool IsModified() const { return m_bChanged; }
    bool IsCreated() const { return GetSafeHwnd() != nullptr; }

    // OK or Apply: true accepts, false keeps the sheet open.
    virtual bool OnApply() { return true; }
    // The page is about to be left: takes the controls' values; false keeps the page shown.
    virtual bool OnKillActive();

private:
    friend class CPropertySheet;
    // Creates the page's window in `frame`; `onModified` tells the sheet of every SetModified.
    bool CreatePage(QWidget* frame, std::function<void()> onModified);

    std::function<void()> m_onModified;
    bool m_bChanged = false;
};
