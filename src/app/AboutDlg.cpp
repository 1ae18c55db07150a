#include "AboutDlg.h"

#include <framework/DataExchange.h>
#include <framework/StringTable.h>
#include <res/Resources.h>
#include <res/resource.h>

namespace {

constexpr std::string_view kVersion = "3.0.1 [004]";
// The version is copied through a buffer of this many characters, its terminating zero included.
constexpr std::size_t kVersionBuffer = 40;

} // namespace

CAboutDlg::CAboutDlg() : CDialog(*FindDialogTemplate(IDD_ABOUTBOX)) {}

bool CAboutDlg::OnInitDialog()
{
    CDialog::OnInitDialog();
    std::string text;
    LoadString(IDS_VERSION, text);
    text += kVersion.substr(0, kVersionBuffer - 1);
    m_strVersion = text;
    UpdateData(false);
    return true;
}

void CAboutDlg::DoDataExchange(CDataExchange* pDX)
{
    DDX_Text(pDX, IDC_VERSION, m_strVersion);
}
