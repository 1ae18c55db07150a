// Trevalo: logs in dial-up connections with one-time passcodes from a software token.
#include "EndSessionSignals.h"
#include "LoginApp.h"

#include <framework/HtmlHelp.h>

#include <QApplication>
#include <QSessionManager>

#include <cstdio>
#include <sys/prctl.h>
#include <sys/resource.h>

namespace {

// The program holds PINs and passcodes in memory: no core file may keep them.
void DisableCoreDumps()
{
    const rlimit none{0, 0};
    ::setrlimit(RLIMIT_CORE, &none);
    ::prctl(PR_SET_DUMPABLE, 0, 0, 0, 0);
}

// F1 and the Help commands would find nothing: say so where a packager or a user starting the
// program from a terminal sees it.
void WarnWhenHelpIsMissing()
{
    if (const std::optional<std::filesystem::path> missing = MissingHelpFile(kHelpOverviewTopic))
        std::fprintf(stderr, "trevalo: the help is not installed: %s is missing\n", missing->c_str());
}

CLoginApp theApp;

} // namespace

int main(int argc, char** argv)
{
    DisableCoreDumps();
    QApplication application(argc, argv);
    QApplication::setApplicationName(QStringLiteral("trevalo"));
    WarnWhenHelpIsMissing();
    // Only the login window's end ends the program, not the closing of a message box.
    QApplication::setQuitOnLastWindowClosed(false);
    QObject::connect(&application, &QGuiApplication::commitDataRequest, &application, [](QSessionManager& manager) {
        if (!theApp.OnEndSession() && manager.allowsInteraction())
            manager.cancel();
    });
    // A refusal leaves the window shown with the restore's message; the program runs on.
    InstallEndSessionSignals([] { theApp.OnEndSession(); });
    return theApp.Run(application);
}
