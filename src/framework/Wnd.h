#pragma once

#include <QPointer>
#include <QRect>
#include <QWidget>

#include <string>
#include <string_view>

// ShowWindow commands.
inline constexpr int SW_HIDE = 0;
inline constexpr int SW_SHOWNORMAL = 1;
inline constexpr int SW_SHOWMINIMIZED = 2;
inline constexpr int SW_SHOWMINNOACTIVE = 7;
inline constexpr int SW_SHOW = 5;
inline constexpr int SW_MINIMIZE = 6;
inline constexpr int SW_RESTORE = 9;

// A window: a thin wrapper of the Qt widget that shows it. Controls of a dialog are bound to
// their widgets by the dialog's data exchange.
class CWnd {
public:
    CWnd() = default;
    virtual ~CWnd() = default;
    CWnd(const CWnd&) = delete;
    CWnd& operator=(const CWnd&) = delete;

    QWidget* GetSafeHwnd() const { return m_hWnd; }
    // Binds this wrapper to `widget` (once).
    virtual void Attach(QWidget* widget) { m_hWnd = widget; }
    int GetDlgCtrlID() const;
    // A command from a menu or an accelerator; a plain control wrapper takes none.
    virtual void SendCommand(unsigned) {}
    // Destroys the window; a plain control wrapper does not own its control.
    virtual void DestroyWindow() {}

    void EnableWindow(bool enable = true);
    bool IsWindowEnabled() const;
    void ShowWindow(int command);
    bool IsWindowVisible() const;
    bool IsIconic() const;
    // Brings the window above the others and gives it the input focus.
    void BringWindowToTop();
    void SetWindowText(std::string_view text);
    std::string GetWindowText() const;
    void SetFocus();
    bool HasFocus() const;
    // The window's rectangle in screen coordinates.
    QRect GetWindowRect() const;

protected:
    QPointer<QWidget> m_hWnd;
};

// The control id a template gave a widget; -1 for none.
int ControlIdOf(const QWidget* widget);
void SetControlId(QWidget* widget, int id);
