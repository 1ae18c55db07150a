#pragma once

class CWnd;
class QApplication;

// The application object: one per program. Run enters the event loop after InitInstance and
// calls OnIdle whenever the queue has drained.
class CWinApp {
public:
    CWinApp();
    virtual ~CWinApp();
    CWinApp(const CWinApp&) = delete;
    CWinApp& operator=(const CWinApp&) = delete;

    // Runs the program in `application`: InitInstance, then the event loop. Returns its exit code.
    int Run(QApplication& application);

    // Ends the program with `code` (the first code asked for wins): closes the open nested
    // loops, innermost first, and refuses new ones; once nothing is left on the stack, destroys
    // the main window and leaves the event loop. Destroying the main window asks for this too.
    void RequestEnd(int code);
    bool IsEnding() const { return m_bEnding; }

    // The window whose end ends the program; cleared when its window is destroyed.
    CWnd* m_pMainWnd = nullptr;

protected:
    // False ends the program at once.
    virtual bool InitInstance() { return true; }
    // Idle work after the queue drained; `count` is 0 after each message and grows while this
    // answers true (more idle work wanted).
    virtual bool OnIdle(long count);

private:
    void EndNow();

    bool m_bEnding = false;
    bool m_bInEventLoop = false;
    int m_nExitCode = 0;
};

CWinApp* AfxGetApp();
