#include "ProgramMain.h"

#include "EndSessionSignals.h"
#include "LoginApp.h"

#include <framework/HtmlHelp.h>

#include <QApplication>
#include <QSessionManager>

#include <csignal>
#include <cstdio>
#include <sys/prctl.h>
#include <sys/resource.h>

namespace {

// F1 and the Help commands would find nothing: say so where a packager or a user starting the
// program from a terminal sees it.
void WarnWhenHelpIsMissing()
{
    if (const std::optional<std::filesystem::path> missing = MissingHelpFile(kHelpOverviewTopic))
        std::fprintf(stderr, "trevalo: the help is not installed: %s is missing\n", missing->c_str());
}

} // namespace

void PrepareProcess()
{
    const rlimit none{0, 0};
    ::setrlimit(RLIMIT_CORE, &none);
    ::prctl(PR_SET_DUMPABLE, 0, 0, 0, 0);
    std::signal(SIGXFSZ, SIG_IGN);
}

int RunTrevalo(QApplication& application, CLoginApp& app)
{
    QApplication::setApplicationName(QStringLiteral("trevalo"));
    // Wayland's shells find the window's desktop entry by this name, not by the program's.
    QGuiApplication::setDesktopFileName(QStringLiteral(TREVALO_APP_ID));
    WarnWhenHelpIsMissing();
    // Only the login window's end ends the program, not the closing of a message box.
    QApplication::setQuitOnLastWindowClosed(false);
    QObject sessionEnd;
    QObject::connect(&application, &QGuiApplication::commitDataRequest, &sessionEnd, [&app](QSessionManager& manager) {
        if (!app.OnEndSession() && manager.allowsInteraction())
            manager.cancel();
    });
    // A refusal leaves the window shown with the restore's message; the program runs on.
    const CEndSessionSignals endSignals([&app] { app.OnEndSession(); });
    return app.Run(application);
}
