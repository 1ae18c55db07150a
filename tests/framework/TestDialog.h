#pragma once

#include <framework/Button.h>
#include <framework/ComboBox.h>
#include <framework/DataExchange.h>
#include <framework/Dialog.h>
#include <framework/Edit.h>

#include <string>
#include <vector>

// A dialog for framework tests: a sorted drop-down list, a name field, a digits-only field, a
// check box and three buttons; it records what reaches its handlers.
inline constexpr int kCombo = 100;
inline constexpr int kName = 101;
inline constexpr int kDigits = 102;
inline constexpr int kCheck = 103;
inline constexpr int kAction = 104;
inline constexpr int kNameLabel = 105;

class CDigitsEdit : public CEdit {
protected:
    void OnChar(unsigned character) override
    {
        if ((character >= '0' && character <= '9') || character == 8)
            CEdit::OnChar(character);
    }
};

class CTestDialog : public CDialog {
public:
    CTestDialog();

    std::vector<std::string> events;
    std::string m_strChoice;
    std::string m_strName;
    int m_nChecked = 0;
    CComboBox m_combo;
    CDigitsEdit m_digits;
    CEdit m_name;
    bool m_bAcceleratorOnF2 = false;

    void OnOK() override;
    void OnCancel() override;
    void OnAction() { events.push_back("action"); }
    void OnComboChange() { events.push_back("selchange"); }
    void OnNameChange() { events.push_back("namechange"); }
    using CDialog::OnInitDialog;

protected:
    void DoDataExchange(CDataExchange* pDX) override;
    void OnTimer(unsigned id) override { events.push_back("timer " + std::to_string(id)); }
    void PostNcDestroy() override { events.push_back("destroyed"); }
    bool PreTranslateMessage(QKeyEvent* message) override;
    DispatchTable GetDispatchTable() const override;
};
