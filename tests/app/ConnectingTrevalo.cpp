// Trevalo as a user starts it who types the PIN 1234 and presses Connect as soon as the window is
// up, and who reads every message box aloud (a line "message: TEXT" on standard output) and
// closes it with OK. For the tests that need a run in a process of its own: killed in the middle
// of the run, or run under a file-size limit.
#include <app/LoginApp.h>
#include <app/ProgramMain.h>
#include <framework/MessageBox.h>
#include <loginwindow/LoginDialog.h>
#include <res/resource.h>

#include <QApplication>
#include <QLineEdit>
#include <QTimer>

#include <cstdio>

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

void Connect(CLoginApp& app)
{
    auto* window = static_cast<CLoginDialog*>(app.m_pMainWnd);
    if (!window)
        return;
    qobject_cast<QLineEdit*>(window->GetControl(IDC_PIN))->setText(QStringLiteral("1234"));
    window->SendCommand(IDOK);
    Say(window->m_bScriptReplaced ? "connected" : "not connected");
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
    QTimer::singleShot(0, &application, [&app] { Connect(app); });
    return RunTrevalo(application, app);
}
