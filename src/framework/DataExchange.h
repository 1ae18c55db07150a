#pragma once

#include <string>

class CButton;
class CDialog;
class CWnd;
class QWidget;

// One exchange between a dialog's controls and its members, loading (members to controls) or
// saving and validating (controls to members).
class CDataExchange {
public:
    CDataExchange(CDialog& dialog, bool saveAndValidate) : m_pDlgWnd(&dialog), m_bSaveAndValidate(saveAndValidate) {}

    // The control `id` of the dialog, remembered for a following validation.
    QWidget* PrepareCtrl(int id);
    // Reports a failed validation: the focus goes to the last control and the exchange fails.
    void Fail();

    CDialog* m_pDlgWnd;
    bool m_bSaveAndValidate;
    bool m_bFailed = false;
    QWidget* m_pLastControl = nullptr;
};

// Binds `control` to control `id` the first time.
void DDX_Control(CDataExchange* pDX, int id, CWnd& control);
// An edit field's or label's text.
void DDX_Text(CDataExchange* pDX, int id, std::string& value);
// A drop-down list: loading selects the first item that begins with `value` without regard to
// case (an unmatched value leaves the selection); saving reads the selected item's text.
void DDX_CBString(CDataExchange* pDX, int id, std::string& value);
// A check box: 0 or 1.
void DDX_Check(CDataExchange* pDX, int id, int& value);
// Loading limits the last edit field to `maxChars`; saving refuses a longer value.
void DDV_MaxChars(CDataExchange* pDX, const std::string& value, int maxChars);
