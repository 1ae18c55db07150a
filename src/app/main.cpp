// Trevalo: logs in dial-up connections with one-time passcodes from a software token.
#include "LoginApp.h"
#include "ProgramMain.h"

#include <QApplication>

namespace {
CLoginApp theApp;
}

int main(int argc, char** argv)
{
    PrepareProcess();
    QApplication application(argc, argv);
    return RunTrevalo(application, theApp);
}
