#include "Edit.h"

#include <QEvent>
#include <QKeyEvent>
#include <QLineEdit>
#include <QValidator>

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
        return !m_edit.WouldTake(character);
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

// Holds text that was not typed (an input method's commit, a paste, a drop) to the rule of typed
// characters; the field keeps its previous text when any character would be dropped.
class CEdit::CharValidator : public QValidator {
public:
    CharValidator(CEdit& edit, QObject* parent) : QValidator(parent), m_edit(edit) {}

    State validate(QString& input, int&) const override
    {
        for (const QChar character : input)
            if (!m_edit.WouldTake(character.unicode()))
                return Invalid;
        return Acceptable;
    }

private:
    CEdit& m_edit;
};

CEdit::CEdit() : m_filter(std::make_unique<CharFilter>(*this)) {}

CEdit::~CEdit()
{
    if (m_hWnd)
        m_hWnd->removeEventFilter(m_filter.get());
    // The field may outlive this object; its validator must not.
    if (QLineEdit* edit = LineEdit())
        delete edit->validator();
}

void CEdit::Attach(QWidget* widget)
{
    CWnd::Attach(widget);
    widget->installEventFilter(m_filter.get());
    if (QLineEdit* edit = LineEdit())
        edit->setValidator(new CharValidator(*this, edit));
}

bool CEdit::WouldTake(unsigned character)
{
    m_charAccepted = false;
    OnChar(character);
    return m_charAccepted;
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
