#include "PropertyPage.h"

#include <res/Resources.h>

CPropertyPage::CPropertyPage(unsigned templateId) : CDialog(*FindDialogTemplate(templateId)) {}

void CPropertyPage::SetModified(bool changed)
{
    m_bChanged = changed;
    if (m_onModified)
        m_onModified();
}

bool CPropertyPage::OnKillActive()
{
    return UpdateData(true);
}

bool CPropertyPage::CreatePage(QWidget* frame, std::function<void()> onModified)
{
    m_onModified = std::move(onModified);
    return CreateChild(frame);
}
