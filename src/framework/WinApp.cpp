#include "WinApp.h"

#include "Dialog.h"

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

int CWinApp::Run(QApplication& application)
{
    if (!InitInstance()) {
        if (m_pMainWnd)
            m_pMainWnd->DestroyWindow();
        return 0;
    }
    // The main window ended during start-up (a termination signal answered while a message box
    // of InitInstance was open): its request to end went to that box's loop, not to this one.
    if (!m_pMainWnd)
        return 0;
    // The dispatcher is about to wait: the queue has drained.
    QObject::connect(QAbstractEventDispatcher::instance(), &QAbstractEventDispatcher::aboutToBlock, &application,
                     [this] {
                         for (long count = 0; OnIdle(count); ++count) {
                         }
                     });
    return QApplication::exec();
}
