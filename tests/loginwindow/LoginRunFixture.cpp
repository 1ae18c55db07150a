#include "LoginRunFixture.h"

#include <profiles/ConnectionProfile.h>
#include <res/resource.h>

#include <QCoreApplication>
#include <QLineEdit>

#include <poll.h>
#include <sys/stat.h>

namespace {

// Tells the test when the window has gone, which frees the dialog.
class CWatchedLoginDialog : public CLoginDialog {
public:
    explicit CWatchedLoginDialog(bool& destroyed) : m_destroyed(destroyed) {}

protected:
    void PostNcDestroy() override
    {
        m_destroyed = true;
        CLoginDialog::PostNcDestroy();
    }

private:
    bool& m_destroyed;
};

void WriteExecutable(const std::string& path, const std::string& body)
{
    WriteFile(path, "#!/bin/sh\n" + body);
    ::chmod(path.c_str(), 0755);
}

} // namespace

LoginRunTest::LoginRunTest()
{
    tokens.tokens = {{"000111", "ann"}};
    AddPeer("isp");
    WriteFile(script, kUserText);
    WriteExecutable(dialer, "cp '" + script + "' '" + seen + "'\n");
    // It also gives up when the test's directory is gone, so no test leaves it behind.
    WriteExecutable(waitingDialer, "while [ ! -e '" + dir.File("go") + "' ] && [ -d '" + dir.Path() +
                                       "' ]; do sleep 0.01; done\n");
}

void LoginRunTest::WriteRunProfile(const std::string& loginApp, int duration)
{
    ConnectionProfile record("Work");
    record.DUNPhonebookEntry = "isp";
    record.ScriptPath = script;
    record.LoginAppPath = loginApp;
    record.UserLogin = "ann.user";
    record.TokenSerialNumber = "000111";
    record.UpdatePASSCODEDuration = duration;
    record.UserLoginRequired = true;
    ASSERT_TRUE(record.Save());
    SetDefaultProfile("Work");
}

void LoginRunTest::OpenWindow()
{
    dialog = new CWatchedLoginDialog(destroyed);
    boxes.emplace();
}

void LoginRunTest::Press(unsigned command, const std::string& pin)
{
    if (!dialog)
        OpenWindow();
    Edit(IDC_PIN)->setText(QString::fromStdString(pin));
    dialog->SendCommand(command);
}

void LoginRunTest::Connect(const std::string& pin)
{
    Press(IDOK, pin);
}

void LoginRunTest::TestScript(const std::string& pin)
{
    Press(ID_TEST_SCRIPT, pin);
}

void LoginRunTest::WaitForProgramAndPoll()
{
    ASSERT_NE(nullptr, dialog->m_hLoginAppProcess);
    // The event loop runs meanwhile: it reads what the program writes.
    pollfd exit{dialog->m_hLoginAppProcess->ExitDescriptor(), POLLIN, 0};
    for (int wait = 0; wait < 1000 && ::poll(&exit, 1, 10) == 0; ++wait)
        QCoreApplication::processEvents();
    ASSERT_TRUE(exit.revents & POLLIN) << "the program did not end";
    dialog->PollLoginApplication(0);
    if (destroyed)
        dialog = nullptr;
}

std::string LoginRunTest::Title() const
{
    return dialog->GetWindowText();
}
