#include "LoginApp.h"

#include <framework/MessageBox.h>
#include <framework/RegisteredMessage.h>
#include <loginwindow/LoginDialog.h>
#include <res/resource.h>

#include <QCoreApplication>

namespace {
constexpr const char* kAppTitle = "Talvex Kelvane Trevalo";
}

CLoginApp::CLoginApp() = default;

CLoginApp::~CLoginApp() = default;

CLoginDialog* CLoginApp::LoginWindow() const
{
    return static_cast<CLoginDialog*>(m_pMainWnd);
}

bool CLoginApp::InitInstance()
{
    SetAppTitle(kAppTitle);
    if (AskRunningInstanceToRestore(kLoginWindowClass))
        return false;
    m_pInstanceServer = std::make_unique<CInstanceServer>(
        [this] { BringForward(); },
        [this](const std::string& name, std::uint64_t wParam, std::int64_t lParam) { Deliver(name, wParam, lParam); });
    // Another copy may have claimed the channel a moment ago: it is the one that runs.
    if (!m_pInstanceServer->Listen(kLoginWindowClass)) {
        AskRunningInstanceToRestore(kLoginWindowClass);
        return false;
    }
    auto* window = new CLoginDialog(); // frees itself when its window is destroyed
    m_pMainWnd = window;
    if (!window->m_bTokenServiceOpen)
        return false;
    if (window->m_pProfileList->GetPhonebookEntries().GetCount() == 0)
        AfxMessageBox(IDS_NO_PHONEBOOK_ENTRIES, MB_OK | MB_ICONEXCLAMATION);
    return !m_bEndedWhileStarting;
}

bool CLoginApp::OnIdle(long count)
{
    const bool more = CWinApp::OnIdle(count);
    if (CLoginDialog* window = LoginWindow())
        return window->PollLoginApplication(count) != 0;
    return more;
}

void CLoginApp::BringForward()
{
    CLoginDialog* window = LoginWindow();
    if (!window)
        return;
    if (window->IsIconic())
        window->ShowWindow(SW_RESTORE);
    window->BringWindowToTop();
}

void CLoginApp::Deliver(const std::string& name, std::uint64_t wParam, std::int64_t lParam)
{
    if (CLoginDialog* window = LoginWindow())
        window->PostMessage(RegisterWindowMessage(name), static_cast<WPARAM>(wParam), static_cast<LPARAM>(lParam));
}

bool CLoginApp::OnEndSession()
{
    CLoginDialog* window = LoginWindow();
    if (!window) {
        // Still starting, inside a start-up message: no run yet, nothing to restore. Ending the
        // event loops closes that message and makes every later one return at once.
        m_bEndedWhileStarting = true;
        QCoreApplication::exit(0);
        return true;
    }
    if (!window->OnQueryEndSession())
        return false;
    window->DestroyWindow(); // the program ends with its window
    return true;
}
