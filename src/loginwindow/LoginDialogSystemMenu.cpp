// The login window's system menu: AutoExit and the About box.
#include "LoginDialog.h"

#include <app/AboutDlg.h>
#include <framework/StringTable.h>
#include <profiles/AppSettings.h>
#include <res/resource.h>

void CLoginDialog::AppendSystemMenuEntries()
{
    CMenu* menu = GetSystemMenu(false);
    std::string autoExit;
    LoadString(IDS_AUTO_EXIT, autoExit);
    menu->AppendMenu(MF_SEPARATOR);
    menu->AppendMenu(MF_STRING | (m_bAutoExit ? MF_CHECKED : MF_UNCHECKED), ID_AUTO_EXIT, autoExit);
    menu->AppendMenu(MF_SEPARATOR);
    menu->AppendMenu(MF_STRING, IDM_ABOUTBOX, "&About Trevalo");
}

void CLoginDialog::OnSysCommand(unsigned nID, long lParam)
{
    if (nID == ID_AUTO_EXIT) {
        m_bAutoExit = !m_bAutoExit;
        // A failed write is not reported: the switch still holds for this run.
        CAppSettings::SaveAutoExit(m_bAutoExit);
        GetSystemMenu(false)->CheckMenuItem(ID_AUTO_EXIT,
                                            MF_BYCOMMAND | (m_bAutoExit ? MF_CHECKED : MF_UNCHECKED));
    } else if (nID == IDM_ABOUTBOX) {
        CAboutDlg about;
        about.DoModal();
    }
    CDialog::OnSysCommand(nID, lParam);
}
