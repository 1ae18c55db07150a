#pragma once

#include "PinEdit.h"

#include <framework/Button.h>
#include <framework/ComboBox.h>
#include <framework/Dialog.h>
#include <framework/Edit.h>
#include <framework/Menu.h>
#include <framework/Static.h>
#include <profiles/ProfileList.h>
#include <res/AcceleratorResource.h>
#include <token/TokenList.h>

#include <memory>
#include <string>

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
    void OnTokenSelChange();
    void OnUserIdChange();
    void OnProfileButton();
    void UpdateControls();
    bool CheckEntries();
    bool PreTranslateMessage(QKeyEvent* message) override;
    void OnHelp();
    bool OnHelpInfo(HELPINFO* pHelpInfo) override;

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
    std::string m_strCurrentProfileName;
    std::string m_strUserId;
    CTokenList m_tokenList;
    bool m_bTokenServiceOpen = false;
    TOKEN_HANDLE m_hTokenService = 0;
    std::string m_strNewProfileLoginApp;
    std::string m_strNewProfileScript;
    bool m_bAutoExit = false;
    bool m_bProfileUsable = false;
    const AcceleratorTable* m_hAccel = nullptr;

protected:
    bool OnInitDialog() override;
    void DoDataExchange(CDataExchange* pDX) override;
    void PostNcDestroy() override;
    DispatchTable GetDispatchTable() const override;
    void OnSysCommand(unsigned nID, long lParam) override;

private:
    void OpenTokenService();
    void LoadTokens();
    void ClearPin();
    void AppendSystemMenuEntries();
};
