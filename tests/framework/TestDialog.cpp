#include "TestDialog.h"

#include <framework/Accelerators.h>

#include <QKeyEvent>

namespace {

constexpr ControlTemplate kControls[] = {
    {kNameLabel, ControlKind::Static, "&Name", 4, 4, 40, 8, SS_RIGHT},
    {kName, ControlKind::Edit, "", 48, 4, 100, 12, WS_BORDER | WS_TABSTOP},
    {kCombo, ControlKind::DropDownList, "", 48, 20, 100, 60, CBS_SORT | WS_TABSTOP},
    {IDC_STATIC, ControlKind::Static, "&Digits", 4, 38, 40, 8},
    {kDigits, ControlKind::Edit, "", 48, 36, 60, 12, WS_BORDER | ES_PASSWORD | WS_TABSTOP},
    {kCheck, ControlKind::CheckBox, "Check", 48, 52, 60, 10, WS_TABSTOP},
    {1, ControlKind::DefPushButton, "OK", 4, 70, 40, 14, WS_TABSTOP},
    {2, ControlKind::PushButton, "Cancel", 50, 70, 40, 14, WS_TABSTOP},
    {kAction, ControlKind::PushButton, "&Action", 96, 70, 40, 14, WS_TABSTOP},
};

constexpr DialogTemplate kTemplate = {1, "Test dialog", 160, 90, 0, kControls};

constexpr AcceleratorEntry kAccelerators[] = {{Qt::Key_F2, Qt::NoModifier, static_cast<unsigned>(kAction)}};
constexpr AcceleratorTable kAcceleratorTable = {1, kAccelerators};

} // namespace

CTestDialog::CTestDialog() : CDialog(kTemplate) {}

void CTestDialog::DoDataExchange(CDataExchange* pDX)
{
    DDX_Control(pDX, kCombo, m_combo);
    DDX_Control(pDX, kDigits, m_digits);
    DDX_Control(pDX, kName, m_name);
    DDX_CBString(pDX, kCombo, m_strChoice);
    DDX_Text(pDX, kName, m_strName);
    DDV_MaxChars(pDX, m_strName, 5);
    DDX_Check(pDX, kCheck, m_nChecked);
}

void CTestDialog::OnOK()
{
    events.push_back("ok");
    CDialog::OnOK();
}

void CTestDialog::OnCancel()
{
    events.push_back("cancel");
    CDialog::OnCancel();
}

bool CTestDialog::PreTranslateMessage(QKeyEvent* message)
{
    if (m_bAcceleratorOnF2 && TranslateAccelerator(*this, kAcceleratorTable, message))
        return true;
    return CDialog::PreTranslateMessage(message);
}

DispatchTable CTestDialog::GetDispatchTable() const
{
    static const DispatchEntry kTable[] = {
        OnCommand(kAction, &CTestDialog::OnAction),
        OnSelChange(kCombo, &CTestDialog::OnComboChange),
        OnEditChange(kName, &CTestDialog::OnNameChange),
    };
    return kTable;
}
