#pragma once

#include <framework/Edit.h>
#include <framework/PropertyPage.h>

#include <string>

class CProfilePropertySheet;

// The Advanced page: the login application and the script file, each with a Browse... button.
class CProfilePropertyPage2 : public CPropertyPage {
public:
    CProfilePropertyPage2();

    void OnBrowseLoginApp();
    void OnBrowseScriptFile();
    // Reports a change to the sheet.
    void MarkModified();
    bool OnApply() override;
    // The sheet's Help button: the topic on setting up a profile.
    void OnProfileHelp();

    CProfilePropertySheet* m_pSheet = nullptr;
    CEdit m_editScriptFile;
    CEdit m_editLoginApp;
    std::string m_strLoginApp;
    std::string m_strScriptFile;

protected:
    void DoDataExchange(CDataExchange* pDX) override;
    bool OnInitDialog() override;
    DispatchTable GetDispatchTable() const override;

private:
    // Browses from the last exchanged value of `field`; a chosen file replaces it.
    void Browse(unsigned filterId, unsigned titleId, int filterIndex, std::string& field);
};
