#pragma once

#include "Wnd.h"

#include <QObject>

#include <memory>

class QLineEdit;

// A single-line edit field. Typed characters pass through OnChar first, so a derived class can
// filter them; text that arrives any other way (an input method, a paste, a drop) is refused
// unless OnChar would take each of its characters. Its text-change notification comes on every
// change, programmatic ones included.
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
    // It decides on the character alone: it is also asked about characters that were not typed.
    virtual void OnChar(unsigned character);

    QLineEdit* LineEdit() const;

private:
    class CharFilter;
    class CharValidator;
    bool WouldTake(unsigned character);

    std::unique_ptr<CharFilter> m_filter;
    bool m_charAccepted = false;
};
