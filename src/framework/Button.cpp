#include "Button.h"

#include <QAbstractButton>

int CButton::GetCheck() const
{
    const auto* button = qobject_cast<QAbstractButton*>(m_hWnd.data());
    return button && button->isChecked() ? BST_CHECKED : BST_UNCHECKED;
}

void CButton::SetCheck(int state)
{
    if (auto* button = qobject_cast<QAbstractButton*>(m_hWnd.data()))
        button->setChecked(state == BST_CHECKED);
}
