#include "LoginApp.h"

#include <framework/MessageBox.h>
#include <framework/NestedLoops.h>
#include <framework/RegisteredMessage.h>
#include <framework/StringTable.h>
#include <loginwindow/LoginDialog.h>
#include <platform/Phonebook.h>
#include <res/resource.h>

#include <QGuiApplication>

#include <cstdio>
#include <cstring>

namespace {

constexpr const char* kAppTitle = "Talvex Kelvane Trevalo";
constexpr int kExitNoChannel = 1;

// Without a display (the offscreen platform) nobody could close a message box.
bool HasDisplay()
{
    const QString platform = QGuiApplication::platformName();
    return platform != QLatin1String("offscreen") && platform != QLatin1String("minimal");
}

// A phonebook folder the user may not read hides its entries: say which, and how to get them.
void ReportUnreadablePhonebookFolders()
{
    for (const UnreadableFolder& folder : UnreadablePhonebookFolders()) {
        const std::string text =
            FormatString2(IDS_PHONEBOOK_FOLDER_UNREADABLE, folder.path, std::strerror(folder.error));
        std::fprintf(stderr, "trevalo: %s\n", text.c_str());
        AfxMessageBox(text, MB_OK | MB_ICONEXCLAMATION);
    }
}

} // namespace

CLoginApp::CLoginApp() = default;

CLoginApp::~CLoginApp() = default;

CLoginDialog* CLoginApp::LoginWindow() const
{
    return static_cast<CLoginDialog*>(m_pMainWnd);
}

bool CLoginApp::InitInstance()
{
    SetAppTitle(kAppTitle);
    if (!ClaimChannel())
        return false;
    auto* window = new CLoginDialog(); // frees itself when its window is destroyed
    m_pMainWnd = window;
    if (!window->m_bTokenServiceOpen)
        return false;
    if (window->m_pProfileList->GetPhonebookEntries().GetCount() == 0)
        AfxMessageBox(IDS_NO_PHONEBOOK_ENTRIES, MB_OK | MB_ICONEXCLAMATION);
    ReportUnreadablePhonebookFolders();
    return true;
}

// The channel marks the one running copy; without it the notifier could never end a run.
bool CLoginApp::ClaimChannel()
{
    m_pInstanceServer = std::make_unique<CInstanceServer>(
        [this] { BringForward(); },
        [this](const std::string& name, std::uint64_t wParam, std::int64_t lParam) { Deliver(name, wParam, lParam); });
    const ChannelClaim claim = m_pInstanceServer->Listen(kLoginWindowClass);
    if (claim == ChannelClaim::Listening)
        return true;
    const std::string& path = m_pInstanceServer->ChannelPath();
    std::string why = m_pInstanceServer->ErrorText();
    if (claim == ChannelClaim::HeldByAnother) {
        const ChannelReply reply = AskRunningInstanceToRestore(kLoginWindowClass);
        if (reply.status == ChannelReply::Delivered)
            return false;
        if (reply.status != ChannelReply::OtherUser) {
            // Never take the place of a copy that runs: it may be in the middle of a run.
            std::fprintf(stderr, "trevalo: Trevalo already runs for this user but does not answer on %s\n",
                         path.c_str());
            RequestEnd(kExitNoChannel);
            return false;
        }
        why = OtherUsersChannelText(path, reply.owner);
    }
    const std::string text = FormatString2(IDS_CHANNEL_FAILED, path, why);
    std::fprintf(stderr, "trevalo: %s\n", text.c_str());
    if (HasDisplay())
        AfxMessageBox(text, MB_OK | MB_ICONERROR);
    RequestEnd(kExitNoChannel);
    return false;
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
    // An ending program's window stays out of sight until it is gone.
    if (!window || IsEnding())
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
    const CHandlerScope scope;
    // Still starting, inside a start-up message: no run yet, nothing to restore.
    CLoginDialog* window = LoginWindow();
    if (window && !window->OnQueryEndSession())
        return false;
    RequestEnd(0);
    return true;
}
