// The whole program in this process, with its real nested loops (message box, menus, modal
// dialogs): whatever ends it while one is open, the loops close, the window goes only once they
// have unwound, the program ends with 0 and the user's script is back as it was.
#include <app/LoginApp.h>
#include <app/ProgramMain.h>
#include <loginwindow/LoginDialog.h>
#include <profiles/AppSettings.h>
#include <profiles/ConnectionProfile.h>
#include <res/resource.h>

#include <ChildProcess.h>
#include <FakeTokenService.h>
#include <TempDir.h>

#include <QAbstractButton>
#include <QApplication>
#include <QLineEdit>
#include <QMenu>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

#include <csignal>
#include <optional>
#include <ostream>
#include <sys/stat.h>
#include <unistd.h>

namespace {

enum class Opening { EmptyPinConnect, SystemMenuKey, ProfileButton, ProtectedConnect };
enum class Cause { Sigterm, Notify0, LoginAppExit, Countdown };

struct LoopCase {
    const char* loop;
    Opening opening;
    // What is chosen on the way, in the menu or dialog on top: an entry or a button.
    std::vector<const char*> steps;
    bool duringRun; // a Connect run is on when the loop opens
};

struct EndCase {
    LoopCase loop;
    Cause cause;
};

const std::string kPin = "97531864";
const std::string kUserText = "login: ann\npassword: \\q#$PASSCODE#$\n";

const char* CauseName(Cause cause)
{
    switch (cause) {
    case Cause::Sigterm:
        return "SIGTERM";
    case Cause::Notify0:
        return "notify0";
    case Cause::LoginAppExit:
        return "loginAppExit";
    default:
        return "countdown";
    }
}

// Names the case in test output instead of its bytes.
void PrintTo(const EndCase& end, std::ostream* out)
{
    *out << end.loop.loop << " + " << CauseName(end.cause);
}

QWidget* TopLoop()
{
    if (QWidget* popup = QApplication::activePopupWidget())
        return popup;
    return QApplication::activeModalWidget();
}

// Chooses `text` in the menu or dialog on top, as a user would.
void Choose(QWidget* top, const QString& text)
{
    if (auto* menu = qobject_cast<QMenu*>(top)) {
        for (QAction* action : menu->actions())
            if (action->text() == text)
                menu->setActiveAction(action);
        QTest::keyClick(menu, Qt::Key_Return);
        return;
    }
    for (QAbstractButton* button : top->findChildren<QAbstractButton*>())
        if (button->text() == text)
            button->click();
}

class RunEndTest : public ::testing::TestWithParam<EndCase> {
protected:
    RunEndTest()
    {
        ::setenv("TREVALO_RUNTIME_DIR", dir.Path().c_str(), 1);
        WriteFile(dir.File("peers/isp"), "# pppd options\n");
        WriteFile(script, kUserText);
        WriteFile(dialer, "#!/bin/sh\nwhile [ ! -e '" + dir.File("go") + "' ] && [ -d '" + dir.Path() +
                              "' ]; do sleep 0.01; done\n");
        ::chmod(dialer.c_str(), 0755);
        tokens.tokens = {{"000111", "ann", GetParam().loop.opening == Opening::ProtectedConnect ? "PASSWORD" : ""}};
        tokens.passcode = kPin + "424242";
        tokens.nextPasscode = kPin + "131313";
        tokens.passcodeNoPin = "424242";
        ConnectionProfile profile("Work");
        profile.DUNPhonebookEntry = "isp";
        profile.ScriptPath = script;
        profile.LoginAppPath = dialer;
        profile.TokenSerialNumber = "000111";
        EXPECT_TRUE(profile.Save());
        CAppSettings::SaveDefaultProfile("Work");
    }

    CLoginDialog& Window() { return *static_cast<CLoginDialog*>(app.m_pMainWnd); }
    QWidget* Control(int id) { return Window().GetControl(id); }

    void Connect(const std::string& pin)
    {
        qobject_cast<QLineEdit*>(Control(IDC_PIN))->setText(QString::fromStdString(pin));
        QTest::mouseClick(Control(IDOK), Qt::LeftButton);
    }

    // Opens the loop; returns once it has closed.
    void Open(Opening opening)
    {
        QWidget* window = Window().GetSafeHwnd();
        switch (opening) {
        case Opening::EmptyPinConnect:
            Connect("");
            break;
        case Opening::SystemMenuKey:
            QTest::keyClick(window->focusWidget() ? window->focusWidget() : window, Qt::Key_Space, Qt::AltModifier);
            break;
        case Opening::ProfileButton:
            QTest::mouseClick(Control(IDC_PROFILE_BUTTON), Qt::LeftButton);
            break;
        case Opening::ProtectedConnect:
            Connect(kPin);
            break;
        }
    }

    // Goes through the steps, then ends the program from inside the loop on top.
    void Watch()
    {
        QWidget* top = TopLoop();
        if (!top || endAsked)
            return;
        const LoopCase& loop = GetParam().loop;
        if (step < loop.steps.size()) {
            // Not from inside this timer: what the choice opens would block its next ticks.
            const QString text = QString::fromUtf8(loop.steps[step++]);
            QTimer::singleShot(0, top, [top, text] { Choose(top, text); });
            return;
        }
        endAsked = true;
        loopSeen = top->metaObject()->className();
        AskToEnd(GetParam().cause);
    }

    void AskToEnd(Cause cause)
    {
        switch (cause) {
        case Cause::Sigterm:
            ::kill(::getpid(), SIGTERM);
            break;
        case Cause::Notify0:
            notify.emplace(std::vector<std::string>{TREVALO_NOTIFY, "0"});
            break;
        case Cause::LoginAppExit:
            WriteFile(dir.File("go"), "");
            break;
        case Cause::Countdown:
            // The countdown is over: its next tick comes now instead of in a minute.
            Window().m_nRemainingMs = 0;
            Window().SetTimer(3, 0);
            break;
        }
    }

    TempDir dir;
    FakeTokenService tokens;
    std::string script = dir.File("login.scp");
    std::string dialer = dir.File("dialer");
    CLoginApp app;
    std::optional<ChildProcess> notify;
    std::size_t step = 0;
    bool endAsked = false;
    std::string loopSeen;
};

} // namespace

TEST_P(RunEndTest, TheLoopsCloseAndTheProgramEndsCleanly)
{
    const EndCase& param = GetParam();
    QObject scope; // its timers go with the test
    QTimer watcher;
    QObject::connect(&watcher, &QTimer::timeout, &scope, [this] { Watch(); });
    QTimer::singleShot(0, &scope, [&] {
        if (param.loop.duringRun) {
            Connect(kPin);
            ASSERT_NE(kUserText, ReadFile(script)) << "the run did not start";
        }
        watcher.start(20);
        Open(param.loop.opening);
    });
    QTimer::singleShot(15000, &scope, [] {
        ADD_FAILURE() << "the program did not end";
        QCoreApplication::exit(99);
    });

    EXPECT_EQ(0, RunTrevalo(*qApp, app));
    EXPECT_TRUE(endAsked) << "the loop never opened";
    EXPECT_NE("", loopSeen);
    if (notify) {
        EXPECT_EQ(0, notify->Wait()); // the program took the notification
    }
    EXPECT_EQ(nullptr, app.m_pMainWnd);
    EXPECT_EQ(kUserText, ReadFile(script));
    EXPECT_FALSE(PathExists(dir.File("LOGIN.BAK")));
    EXPECT_EQ(std::vector<std::string>{}, FilesHolding(dir.Path(), {kPin, "424242", "131313"}));
}

namespace {

const LoopCase kMessageBox{"messageBox", Opening::EmptyPinConnect, {}, false};
const LoopCase kProfilePopup{"profilePopup", Opening::ProfileButton, {}, false};
const LoopCase kProfileEditor{"profileEditor", Opening::ProfileButton, {"&Edit..."}, false};
const LoopCase kMessageBoxInEditor{"messageBoxInEditor", Opening::ProfileButton, {"&New...", "OK"}, false};
const LoopCase kPassphrasePrompt{"passphrasePrompt", Opening::ProtectedConnect, {}, false};
const LoopCase kSystemMenu{"systemMenu", Opening::SystemMenuKey, {}, true};
const LoopCase kAbout{"about", Opening::SystemMenuKey, {"&About Trevalo"}, true};

std::vector<EndCase> AllCases()
{
    std::vector<EndCase> cases;
    // Without a run only a signal or a notification can end the program.
    for (const LoopCase& loop : {kMessageBox, kProfilePopup, kProfileEditor, kMessageBoxInEditor, kPassphrasePrompt})
        for (Cause cause : {Cause::Sigterm, Cause::Notify0})
            cases.push_back({loop, cause});
    // During a run only the system menu and what it opens can be reached.
    for (const LoopCase& loop : {kSystemMenu, kAbout})
        for (Cause cause : {Cause::Sigterm, Cause::Notify0, Cause::LoginAppExit, Cause::Countdown})
            cases.push_back({loop, cause});
    return cases;
}

} // namespace

INSTANTIATE_TEST_SUITE_P(EveryLoopAndCause, RunEndTest, ::testing::ValuesIn(AllCases()),
                         [](const ::testing::TestParamInfo<EndCase>& test) {
                             return std::string(test.param.loop.loop) + "_" + CauseName(test.param.cause);
                         });
