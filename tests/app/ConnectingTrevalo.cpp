// Trevalo as a user starts it who types the PIN 1234 and presses Connect as soon as the window is
// up, and who reads every message box aloud (a line "message: TEXT" on standard output) and
// closes it with OK. For the tests that need a run in a process of its own: killed in the middle
// of the run, or run under a file-size limit.
//
// With "--die-at STEP N" it is killed (SIGKILL) the Nth time the run reaches STEP (a RunStep as a
// number); after Connect it then lets the refresh timer rewrite the script once and presses
// Cancel, so that every step comes.
#include <app/LoginApp.h>
#include <app/ProgramMain.h>
#include <framework/MessageBox.h>
#include <loginrun/RunSteps.h>
#include <loginwindow/LoginDialog.h>
#include <res/resource.h>

#include <QApplication>
#include <QLineEdit>
#include <QTimer>

#include <csignal>
#include <cstdio>
#include <cstdlib>

namespace {

void Say(const std::string& line)
{
    std::string oneLine = line;
    for (char& c : oneLine)
        if (c == '\n')
            c = '|';
    std::printf("%s\n", oneLine.c_str());
    std::fflush(stdout);
}

void Connect(CLoginApp& app, bool toTheEnd)
{
    auto* window = static_cast<CLoginDialog*>(app.m_pMainWnd);
    if (!window)
        return;
    qobject_cast<QLineEdit*>(window->GetControl(IDC_PIN))->setText(QStringLiteral("1234"));
    window->SendCommand(IDOK);
    Say(window->m_bScriptReplaced ? "connected" : "not connected");
    if (!toTheEnd)
        return;
    window->OnTimer(3);
    window->SendCommand(IDCANCEL);
}

void DieAt(int step, int occurrence)
{
    SetRunStepObserver([step, occurrence, reached = 0](RunStep now) mutable {
        if (static_cast<int>(now) == step && ++reached == occurrence)
            std::raise(SIGKILL);
    });
}

} // namespace

int main(int argc, char** argv)
{
    PrepareProcess();
    QApplication application(argc, argv);
    CLoginApp app;
    SetMessageBoxResponder([](const MessageBoxRequest& request) {
        Say("message: " + request.text);
        return IDOK;
    });
    const bool dies = argc == 4 && std::string(argv[1]) == "--die-at";
    if (dies)
        DieAt(std::atoi(argv[2]), std::atoi(argv[3]));
    QTimer::singleShot(0, &application, [&app, dies] { Connect(app, dies); });
    return RunTrevalo(application, app);
}
