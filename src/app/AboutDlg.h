#pragma once

#include <framework/Dialog.h>

#include <string>

// The About box: the program's name, icon and version.
class CAboutDlg : public CDialog {
public:
    CAboutDlg();

    std::string m_strVersion;

protected:
    bool OnInitDialog() override;
    void DoDataExchange(CDataExchange* pDX) override;
};
