#include "DataExchange.h"

#include "Button.h"
#include "ComboBox.h"
#include "Dialog.h"
#include "MessageBox.h"
#include "StringTable.h"

#include <QComboBox>
#include <QLineEdit>

QWidget* CDataExchange::PrepareCtrl(int id)
{
    m_pLastControl = m_pDlgWnd->GetControl(id);
    return m_pLastControl;
}

void CDataExchange::Fail()
{
    if (m_pLastControl) {
        m_pLastControl->setFocus(Qt::OtherFocusReason);
        if (auto* edit = qobject_cast<QLineEdit*>(m_pLastControl))
            edit->selectAll();
    }
    m_bFailed = true;
}

void DDX_Control(CDataExchange* pDX, int id, CWnd& control)
{
    QWidget* widget = pDX->PrepareCtrl(id);
    if (widget && control.GetSafeHwnd() != widget)
        control.Attach(widget);
}

void DDX_Text(CDataExchange* pDX, int id, std::string& value)
{
    CWnd control;
    control.Attach(pDX->PrepareCtrl(id));
    if (pDX->m_bSaveAndValidate)
        value = control.GetWindowText();
    else
        control.SetWindowText(value);
}

void DDX_CBString(CDataExchange* pDX, int id, std::string& value)
{
    CComboBox combo;
    QWidget* widget = pDX->PrepareCtrl(id);
    if (!qobject_cast<QComboBox*>(widget))
        return;
    combo.Attach(widget);
    if (pDX->m_bSaveAndValidate)
        value = combo.GetWindowText();
    else
        combo.SelectString(-1, value);
}

void DDX_Check(CDataExchange* pDX, int id, int& value)
{
    CButton button;
    button.Attach(pDX->PrepareCtrl(id));
    if (pDX->m_bSaveAndValidate)
        value = button.GetCheck();
    else
        button.SetCheck(value);
}

void DDV_MaxChars(CDataExchange* pDX, const std::string& value, int maxChars)
{
    auto* edit = qobject_cast<QLineEdit*>(pDX->m_pLastControl);
    if (!pDX->m_bSaveAndValidate) {
        if (edit)
            edit->setMaxLength(maxChars);
        return;
    }
    if (QString::fromStdString(value).size() > maxChars) {
        AfxMessageBox(FormatText("Please enter no more than %1 characters.", std::to_string(maxChars)));
        pDX->Fail();
    }
}
