// The login window's help: the overview topic and the popups of its controls.
#include "LoginDialog.h"

#include <framework/HtmlHelp.h>
#include <res/HelpTopics.h>

void CLoginDialog::OnHelp()
{
    HtmlHelp(GetSafeHwnd(), kHelpOverviewTopic, HH_DISPLAY_TOPIC);
}

bool CLoginDialog::OnHelpInfo(HELPINFO* pHelpInfo)
{
    if (pHelpInfo->iContextType != HELPINFO_WINDOW)
        return true;
    return HtmlHelp(pHelpInfo->hItemHandle, kHelpContextPopups, HH_TP_HELP_WM_HELP, kLoginContextHelpIds) !=
           nullptr;
}
