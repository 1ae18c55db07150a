#pragma once

#include <framework/WinApp.h>
#include <platform/InstanceChannel.h>

#include <memory>

class CLoginDialog;

// The application: one running copy per user, the login window as its main window, and the
// completion poll of a login run in the event loop's idle time.
class CLoginApp : public CWinApp {
public:
    CLoginApp();
    ~CLoginApp() override;

    // The user's session is ending (log-off, shut-down, or a termination signal): the window
    // restores a rewritten script and answers; when it agrees the program ends.
    bool OnEndSession();

protected:
    bool InitInstance() override;
    bool OnIdle(long count) override;

private:
    CLoginDialog* LoginWindow() const;
    bool ClaimChannel();
    void BringForward();
    void Deliver(const std::string& name, std::uint64_t wParam, std::int64_t lParam);

    std::unique_ptr<CInstanceServer> m_pInstanceServer;
};
