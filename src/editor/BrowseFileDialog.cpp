#include "BrowseFileDialog.h"

#include <framework/MessageBox.h> // IDOK
#include <framework/StringTable.h>
#include <res/resource.h>

CBrowseFileDialog::CBrowseFileDialog(const std::string& title, const std::string& startPath,
                                     const std::string& filter, int filterIndex, CWnd* parent)
    : CFileDialog(OFN_FILEMUSTEXIST | OFN_HIDEREADONLY, filter, parent)
{
    m_ofn.lpstrTitle = title;
    m_ofn.nFilterIndex = filterIndex;
    const std::size_t slash = startPath.rfind('/');
    if (slash == std::string::npos)
        return;
    // A file right in the root directory starts there, not in the toolkit's default.
    m_ofn.lpstrInitialDir = slash == 0 ? "/" : startPath.substr(0, slash);
    m_ofn.lpstrFile = startPath.substr(slash + 1);
}

bool CBrowseFileDialog::OnInitDialog()
{
    std::string select;
    LoadString(IDS_SELECT_BUTTON, select);
    SetControlText(IDOK, select);
    return CFileDialog::OnInitDialog();
}
