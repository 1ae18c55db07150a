#pragma once

#include "Wnd.h"

#include <QObject>

#include <memory>

class QLineEdit;

// A single-line edit field. Typed characters pass through OnChar first, so a derived class can
// filter them; its text-change notification comes on every change, programmatic ones included.
class CEdit : public CWnd {
public:
    CEdit();
    ~CEdit() override;

    void Attach(QWidget* widget) override;
    // At most `maxChars` characters; 0 for no limit.
    void LimitText(int maxChars);
    bool IsPasswordStyle() const;

protected:
    // A typed character; the base class lets the field take it. Not calling it drops the
    // character. Control characters from Ctrl+letter arrive as codes 1 to 26, backspace as 8.
    virtual void OnChar(unsigned character);

    QLineEdit* LineEdit() const;

private:
    class CharFilter;
    std::unique_ptr<CharFilter> m_filter;
    bool m_charAccepted = false;
};
