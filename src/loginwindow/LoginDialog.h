#pragma once

#include "PinEdit.h"

#include <framework/Button.h>
#include <framework/ComboBox.h>
#include <framework/Dialog.h>
#include <framework/Edit.h>
#include <framework/Menu.h>
#include <framework/Static.h>
#include <loginrun/RunJournal.h>
#include <loginrun/ScriptRewrite.h>
#include <loginrun/ScriptRun.h>
#include <platform/ChildProcess.h>
#include <platform/ProgramOutput.h>
#include <profiles/ProfileList.h>
#include <res/AcceleratorResource.h>
#include <token/TokenList.h>

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

class QSocketNotifier;

// The registered message "KVRasNotify", posted by a dial-up notifier: word parameter 0 ends the
// run like Cancel, 1 to 4 report a dial-up error.
extern const unsigned g_rasNotifyMessage;

// The program's main window: picks a connection profile and a token, takes the user ID and the
// PIN, and owns the token service connection, the token list and the profile list. It is
// modeless and frees itself when its window is destroyed.
class CLoginDialog : public CDialog {
public:
    // Opens the token service, loads the profiles and shows the window.
    explicit CLoginDialog(CWnd* parent = nullptr);
    ~CLoginDialog() override;

    void RefreshProfiles();
    void OnProfileSelChange();
    // Checks the current profile's phonebook entry and token, then updates the controls.
    void TakeCurrentProfile();
    void OnTokenSelChange();
    void OnUserIdChange();
    void OnProfileButton();
    void OnProfileNew();
    void OnProfileEdit();
    void OnProfileDelete();
    void UpdateControls();
    bool CheckEntries();
    bool PreTranslateMessage(QKeyEvent* message) override;
    void OnHelp();
    bool OnHelpInfo(HELPINFO* pHelpInfo) override;

    // The login run.
    void OnOK() override;
    void OnCancel() override;
    void OnTestScript();
    bool StartLoginRun(bool testMode);
    void OnTimer(unsigned id) override;
    // Tests whether the started program has ended; always 0 (no more idle time wanted).
    long PollLoginApplication(long count);
    LRESULT OnRasNotify(WPARAM wParam, LPARAM lParam);
    // True when the user's session may end now.
    bool OnQueryEndSession();
    bool RewriteScript(const CHeldFolder& folder, const JournalEntry& entry);
    bool RestoreScript();

    CStatic m_staticUserId;
    CStatic m_staticProfile;
    CStatic m_staticPin;
    CButton m_btnProfile;
    CButton m_btnConnect;
    CEdit m_editUserId;
    CComboBox m_comboToken;
    CComboBox m_comboProfile;
    std::string m_strProfileName;
    std::string m_strPin;
    CPinEdit m_editPin;
    CMenu m_menuProfile;
    std::unique_ptr<CProfileList> m_pProfileList;
    ConnectionProfile* m_pCurrentProfile = nullptr;
    std::int32_t m_nRemainingMs = 0;
    std::string m_strCurrentProfileName;
    std::string m_strUserId;
    CTokenList m_tokenList;
    bool m_bTokenServiceOpen = false;
    std::int32_t m_bWaitForLoginApp = 0;
    TOKEN_HANDLE m_hTokenService = 0;
    bool m_bTestRun = false;
    RunPasscodes m_passcodes; // the three passcodes and the unread fourth output
    std::string m_strNewProfileLoginApp;
    std::string m_strNewProfileScript;
    bool m_bScriptReplaced = false;
    bool m_bAutoExit = false;
    bool m_bProfileUsable = false;
    const AcceleratorTable* m_hAccel = nullptr;
    std::unique_ptr<CChildProcess> m_hLoginAppProcess;
    // The run's own script, token and user ID rule: a restore owed after the run goes to this
    // script, and a rewrite fills it, even when another profile has been chosen since.
    std::unique_ptr<CScriptRun> m_pScriptRun;
    std::string m_strRunSerial;
    bool m_bRunUserLoginRequired = false;
    std::string m_strRunLoginApp;
    // The output of the login applications started: the current run's, and earlier ones that
    // something they left running still writes to.
    std::vector<std::unique_ptr<CProgramOutput>> m_loginAppOutputs;
    CProgramOutput* m_pRunOutput = nullptr;

protected:
    bool OnInitDialog() override;
    void DoDataExchange(CDataExchange* pDX) override;
    void PostNcDestroy() override;
    DispatchTable GetDispatchTable() const override;
    MessageTable GetMessageTable() const override;
    void OnSysCommand(unsigned nID, long lParam) override;

private:
    void OpenTokenService();
    void LoadTokens();
    void ClearPin();
    void StartRun(bool testMode);
    bool SelectRunToken(const std::string& serial);
    bool StartProgram(bool testMode, CScriptRun& run);
    std::unique_ptr<CChildProcess> StartLoginApp(const std::string& commandLine, int& error);
    void WatchProgram(std::unique_ptr<CChildProcess> process);
    // The message for a login application that ended other than with status 0; empty otherwise.
    std::string LoginFailure();
    void StartTimers();
    void EndRunTimers();
    void DisableEntryControls();
    void ShowAgain();
    ScriptRewriter RunRewriter();
    // The user's text of the run is back: no restore is owed any more.
    void SettleRun();

    // Held for the window's life, which is the program's: only this copy restores its runs.
    CRunJournal m_runJournal;
    std::unique_ptr<QSocketNotifier> m_pExitNotifier; // wakes the event loop when the program ends
    void AppendSystemMenuEntries();
};
