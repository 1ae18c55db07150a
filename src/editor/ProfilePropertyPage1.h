#pragma once

#include <framework/Button.h>
#include <framework/ComboBox.h>
#include <framework/Edit.h>
#include <framework/PropertyPage.h>

#include <string>

class CProfilePropertySheet;

// The General page: the profile's name, phonebook entry, token and user ID.
class CProfilePropertyPage1 : public CPropertyPage {
public:
    CProfilePropertyPage1();

    // Reports a change to the sheet.
    void MarkModified();
    // The user ID edit is enabled exactly when the User ID box is checked.
    void OnUserIdClicked();
    bool OnApply() override;
    // The sheet's Help button: the topic on setting up a profile.
    void OnProfileHelp();

    CProfilePropertySheet* m_pSheet = nullptr;
    CEdit m_editProfileName;
    CButton m_btnUserId;
    CEdit m_editUserId;
    CComboBox m_cboToken;
    CComboBox m_cboPhonebookEntry;
    int m_bUserIdRequired = 1;
    std::string m_strProfileName;
    std::string m_strUserId;

protected:
    void DoDataExchange(CDataExchange* pDX) override;
    bool OnInitDialog() override;
    DispatchTable GetDispatchTable() const override;

private:
    void ShowProfile();
};
