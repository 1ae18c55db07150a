#include "ProfilePropertyPage2.h"

#include "BrowseFileDialog.h"
#include "ProfilePropertySheet.h"

#include <framework/HtmlHelp.h>
#include <framework/DataExchange.h>
#include <framework/StringTable.h>
#include <res/resource.h>

namespace {

constexpr int kExecutableFilesIndex = 1;
constexpr int kAllFilesIndex = 5;

} // namespace

CProfilePropertyPage2::CProfilePropertyPage2() : CPropertyPage(IDD_PROFILE_ADVANCED) {}

void CProfilePropertyPage2::DoDataExchange(CDataExchange* pDX)
{
    DDX_Control(pDX, IDC_ADVANCED_SCRIPT_FILE, m_editScriptFile);
    DDX_Control(pDX, IDC_ADVANCED_LOGIN_APP, m_editLoginApp);
    DDX_Text(pDX, IDC_ADVANCED_LOGIN_APP, m_strLoginApp);
    DDX_Text(pDX, IDC_ADVANCED_SCRIPT_FILE, m_strScriptFile);
}

void CProfilePropertyPage2::OnProfileHelp()
{
    HtmlHelp(GetSafeHwnd(), kHelpProfileTopic, HH_DISPLAY_TOPIC);
}

DispatchTable CProfilePropertyPage2::GetDispatchTable() const
{
    static const DispatchEntry kTable[] = {
        OnCommand(static_cast<int>(ID_HELP), &CProfilePropertyPage2::OnProfileHelp),
        OnCommand(IDC_ADVANCED_BROWSE_LOGIN_APP, &CProfilePropertyPage2::OnBrowseLoginApp),
        OnCommand(IDC_ADVANCED_BROWSE_SCRIPT_FILE, &CProfilePropertyPage2::OnBrowseScriptFile),
        OnEditChange(IDC_ADVANCED_LOGIN_APP, &CProfilePropertyPage2::MarkModified),
        OnEditChange(IDC_ADVANCED_SCRIPT_FILE, &CProfilePropertyPage2::MarkModified),
    };
    return kTable;
}

bool CProfilePropertyPage2::OnInitDialog()
{
    CPropertyPage::OnInitDialog();
    if (m_pSheet && m_pSheet->m_pProfile) {
        m_strLoginApp = m_pSheet->m_pProfile->LoginAppPath;
        m_strScriptFile = m_pSheet->m_pProfile->ScriptPath;
    }
    UpdateData(false);
    return true;
}

void CProfilePropertyPage2::OnBrowseLoginApp()
{
    Browse(IDS_LOGIN_APP_FILTER, IDS_BROWSE_LOGIN_APP, kExecutableFilesIndex, m_strLoginApp);
}

void CProfilePropertyPage2::OnBrowseScriptFile()
{
    Browse(IDS_SCRIPT_FILE_FILTER, IDS_BROWSE_SCRIPT_FILE, kAllFilesIndex, m_strScriptFile);
}

void CProfilePropertyPage2::Browse(unsigned filterId, unsigned titleId, int filterIndex, std::string& field)
{
    std::string filter;
    std::string title;
    LoadString(filterId, filter);
    LoadString(titleId, title);
    CBrowseFileDialog dialog(title, field, filter, filterIndex, this);
    if (dialog.DoModal() != IDOK)
        return;
    UpdateData(true);
    field = dialog.GetPathName();
    UpdateData(false);
    MarkModified();
}

void CProfilePropertyPage2::MarkModified()
{
    SetModified(true);
    if (m_pSheet)
        m_pSheet->m_bModified = true;
}

bool CProfilePropertyPage2::OnApply()
{
    return m_pSheet->ValidateAndSave() && CPropertyPage::OnApply();
}
