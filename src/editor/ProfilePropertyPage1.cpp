#include "ProfilePropertyPage1.h"

#include "ComboBoxItems.h"
#include "ProfilePropertySheet.h"

#include <framework/HtmlHelp.h>
#include <framework/DataExchange.h>
#include <res/resource.h>

namespace {

constexpr int kMaxUserIdChars = 48;

} // namespace

CProfilePropertyPage1::CProfilePropertyPage1() : CPropertyPage(IDD_PROFILE_GENERAL) {}

void CProfilePropertyPage1::DoDataExchange(CDataExchange* pDX)
{
    DDX_Control(pDX, IDC_GENERAL_PROFILE_NAME, m_editProfileName);
    DDX_Control(pDX, IDC_GENERAL_USER_ID_CHECK, m_btnUserId);
    DDX_Control(pDX, IDC_GENERAL_USER_ID, m_editUserId);
    DDX_Control(pDX, IDC_GENERAL_TOKEN, m_cboToken);
    DDX_Control(pDX, IDC_GENERAL_PHONEBOOK_ENTRY, m_cboPhonebookEntry);
    DDX_Check(pDX, IDC_GENERAL_USER_ID_CHECK, m_bUserIdRequired);
    DDX_Text(pDX, IDC_GENERAL_PROFILE_NAME, m_strProfileName);
    DDX_Text(pDX, IDC_GENERAL_USER_ID, m_strUserId);
    DDV_MaxChars(pDX, m_strUserId, kMaxUserIdChars);
}

void CProfilePropertyPage1::OnProfileHelp()
{
    HtmlHelp(GetSafeHwnd(), kHelpProfileTopic, HH_DISPLAY_TOPIC);
}

DispatchTable CProfilePropertyPage1::GetDispatchTable() const
{
    static const DispatchEntry kTable[] = {
        OnCommand(static_cast<int>(ID_HELP), &CProfilePropertyPage1::OnProfileHelp),
        OnCommand(IDC_GENERAL_USER_ID_CHECK, &CProfilePropertyPage1::OnUserIdClicked),
        OnSelChange(IDC_GENERAL_PHONEBOOK_ENTRY, &CProfilePropertyPage1::MarkModified),
        OnSelChange(IDC_GENERAL_TOKEN, &CProfilePropertyPage1::MarkModified),
        OnEditChange(IDC_GENERAL_PROFILE_NAME, &CProfilePropertyPage1::MarkModified),
        OnEditChange(IDC_GENERAL_USER_ID, &CProfilePropertyPage1::MarkModified),
    };
    return kTable;
}

bool CProfilePropertyPage1::OnInitDialog()
{
    CPropertyPage::OnInitDialog();
    if (m_pSheet) {
        if (m_pSheet->m_pTokenList)
            m_pSheet->m_pTokenList->FillTokenCombo(m_cboToken);
        if (m_pSheet->m_pProfileList) {
            CComboBoxItems items(m_cboPhonebookEntry);
            m_pSheet->m_pProfileList->GetPhonebookEntries().FillCombo(items);
        }
        if (m_pSheet->m_pProfile && !m_pSheet->m_bNewProfile)
            ShowProfile();
    }
    UpdateData(false);
    OnUserIdClicked();
    return true;
}

void CProfilePropertyPage1::ShowProfile()
{
    const ConnectionProfile& profile = *m_pSheet->m_pProfile;
    m_strProfileName = profile.ProfileName;
    m_cboPhonebookEntry.SelectString(-1, profile.DUNPhonebookEntry);
    m_bUserIdRequired = profile.UserLoginRequired ? 1 : 0;
    m_strUserId = profile.UserLogin;
    if (m_pSheet->m_pTokenList)
        m_pSheet->m_pTokenList->SelectInCombo(profile.TokenSerialNumber, m_cboToken);
}

void CProfilePropertyPage1::OnUserIdClicked()
{
    m_editUserId.EnableWindow(m_btnUserId.GetCheck() == BST_CHECKED);
    MarkModified();
}

void CProfilePropertyPage1::MarkModified()
{
    SetModified(true);
    if (m_pSheet)
        m_pSheet->m_bModified = true;
}

bool CProfilePropertyPage1::OnApply()
{
    return m_pSheet->ValidateAndSave() && CPropertyPage::OnApply();
}
