// Passcode exposure after a run: from the login application's exit to the user's script restored,
// with the program's own event loop and idle poll. Prints the median and the worst of N runs.
//
//   restore_latency_bench [RUNS]
#include <loginwindow/LoginDialog.h>
#include <profiles/AppSettings.h>
#include <profiles/ConnectionProfile.h>

#include <FakeTokenService.h>
#include <MessageBoxRecorder.h>
#include <TempDir.h>

#include <QAbstractEventDispatcher>
#include <QApplication>
#include <QEventLoop>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;

// Ends the event loop when the window has gone (a Connect run that ends normally ends it).
class CTimedLoginDialog : public CLoginDialog {
public:
    explicit CTimedLoginDialog(QEventLoop& loop) : m_loop(loop) {}

protected:
    void PostNcDestroy() override
    {
        QEventLoop& loop = m_loop;
        delete this;
        loop.quit();
    }

private:
    QEventLoop& m_loop;
};

double OneRun(const TempDir& dir)
{
    const std::string fifo = dir.File("release");
    ::unlink(fifo.c_str());
    ::mkfifo(fifo.c_str(), 0600);
    WriteFile(dir.File("login.scp"), "password: #$PASSCODE#$\n");

    QEventLoop loop;
    auto* window = new CTimedLoginDialog(loop);
    window->GetControl(2131)->setProperty("text", QStringLiteral("1234"));
    window->SendCommand(1); // Connect
    // The idle poll, as the application runs it whenever the queue drains.
    const auto hook = QObject::connect(QAbstractEventDispatcher::instance(), &QAbstractEventDispatcher::aboutToBlock,
                                       [window] { window->PollLoginApplication(0); });
    // Let the dialer go: it exits as soon as it reads a byte.
    const int release = ::open(fifo.c_str(), O_WRONLY);
    const auto start = Clock::now();
    [[maybe_unused]] const ssize_t written = ::write(release, "x", 1);
    ::close(release);
    loop.exec();
    const std::chrono::duration<double, std::milli> elapsed = Clock::now() - start;
    QObject::disconnect(hook);
    if (ReadFile(dir.File("login.scp")) != "password: #$PASSCODE#$\n")
        std::fprintf(stderr, "the script was not restored\n");
    return elapsed.count();
}

} // namespace

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication application(argc, argv);
    const int runs = argc > 1 ? std::max(1, std::atoi(argv[1])) : 30;

    TempDir dir;
    FakeTokenService tokens;
    tokens.tokens = {{"000111", "ann"}};
    MessageBoxRecorder boxes;
    WriteFile(dir.File("peers/isp"), "");
    WriteFile(dir.File("dialer"), "#!/bin/sh\nread x < '" + dir.File("release") + "'\n");
    ::chmod(dir.File("dialer").c_str(), 0755);
    ConnectionProfile profile("Work");
    profile.DUNPhonebookEntry = "isp";
    profile.ScriptPath = dir.File("login.scp");
    profile.LoginAppPath = dir.File("dialer");
    profile.TokenSerialNumber = "000111";
    profile.Save();
    CAppSettings::SaveDefaultProfile("Work");

    std::vector<double> times;
    for (int i = 0; i < runs; ++i)
        times.push_back(OneRun(dir));
    std::sort(times.begin(), times.end());
    std::printf("script restored after the login application's exit, %d runs: median %.2f ms, worst %.2f ms\n",
                runs, times[times.size() / 2], times.back());
    if (!boxes.Texts().empty())
        std::printf("(messages shown: %s)\n", boxes.Texts().front().c_str());
    return 0;
}
