#pragma once

#include <string>

class CDialog;
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

    // The window whose end ends the program; cleared when its window is destroyed.
    CDialog* m_pMainWnd = nullptr;

protected:
    // False ends the program at once.
    virtual bool InitInstance() { return true; }
    // Idle work after the queue drained; `count` is 0 after each message and grows while this
    // answers true (more idle work wanted).
    virtual bool OnIdle(long count);
};

CWinApp* AfxGetApp();
