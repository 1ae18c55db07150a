#include "Edit.h"

#include <QEvent>
#include <QKeyEvent>
#include <QLineEdit>

// Turns key presses into typed characters for OnChar; keys that type nothing (arrows, Home,
// Delete, function keys) go to the field untouched.
class CEdit::CharFilter : public QObject {
public:
    explicit CharFilter(CEdit& edit) : m_edit(edit) {}

protected:
    bool eventFilter(QObject*, QEvent* event) override
    {
        if (event->type() != QEvent::KeyPress && event->type() != QEvent::ShortcutOverride)
            return false;
        const unsigned character = TypedCharacter(*static_cast<QKeyEvent*>(event));
        if (character == 0)
            return false;
        if (event->type() == QEvent::ShortcutOverride) {
            // Keep Ctrl+V and the like from the field's shortcuts: they come as typed characters.
            event->accept();
            return true;
        }
        m_edit.m_charAccepted = false;
        m_edit.OnChar(character);
        return !m_edit.m_charAccepted;
    }

private:
    static unsigned TypedCharacter(const QKeyEvent& key)
    {
        // Alt+letter is a mnemonic or an accelerator, never a typed character.
        if (key.modifiers() & Qt::AltModifier)
            return 0;
        if (key.key() == Qt::Key_Backspace)
            return 8;
        if ((key.modifiers() & Qt::ControlModifier) && key.key() >= Qt::Key_A && key.key() <= Qt::Key_Z)
            return static_cast<unsigned>(key.key() - Qt::Key_A + 1);
        const QString text = key.text();
        if (text.isEmpty() || key.key() == Qt::Key_Tab || key.key() == Qt::Key_Backtab ||
            key.key() == Qt::Key_Return || key.key() == Qt::Key_Enter || key.key() == Qt::Key_Escape)
            return 0;
        const char16_t first = text.at(0).unicode();
        return first < 0x20 || first == 0x7f ? 0 : first;
    }

    CEdit& m_edit;
};

CEdit::CEdit() : m_filter(std::make_unique<CharFilter>(*this)) {}

CEdit::~CEdit()
{
    if (m_hWnd)
        m_hWnd->removeEventFilter(m_filter.get());
}

void CEdit::Attach(QWidget* widget)
{
    CWnd::Attach(widget);
    widget->installEventFilter(m_filter.get());
}

QLineEdit* CEdit::LineEdit() const
{
    return qobject_cast<QLineEdit*>(m_hWnd.data());
}

void CEdit::LimitText(int maxChars)
{
    LineEdit()->setMaxLength(maxChars > 0 ? maxChars : 32767);
}

bool CEdit::IsPasswordStyle() const
{
    return LineEdit()->echoMode() == QLineEdit::Password;
}

void CEdit::OnChar(unsigned)
{
    m_charAccepted = true;
}
