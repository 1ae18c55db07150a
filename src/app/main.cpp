// Trevalo: logs in dial-up connections with one-time passcodes from a software token.
#include "LoginApp.h"
#include "ProgramMain.h"

#include <QApplication>

#include <cstdio>
#include <cstring>

namespace {

CLoginApp theApp;

constexpr const char* kUsage =
    "Usage: trevalo [--help | --version]\n"
    "\n"
    "Logs in dial-up and VPN connections with one-time passcodes from a software token. A\n"
    "connection profile names a phonebook entry (a pppd peer, an OpenVPN client configuration or\n"
    "a NetworkManager connection), a login application, its login script, a token and a user ID.\n"
    "On Connect Trevalo writes live passcodes into the script in place of its placeholders,\n"
    "starts the login application, refreshes the passcode every minute and puts the script back\n"
    "when the login ends, so no passcode stays on disk. One Trevalo runs for each user: a\n"
    "second start brings the running one's window back.\n"
    "It also takes Qt's options, such as -platform NAME.\n"
    "\n"
    "Options:\n"
    "  --help     show this text and exit\n"
    "  --version  show the version and exit\n";

} // namespace

int main(int argc, char** argv)
{
    // Answered before QApplication, which needs a display.
    if (argc == 2 && std::strcmp(argv[1], "--help") == 0) {
        std::fputs(kUsage, stdout);
        return 0;
    }
    if (argc == 2 && std::strcmp(argv[1], "--version") == 0) {
        std::puts("trevalo (Trevalo) " TREVALO_VERSION);
        return 0;
    }
    PrepareProcess();
    QApplication application(argc, argv);
    return RunTrevalo(application, theApp);
}
