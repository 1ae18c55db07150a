#pragma once

#include "LoginWindowFixture.h"

#include <QPointer>

// A login window whose end the test can see, on a profile whose login application is a small
// script: "dialer" copies the login script as it finds it to "seen" and exits; "waiting-dialer"
// runs until the test writes "go".
class LoginRunTest : public LoginWindowTest {
protected:
    LoginRunTest();

    void WriteRunProfile(const std::string& loginApp, int duration = 0);
    // Opens the window without pressing anything; its start-up messages are dropped.
    void OpenWindow();
    // Opens the window and presses Connect (or Test Script) with `pin` typed in.
    void Connect(const std::string& pin = "1234");
    void TestScript(const std::string& pin = "1234");
    // Waits for the started program to end, then lets the completion poll run.
    void WaitForProgramAndPoll();
    bool WindowGone() const { return destroyed; }
    std::string Title() const;

    std::string script = dir.File("login.scp");
    std::string backup = dir.File("LOGIN.BAK");
    std::string seen = dir.File("seen");
    std::string dialer = dir.File("dialer");
    std::string waitingDialer = dir.File("waiting-dialer");
    bool destroyed = false;

    static inline const std::string kUserText =
        "login: #$USER_NAME#$\npassword: \\q#$PASSCODE#$\nnext: #$NEXT_PASSCODE#$\n"
        "code: #$PASSCODE_NO_PIN#$ pin: #$NEW_PIN#$ token: #$SERIAL_NUM#$\n";

private:
    void Press(unsigned command, const std::string& pin);
};
