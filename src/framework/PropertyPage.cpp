#include "PropertyPage.h"

#include "PropertySheet.h"

#include <res/Resources.h>

CPropertyPage::CPropertyPage(unsigned templateId) : CDialog(*FindDialogTemplate(templateId)) {}

void CPropertyPage::SetModified(bool changed)
{
    m_bChanged = changed;
    if (m_sheet)
        m_sheet->UpdateApplyButton();
}

bool CPropertyPage::OnKillActive()
{
    return UpdateData(true);
}

bool CPropertyPage::CreatePage(CPropertySheet& sheet, QWidget* frame)
{
    m_sheet = &sheet;
    return CreateChild(frame);
}
