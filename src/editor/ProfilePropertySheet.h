#pragma once

#include "ProfilePropertyPage1.h"
#include "ProfilePropertyPage2.h"

#include <framework/PropertySheet.h>
#include <profiles/ProfileList.h>
#include <token/TokenList.h>

#include <string>

// The modal sheet in which a profile is created, changed or renamed. Both pages hand OK and
// Apply to ValidateAndSave, which checks the values of both pages, stores them as one record and
// keeps the caller's profile list in step with the registry.
class CProfilePropertySheet : public CPropertySheet {
public:
    explicit CProfilePropertySheet(std::string caption);

    // Checks and stores the pages' values; false, with a message shown, keeps the sheet open.
    bool ValidateAndSave();

    // Inputs, set before the run; m_pProfile is read back after it (a rename replaces the record).
    ConnectionProfile* m_pProfile = nullptr;
    CProfileList* m_pProfileList = nullptr;
    bool m_bNewProfile = false;
    bool m_bModified = false;
    CTokenList* m_pTokenList = nullptr;
    CProfilePropertyPage1 m_pageGeneral;
    CProfilePropertyPage2 m_pageAdvanced;

private:
    // The values of both pages as they would be stored.
    struct Values {
        std::string phonebookEntry;
        std::string tokenSerial;
    };

    bool CheckEntries(Values& values);
    bool CheckStorable(const Values& values);
    bool Refuse(unsigned message, CPropertyPage& page, CWnd& control);
    bool RefuseText(unsigned message, std::string_view insert, CPropertyPage& page, CWnd& control);
    bool Store(const Values& values);
    void SetValues(ConnectionProfile& profile, const Values& values) const;
};
