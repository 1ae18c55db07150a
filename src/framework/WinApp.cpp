#include "WinApp.h"

#include "Icons.h"
#include "NestedLoops.h"
#include "Wnd.h"

#include <QAbstractEventDispatcher>
#include <QApplication>

namespace {
CWinApp* g_app = nullptr;
}

CWinApp::CWinApp()
{
    g_app = this;
}

CWinApp::~CWinApp()
{
    ForgetDeferredWork(this);
    if (g_app == this)
        g_app = nullptr;
}

CWinApp* AfxGetApp()
{
    return g_app;
}

bool CWinApp::OnIdle(long)
{
    return false;
}

void CWinApp::RequestEnd(int code)
{
    if (m_bEnding)
        return;
    m_bEnding = true;
    m_nExitCode = code;
    CloseNestedLoops();
    WhenUnwound(this, [this] { EndNow(); });
}

void CWinApp::EndNow()
{
    if (m_pMainWnd)
        m_pMainWnd->DestroyWindow();
    // Before the event loop runs (an end during start-up) Run itself returns the code.
    if (m_bInEventLoop)
        QCoreApplication::exit(m_nExitCode);
}

int CWinApp::Run(QApplication& application)
{
    m_bEnding = false;
    m_nExitCode = 0;
    SetProgramIcon();
    ReopenNestedLoops();
    bool started = false;
    {
        // An end asked for while the start-up shows its messages waits until it is over.
        const CHandlerScope starting;
        started = InitInstance();
    }
    if (!started)
        RequestEnd(0);
    if (m_bEnding)
        return m_nExitCode;
    // The dispatcher is about to wait: the queue has drained, in the main loop or a nested one.
    const QMetaObject::Connection idle = QObject::connect(
        QAbstractEventDispatcher::instance(), &QAbstractEventDispatcher::aboutToBlock, &application, [this] {
            if (m_bEnding)
                return;
            const CHandlerScope idleWork;
            for (long count = 0; OnIdle(count); ++count) {
            }
        });
    m_bInEventLoop = true;
    const int code = QApplication::exec();
    m_bInEventLoop = false;
    QObject::disconnect(idle);
    ForgetDeferredWork(this);
    return code;
}
