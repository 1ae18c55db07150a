#include "ProfilePropertySheet.h"

#include <framework/MessageBox.h>
#include <framework/StringTable.h>
#include <platform/CommandLine.h>
#include <platform/FileFind.h>
#include <profiles/ProfileNames.h>
#include <res/resource.h>

#include <memory>
#include <vector>

namespace {

// The profile store reads text values into 200 bytes with the terminator: anything longer would
// be saved but would never load again.
constexpr std::size_t kMaxStoredText = 199;

// The run starts the first word of the command line, found the same way.
bool LoginProgramFound(const std::string& commandLine)
{
    std::vector<std::string> words;
    return SplitCommandLine(commandLine, words) && !words.empty() && !FindProgram(words.front()).empty();
}

} // namespace

CProfilePropertySheet::CProfilePropertySheet(std::string caption) : CPropertySheet(std::move(caption))
{
    m_pageGeneral.m_pSheet = this;
    m_pageAdvanced.m_pSheet = this;
    AddPage(&m_pageGeneral);
    AddPage(&m_pageAdvanced);
}

bool CProfilePropertySheet::ValidateAndSave()
{
    if (!m_bModified)
        return true;
    // Creates the Advanced page if need be, and takes both pages' controls into their fields.
    CPropertyPage* active = GetActivePage();
    SetActivePage(&m_pageAdvanced);
    SetActivePage(active);
    Values values;
    if (!CheckEntries(values) || !CheckStorable(values))
        return false;
    const ConnectionProfile* sameName = m_pProfileList->FindByName(m_pageGeneral.m_strProfileName);
    if (sameName && sameName != m_pProfile) {
        AfxMessageBox(IDS_PROFILE_NAME_IN_USE, MB_OK);
        return false;
    }
    if (!Store(values)) {
        AfxMessageBox(IDS_PROFILE_SAVE_FAILED, MB_OK);
        return false;
    }
    m_bNewProfile = false;
    m_bModified = false;
    return true;
}

bool CProfilePropertySheet::Refuse(unsigned message, CPropertyPage& page, CWnd& control)
{
    AfxMessageBox(message, MB_OK);
    SetActivePage(&page);
    page.GotoDlgCtrl(control);
    return false;
}

bool CProfilePropertySheet::RefuseText(unsigned message, std::string_view insert, CPropertyPage& page,
                                       CWnd& control)
{
    AfxMessageBox(FormatString1(message, insert), MB_OK);
    SetActivePage(&page);
    page.GotoDlgCtrl(control);
    return false;
}

bool CProfilePropertySheet::CheckEntries(Values& values)
{
    CProfilePropertyPage1& general = m_pageGeneral;
    CProfilePropertyPage2& advanced = m_pageAdvanced;
    if (general.m_strProfileName.empty())
        return Refuse(IDS_PROFILE_NAME_EMPTY, general, general.m_editProfileName);
    const int entry = general.m_cboPhonebookEntry.GetCurSel();
    if (entry < 0)
        return Refuse(IDS_SELECT_PHONEBOOK_ENTRY, general, general.m_cboPhonebookEntry);
    values.phonebookEntry = general.m_cboPhonebookEntry.GetLBText(entry);
    values.tokenSerial = m_pTokenList->GetSelectedSerial(general.m_cboToken);
    if (values.tokenSerial.empty() && AfxMessageBox(IDS_NO_TOKEN_ASSOCIATED, MB_YESNO | MB_ICONQUESTION) != IDYES) {
        SetActivePage(&general);
        general.GotoDlgCtrl(general.m_cboToken);
        return false;
    }
    if (general.m_bUserIdRequired && general.m_strUserId.empty())
        return Refuse(IDS_USER_ID_EMPTY, general, general.m_editUserId);
    if (advanced.m_strLoginApp.empty())
        return Refuse(IDS_LOGIN_APP_EMPTY, advanced, advanced.m_editLoginApp);
    if (!LoginProgramFound(advanced.m_strLoginApp))
        return Refuse(IDS_LOGIN_APP_NOT_FOUND, advanced, advanced.m_editLoginApp);
    if (advanced.m_strScriptFile.empty())
        return Refuse(IDS_SCRIPT_FILE_EMPTY, advanced, advanced.m_editScriptFile);
    if (!advanced.m_strScriptFile.starts_with('/'))
        return RefuseText(IDS_SCRIPT_PATH_NOT_FULL, advanced.m_strScriptFile, advanced, advanced.m_editScriptFile);
    if (!FindFile(advanced.m_strScriptFile))
        return Refuse(IDS_SCRIPT_FILE_NOT_FOUND, advanced, advanced.m_editScriptFile);
    return true;
}

// Values the store would save but never load again, stopping the loading of the profiles after
// them: a name with a backslash (a nested key) and texts too long to be read back. The user ID is
// limited to 48 characters and serial numbers to 23 by their sources; these three texts are not.
bool CProfilePropertySheet::CheckStorable(const Values& values)
{
    if (m_pageGeneral.m_strProfileName.find('\\') != std::string::npos)
        return Refuse(IDS_PROFILE_NAME_BACKSLASH, m_pageGeneral, m_pageGeneral.m_editProfileName);
    const struct {
        std::size_t size;
        unsigned field;
        CPropertyPage& page;
        CWnd& control;
    } texts[] = {
        {values.phonebookEntry.size(), IDS_FIELD_PHONEBOOK_ENTRY, m_pageGeneral, m_pageGeneral.m_cboPhonebookEntry},
        {m_pageAdvanced.m_strLoginApp.size(), IDS_FIELD_LOGIN_APP, m_pageAdvanced, m_pageAdvanced.m_editLoginApp},
        {m_pageAdvanced.m_strScriptFile.size(), IDS_FIELD_SCRIPT_FILE, m_pageAdvanced, m_pageAdvanced.m_editScriptFile},
    };
    for (const auto& text : texts) {
        std::string field;
        if (text.size > kMaxStoredText && LoadString(text.field, field))
            return RefuseText(IDS_VALUE_TOO_LONG, field, text.page, text.control);
    }
    return true;
}

void CProfilePropertySheet::SetValues(ConnectionProfile& profile, const Values& values) const
{
    profile.DUNPhonebookEntry = values.phonebookEntry;
    profile.TokenSerialNumber = values.tokenSerial;
    profile.UserLoginRequired = m_pageGeneral.m_bUserIdRequired != 0;
    profile.UserLogin = m_pageGeneral.m_strUserId;
    profile.LoginAppPath = m_pageAdvanced.m_strLoginApp;
    profile.ScriptPath = m_pageAdvanced.m_strScriptFile;
}

bool CProfilePropertySheet::Store(const Values& values)
{
    const std::string& name = m_pageGeneral.m_strProfileName;
    if (m_bNewProfile) {
        m_pProfile->ProfileName = name;
        SetValues(*m_pProfile, values);
        if (!m_pProfile->Save())
            return false;
        m_pProfileList->Append(std::unique_ptr<ConnectionProfile>(m_pProfile));
        return true;
    }
    if (ProfileNamesEqual(name, m_pProfile->ProfileName)) {
        // A change of letter case alone keeps the name the key already has.
        SetValues(*m_pProfile, values);
        return m_pProfile->Save();
    }
    auto renamed = std::make_unique<ConnectionProfile>(name);
    SetValues(*renamed, values);
    renamed->UpdatePASSCODEDuration = m_pProfile->UpdatePASSCODEDuration;
    if (!renamed->Save())
        return false;
    ConnectionProfile* replacement = renamed.get();
    m_pProfileList->Append(std::move(renamed));
    const std::string oldName = m_pProfile->ProfileName;
    // A key left behind reappears at the next start; nothing more can be done about it here.
    m_pProfile->Delete();
    m_pProfileList->RemoveByName(oldName);
    m_pProfile = replacement;
    return true;
}
