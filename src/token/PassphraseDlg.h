#pragma once

#include <framework/Dialog.h>

#include <string>

// Asks for a token's passphrase before the token is selected. The text is masked while typed
// and wiped when the dialog goes.
class CPassphraseDlg : public CDialog {
public:
    CPassphraseDlg();
    ~CPassphraseDlg() override;

    std::string m_strPassphrase;

protected:
    void DoDataExchange(CDataExchange* pDX) override;
};
