#include "LoginDialog.h"

#include <editor/ComboBoxItems.h>

#include <framework/Accelerators.h>
#include <framework/DataExchange.h>
#include <framework/HtmlHelp.h>
#include <framework/MessageBox.h>
#include <framework/StringTable.h>
#include <loginrun/ScriptBackup.h>
#include <platform/SecureWipe.h>
#include <profiles/AppSettings.h>
#include <res/Resources.h>
#include <res/resource.h>
#include <token/TokenServiceCalls.h>

#include <QSocketNotifier>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <vector>

namespace {

constexpr int kMaxUserIdChars = 48;
constexpr int kMaxPinChars = 8;
constexpr std::size_t kMinPinChars = 4;

std::string FieldText(const char* field, std::size_t size)
{
    return std::string(field, ::strnlen(field, size));
}

} // namespace

const unsigned g_rasNotifyMessage = RegisterWindowMessage("KVRasNotify");

CLoginDialog::CLoginDialog(CWnd* parent) : CDialog(*FindDialogTemplate(IDD_LOGIN))
{
    // A run cut short (a crash, kill -9) left passcodes in its script: they go before anything
    // else, and only by the copy that holds the journal, never beside another copy's run.
    if (m_runJournal.Lock())
        RestoreJournalScripts(m_runJournal);
    else
        std::fprintf(stderr,
                     "trevalo: another Trevalo of this user holds the run journal %s: this one puts back no "
                     "script of it and runs no login\n",
                     m_runJournal.Path().c_str());
    OpenTokenService();
    m_pProfileList = std::make_unique<CProfileList>();
    m_hAccel = FindAcceleratorTable(IDR_LOGIN_ACCELERATORS);
    Create(parent);
    m_menuProfile.LoadMenu(IDR_PROFILE_MENU);
}

CLoginDialog::~CLoginDialog()
{
    m_pCurrentProfile = nullptr;
    m_pProfileList.reset();
    if (m_bTokenServiceOpen)
        TokenCalls().CloseTokenService(m_hTokenService);
    SecureWipe(m_strPin);
}

void CLoginDialog::OpenTokenService()
{
    if (TokenCalls().OpenTokenService(&m_hTokenService)) {
        m_bTokenServiceOpen = true;
        return;
    }
    TOKENERROR error{};
    TokenCalls().GetTokenError(m_hTokenService, &error);
    std::string text;
    LoadString(IDS_TOKEN_SERVICE_OPEN_FAILED, text);
    text += ":" + FieldText(error.szFirst, sizeof error.szFirst);
    const std::string second = FieldText(error.szSecond, sizeof error.szSecond);
    if (!second.empty())
        text += ":" + second;
    AfxMessageBox(text, MB_OK | MB_ICONEXCLAMATION);
}

bool CLoginDialog::OnInitDialog()
{
    CDialog::OnInitDialog();
    CAppSettings settings;
    settings.Load();
    m_bAutoExit = settings.m_bAutoExit;
    m_strCurrentProfileName = settings.m_strDefaultProfile;
    m_strNewProfileLoginApp = settings.m_strNewProfileLoginApp;
    m_strNewProfileScript = settings.m_strNewProfileScript;
    m_editPin.Attach(GetControl(IDC_PIN));
    if (m_bTokenServiceOpen)
        LoadTokens();
    const bool loaded = m_pProfileList->LoadAll();
    if (loaded)
        RefreshProfiles(); // which brings the controls up to date
    else
        AfxMessageBox(IDS_PROFILES_READ_FAILED, MB_OK | MB_ICONEXCLAMATION);
    if (!m_pCurrentProfile)
        AfxMessageBox(IDS_NO_VALID_PROFILES, MB_OK | MB_ICONEXCLAMATION);
    if (!loaded)
        UpdateControls();
    AppendSystemMenuEntries();
    HtmlHelp(GetSafeHwnd(), kHelpContextPopups, HH_DESCRIBE_CONTROLS, kLoginContextHelpIds);
    // The focus has been placed; it must stay where it is.
    return false;
}

void CLoginDialog::LoadTokens()
{
    uint32_t count = 0;
    uint32_t unused = 0;
    uint32_t size = 0;
    TokenCalls().EnumToken(m_hTokenService, &count, &unused, nullptr, &size);
    if (count == 0) {
        AfxMessageBox(IDS_NO_TOKENS_FOUND, MB_OK | MB_ICONEXCLAMATION);
        return;
    }
    std::vector<TOKENRECORD> records(count);
    const uint32_t allocated = count;
    size = static_cast<uint32_t>(count * sizeof(TOKENRECORD));
    if (!TokenCalls().EnumToken(m_hTokenService, &count, &unused, records.data(), &size)) {
        TOKENERROR error{};
        TokenCalls().GetTokenError(m_hTokenService, &error);
        AfxMessageBox(FieldText(error.szSecond, sizeof error.szSecond), MB_OK | MB_ICONEXCLAMATION);
        return;
    }
    // Never trust a count beyond the records we made room for.
    m_tokenList.Fill(records.data(), static_cast<int>(std::min(count, allocated)));
    m_tokenList.FillTokenCombo(m_comboToken);
}

void CLoginDialog::DoDataExchange(CDataExchange* pDX)
{
    DDX_Control(pDX, IDC_USER_ID_LABEL, m_staticUserId);
    DDX_Control(pDX, IDC_PROFILE_LABEL, m_staticProfile);
    DDX_Control(pDX, IDC_PIN_LABEL, m_staticPin);
    DDX_Control(pDX, IDC_PROFILE_BUTTON, m_btnProfile);
    DDX_Control(pDX, IDOK, m_btnConnect);
    DDX_Control(pDX, IDC_USER_ID, m_editUserId);
    DDX_Control(pDX, IDC_TOKEN_COMBO, m_comboToken);
    DDX_Control(pDX, IDC_PROFILE_COMBO, m_comboProfile);
    DDX_CBString(pDX, IDC_PROFILE_COMBO, m_strProfileName);
    DDX_Text(pDX, IDC_USER_ID, m_strUserId);
    DDV_MaxChars(pDX, m_strUserId, kMaxUserIdChars);
    DDX_Text(pDX, IDC_PIN, m_strPin);
    DDV_MaxChars(pDX, m_strPin, kMaxPinChars);
}

DispatchTable CLoginDialog::GetDispatchTable() const
{
    static const DispatchEntry kTable[] = {
        OnCommand(IDC_PROFILE_BUTTON, &CLoginDialog::OnProfileButton),
        OnSelChange(IDC_PROFILE_COMBO, &CLoginDialog::OnProfileSelChange),
        OnSelChange(IDC_TOKEN_COMBO, &CLoginDialog::OnTokenSelChange),
        OnEditChange(IDC_USER_ID, &CLoginDialog::OnUserIdChange),
        OnCommand(ID_PROFILE_NEW, &CLoginDialog::OnProfileNew),
        OnCommand(ID_PROFILE_EDIT, &CLoginDialog::OnProfileEdit),
        OnCommand(ID_PROFILE_DELETE, &CLoginDialog::OnProfileDelete),
        OnCommand(ID_TEST_SCRIPT, &CLoginDialog::OnTestScript),
        OnCommand(ID_HELP_COMMAND, &CLoginDialog::OnHelp),
    };
    return kTable;
}

MessageTable CLoginDialog::GetMessageTable() const
{
    static const MessageEntry kTable[] = {
        OnRegisteredMessage(g_rasNotifyMessage, &CLoginDialog::OnRasNotify),
    };
    return kTable;
}

void CLoginDialog::UpdateControls()
{
    const bool haveProfile = m_pCurrentProfile != nullptr;
    if (haveProfile) {
        m_strProfileName = m_pCurrentProfile->ProfileName;
        m_strUserId = m_pCurrentProfile->UserLogin;
    }
    const bool showUserId = !haveProfile || m_pCurrentProfile->UserLoginRequired;
    m_editUserId.ShowWindow(showUserId ? SW_SHOW : SW_HIDE);
    m_staticUserId.ShowWindow(showUserId ? SW_SHOW : SW_HIDE);
    for (CWnd* control : {static_cast<CWnd*>(&m_comboProfile), static_cast<CWnd*>(&m_comboToken),
                          static_cast<CWnd*>(&m_editUserId), static_cast<CWnd*>(&m_editPin)})
        control->EnableWindow(haveProfile);
    m_btnConnect.EnableWindow(false);
    if (haveProfile && m_bProfileUsable && !m_tokenList.GetSelectedSerial(m_comboToken).empty()) {
        m_btnConnect.EnableWindow(true);
        SetDefID(IDOK);
    }
    if (!haveProfile) {
        SetDefID(IDC_PROFILE_BUTTON);
        m_btnProfile.SetFocus();
    }
    m_btnProfile.EnableWindow(true);
    UpdateData(false);
}

void CLoginDialog::RefreshProfiles()
{
    CComboBoxItems items(m_comboProfile);
    m_pProfileList->FillProfileCombo(items);
    if (m_pCurrentProfile)
        m_strCurrentProfileName = m_pCurrentProfile->ProfileName;
    m_pCurrentProfile = m_pProfileList->GetFirst();
    if (!m_strCurrentProfileName.empty()) {
        if (ConnectionProfile* remembered = m_pProfileList->FindByName(m_strCurrentProfileName))
            m_pCurrentProfile = remembered;
    }
    m_comboProfile.SetCurSel(0);
    m_comboProfile.SelectString(-1, m_strCurrentProfileName);
    // Choosing a profile ends with the controls brought up to date.
    if (!m_strCurrentProfileName.empty())
        OnProfileSelChange();
    else
        UpdateControls();
}

void CLoginDialog::OnProfileSelChange()
{
    const int selected = m_comboProfile.GetCurSel();
    m_strCurrentProfileName = selected >= 0 ? m_comboProfile.GetLBText(selected) : std::string();
    m_pCurrentProfile = m_pProfileList->FindByName(m_strCurrentProfileName);
    CAppSettings::SaveDefaultProfile(m_strCurrentProfileName);
    TakeCurrentProfile();
}

void CLoginDialog::TakeCurrentProfile()
{
    if (m_pCurrentProfile) {
        const ConnectionProfile& profile = *m_pCurrentProfile;
        m_bProfileUsable = true;
        if (!m_pProfileList->GetPhonebookEntries().Contains(profile.DUNPhonebookEntry)) {
            AfxMessageBox(FormatString2(IDS_PHONEBOOK_ENTRY_MISSING, profile.DUNPhonebookEntry, profile.ProfileName),
                          MB_OK | MB_ICONEXCLAMATION);
            m_bProfileUsable = false;
        }
        if (!profile.TokenSerialNumber.empty() && !m_tokenList.SelectInCombo(profile.TokenSerialNumber, m_comboToken))
            AfxMessageBox(FormatString2(IDS_TOKEN_MISSING, profile.TokenSerialNumber, profile.ProfileName),
                          MB_OK | MB_ICONEXCLAMATION);
    } else {
        m_bProfileUsable = false;
    }
    UpdateControls();
}

void CLoginDialog::ClearPin()
{
    SecureWipe(m_strPin);
    m_editPin.SetWindowText("");
}

void CLoginDialog::OnTokenSelChange()
{
    ClearPin();
    UpdateControls();
}

void CLoginDialog::OnUserIdChange()
{
    ClearPin();
}

bool CLoginDialog::CheckEntries()
{
    if (m_pCurrentProfile->UserLoginRequired && m_strUserId.empty()) {
        AfxMessageBox(IDS_ENTER_USER_ID, MB_OK | MB_ICONEXCLAMATION);
        m_editUserId.SetFocus();
        return false;
    }
    if (m_strPin.empty()) {
        AfxMessageBox(IDS_ENTER_PIN, MB_OK | MB_ICONEXCLAMATION);
        m_editPin.SetFocus();
        return false;
    }
    if (m_strPin.size() < kMinPinChars) {
        AfxMessageBox(IDS_PIN_TOO_SHORT, MB_OK | MB_ICONEXCLAMATION);
        m_editPin.SetFocus();
        return false;
    }
    return true;
}

void CLoginDialog::OnProfileButton()
{
    const QRect button = m_btnProfile.GetWindowRect();
    const unsigned state = m_pCurrentProfile ? MF_ENABLED : MF_GRAYED;
    for (const unsigned command : {ID_PROFILE_EDIT, ID_PROFILE_DELETE, ID_TEST_SCRIPT})
        m_menuProfile.EnableMenuItem(command, MF_BYCOMMAND | state);
    m_menuProfile.TrackPopupMenu(TPM_LEFTALIGN | TPM_RIGHTBUTTON, QPoint(button.right() + 1, button.top()), *this);
}

bool CLoginDialog::PreTranslateMessage(QKeyEvent* message)
{
    if (m_hAccel && TranslateAccelerator(*this, *m_hAccel, message))
        return true;
    return CDialog::PreTranslateMessage(message);
}

// The window is gone: the object frees itself. The framework ends the program with its main window.
void CLoginDialog::PostNcDestroy()
{
    delete this;
}
