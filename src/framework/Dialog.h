#pragma once

#include "DispatchTable.h"
#include "Menu.h"
#include "MessageBox.h" // IDOK, IDCANCEL
#include "Wnd.h"

#include <res/DialogTemplate.h>

#include <QPoint>
#include <QPointer>
#include <QTimer>

#include <functional>
#include <map>
#include <memory>

class CDataExchange;
class CDialogWindow;
class QDialog;
class QKeyEvent;

// Standard commands.
inline constexpr int IDHELP = 9;
inline constexpr unsigned ID_HELP = 57670;

// System commands.
inline constexpr unsigned SC_MINIMIZE = 0xF020;
inline constexpr unsigned SC_CLOSE = 0xF060;
inline constexpr unsigned SC_RESTORE = 0xF120;
inline constexpr unsigned SC_CONTEXTHELP = 0xF180;

// A context-help request: for a control or window (HELPINFO_WINDOW), or for a menu item.
inline constexpr int HELPINFO_WINDOW = 0x0001;
inline constexpr int HELPINFO_MENUITEM = 0x0002;

struct HELPINFO {
    int iContextType;
    int iCtrlId;          // the control's id; -1 for one without
    QWidget* hItemHandle; // the control, or the dialog itself
    QPoint MousePos;      // in screen coordinates
};

// A dialog built from a template: modeless (Create) or modal (DoModal). Its controls' clicks and
// notifications reach the handlers of its dispatch table; its key presses pass through
// PreTranslateMessage before any control sees them.
class CDialog : public CWnd {
public:
    explicit CDialog(const DialogTemplate& dialogTemplate);
    ~CDialog() override;

    // Creates the window and runs OnInitDialog; the window is shown. False when it cannot be.
    bool Create(CWnd* parent = nullptr);
    // Runs the dialog modally (through the modal runner) and returns the code given to EndDialog,
    // or -1 when the run ended without one.
    int DoModal();
    void EndDialog(int result);
    // Destroys the window; PostNcDestroy follows once it is gone. A modeless window that a
    // handler or a nested loop still runs in only hides until they have returned; for the main
    // window that is the program's end (CWinApp::RequestEnd).
    void DestroyWindow() override;

    bool UpdateData(bool saveAndValidate = true);
    CWnd* GetDlgItem(int id);
    QWidget* GetControl(int id) const;
    void SetDefID(int id);
    int GetDefID() const { return m_defId; }
    // Moves the focus to `control`, selecting an edit field's text as keyboard navigation does.
    void GotoDlgCtrl(CWnd& control);

    bool SetTimer(unsigned id, unsigned milliseconds);
    void KillTimer(unsigned id);

    // Sends a command as a button, menu or accelerator does.
    void SendCommand(unsigned id) override;
    // Delivers a window message to its handler at once; 0 when none handles it.
    LRESULT SendMessage(unsigned message, WPARAM wParam, LPARAM lParam);
    // Queues a window message for the event loop; false when the window is gone.
    bool PostMessage(unsigned message, WPARAM wParam, LPARAM lParam);
    // A key press (or its shortcut check) before the focused control gets it; true consumes it.
    virtual bool PreTranslateMessage(QKeyEvent* message);
    const DialogTemplate& Template() const { return m_template; }

    // The system menu: Restore, Minimize, What's This? (for a dialog with context help) and Close;
    // a dialog may append entries of its own. `revert` puts back the standard menu.
    CMenu* GetSystemMenu(bool revert);
    // Shows the system menu at `screenPoint`; the chosen entry reaches OnSysCommand.
    void ShowSystemMenu(QPoint screenPoint);

protected:
    virtual bool OnInitDialog();
    virtual void DoDataExchange(CDataExchange* pDX);
    virtual void OnOK();
    virtual void OnCancel();
    virtual void OnTimer(unsigned id);
    // Called just before the window goes, while its controls still exist.
    virtual void OnDestroy() {}
    // Called once the window is gone; a self-owned dialog deletes itself here.
    virtual void PostNcDestroy() {}
    virtual DispatchTable GetDispatchTable() const { return {}; }
    virtual MessageTable GetMessageTable() const { return {}; }
    // Every system command; this default carries out the standard ones: Restore, Minimize,
    // What's This? (the next click on a control asks OnHelpInfo) and Close (the Cancel command).
    virtual void OnSysCommand(unsigned nID, long lParam);
    // A context-help request; true when it was dealt with. This default deals with none.
    virtual bool OnHelpInfo(HELPINFO* pHelpInfo);
    // The dialog's keyboard navigation: Enter presses the default button, Esc is Cancel.
    bool IsDialogMessage(QKeyEvent* message);
    // Creates the window as a child control of `parent` (a property page inside its sheet) and
    // runs OnInitDialog; keys it does not use go on to the window it sits in.
    bool CreateChild(QWidget* parent);

private:
    friend class CDialogWindow;
    bool CreateWindow(QWidget* parent, bool child = false);
    void ReleaseWindow();
    void DestroyNow();
    void StopTimers();
    void ConnectNotifications();
    bool Dispatch(Notification code, int id);
    bool IsSystemMenuKey(QKeyEvent* message);
    // A What's This click at `windowPos` asks for help on the control there.
    void RequestContextHelp(QPoint windowPos, QPoint screenPos);

    const DialogTemplate& m_template;
    CDialogWindow* m_window = nullptr;
    std::map<int, QWidget*> m_controls;
    std::map<int, std::unique_ptr<CWnd>> m_items;  // wrappers handed out by GetDlgItem
    std::map<unsigned, QPointer<QTimer>> m_timers; // owned by the window
    CMenu m_sysMenu;
    int m_defId = 0;
    int m_modalResult = -1;
    bool m_modal = false;
    bool m_bChild = false;
    bool m_bDestroyPending = false;
};

// Runs a modal dialog after its OnInitDialog; must end it with EndDialog. Tests install one to
// act inside the modal run. A dialog closed because the program ends answers IDCANCEL.
using ModalRunner = std::function<void(CDialog& dialog)>;
// Installs `runner` (an empty one restores the real modal loop) and returns the one it replaces.
ModalRunner SetModalRunner(ModalRunner runner);
