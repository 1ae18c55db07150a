#include "PassphraseDlg.h"

#include <framework/DataExchange.h>
#include <platform/SecureWipe.h>
#include <res/Resources.h>
#include <res/resource.h>

CPassphraseDlg::CPassphraseDlg() : CDialog(*FindDialogTemplate(IDD_PASSPHRASE)) {}

CPassphraseDlg::~CPassphraseDlg()
{
    SecureWipe(m_strPassphrase);
}

void CPassphraseDlg::DoDataExchange(CDataExchange* pDX)
{
    DDX_Text(pDX, IDC_PASSPHRASE, m_strPassphrase);
}
