#include "Wnd.h"

#include <QAbstractButton>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QVariant>

namespace {
constexpr const char* kIdProperty = "trevaloControlId";
}

int ControlIdOf(const QWidget* widget)
{
    const QVariant id = widget ? widget->property(kIdProperty) : QVariant();
    return id.isValid() ? id.toInt() : -1;
}

void SetControlId(QWidget* widget, int id)
{
    widget->setProperty(kIdProperty, id);
}

int CWnd::GetDlgCtrlID() const
{
    return ControlIdOf(m_hWnd);
}

void CWnd::EnableWindow(bool enable)
{
    if (m_hWnd)
        m_hWnd->setEnabled(enable);
}

bool CWnd::IsWindowEnabled() const
{
    return m_hWnd && m_hWnd->isEnabled();
}

void CWnd::ShowWindow(int command)
{
    if (!m_hWnd)
        return;
    switch (command) {
    case SW_HIDE:
        m_hWnd->hide();
        break;
    case SW_SHOWMINIMIZED:
    case SW_SHOWMINNOACTIVE:
    case SW_MINIMIZE:
        m_hWnd->showMinimized();
        break;
    case SW_SHOWNORMAL:
    case SW_RESTORE:
        m_hWnd->setWindowState(m_hWnd->windowState() & ~(Qt::WindowMinimized | Qt::WindowMaximized));
        m_hWnd->show();
        break;
    default:
        m_hWnd->show();
        break;
    }
}

bool CWnd::IsWindowVisible() const
{
    return m_hWnd && m_hWnd->isVisible();
}

bool CWnd::IsIconic() const
{
    return m_hWnd && m_hWnd->isMinimized();
}

void CWnd::BringWindowToTop()
{
    if (!m_hWnd)
        return;
    m_hWnd->raise();
    m_hWnd->activateWindow();
}

void CWnd::SetWindowText(std::string_view text)
{
    if (!m_hWnd)
        return;
    const QString qtext = QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
    if (auto* edit = qobject_cast<QLineEdit*>(m_hWnd))
        edit->setText(qtext);
    else if (auto* label = qobject_cast<QLabel*>(m_hWnd))
        label->setText(qtext);
    else if (auto* button = qobject_cast<QAbstractButton*>(m_hWnd))
        button->setText(qtext);
    else if (m_hWnd->isWindow())
        m_hWnd->setWindowTitle(qtext);
}

std::string CWnd::GetWindowText() const
{
    if (!m_hWnd)
        return {};
    QString text;
    if (auto* edit = qobject_cast<QLineEdit*>(m_hWnd))
        text = edit->text();
    else if (auto* label = qobject_cast<QLabel*>(m_hWnd))
        text = label->text();
    else if (auto* button = qobject_cast<QAbstractButton*>(m_hWnd))
        text = button->text();
    else if (auto* combo = qobject_cast<QComboBox*>(m_hWnd))
        text = combo->currentIndex() >= 0 ? combo->currentText() : QString();
    else
        text = m_hWnd->windowTitle();
    return text.toStdString();
}

void CWnd::SetFocus()
{
    if (m_hWnd)
        m_hWnd->setFocus(Qt::OtherFocusReason);
}

bool CWnd::HasFocus() const
{
    // The focus within its window, whether or not that window is active.
    return m_hWnd && m_hWnd->window()->focusWidget() == m_hWnd;
}

QRect CWnd::GetWindowRect() const
{
    if (!m_hWnd)
        return {};
    return QRect(m_hWnd->mapToGlobal(QPoint(0, 0)), m_hWnd->size());
}
