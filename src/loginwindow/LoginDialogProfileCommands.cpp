// The Profile >>> popup's New..., Edit... and Delete commands of the login window.
#include "LoginDialog.h"

#include <editor/ProfilePropertySheet.h>
#include <framework/MessageBox.h>
#include <framework/StringTable.h>
#include <res/resource.h>

void CLoginDialog::OnProfileNew()
{
    std::string caption;
    LoadString(IDS_NEW_PROFILE, caption);
    CProfilePropertySheet sheet(caption);
    auto record = std::make_unique<ConnectionProfile>();
    sheet.m_pProfile = record.get();
    sheet.m_pProfileList = m_pProfileList.get();
    sheet.m_bNewProfile = true;
    sheet.m_pTokenList = &m_tokenList;
    record->LoginAppPath = m_strNewProfileLoginApp;
    record->ScriptPath = m_strNewProfileScript;
    sheet.DoModal();
    m_pCurrentProfile = sheet.m_pProfile;
    // Once saved, the record belongs to the list (which may even have replaced it by a rename).
    if (!sheet.m_bNewProfile) {
        record.release();
        RefreshProfiles();
        return;
    }
    // Unsaved, its empty name leaves RefreshProfiles nothing to remember: the first profile
    // becomes current and nothing is written. The window still takes that profile's state, not
    // that of the one shown before. The record goes after that.
    RefreshProfiles();
    TakeCurrentProfile();
}

void CLoginDialog::OnProfileEdit()
{
    CProfilePropertySheet sheet(FormatString1(IDS_EDITING_PROFILE, m_strProfileName));
    sheet.m_pProfile = m_pCurrentProfile;
    sheet.m_pProfileList = m_pProfileList.get();
    sheet.m_bNewProfile = false;
    sheet.m_pTokenList = &m_tokenList;
    sheet.DoModal();
    m_pCurrentProfile = sheet.m_pProfile;
    RefreshProfiles();
}

void CLoginDialog::OnProfileDelete()
{
    const std::string name = m_pCurrentProfile->ProfileName;
    if (AfxMessageBox(FormatString1(IDS_CONFIRM_DELETE_PROFILE, name), MB_YESNO | MB_ICONQUESTION) != IDYES)
        return;
    if (!m_pCurrentProfile->Delete()) {
        AfxMessageBox(IDS_PROFILE_DELETE_FAILED, MB_OK);
        return;
    }
    m_pProfileList->RemoveByName(name);
    m_pCurrentProfile = nullptr;
    RefreshProfiles();
}
