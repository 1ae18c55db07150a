// Start-up: from exec to the login window shown and the event loop idle, with 1,000 and with
// 10,000 profiles and 100 tokens, against a minimal Qt Widgets dialog program, in one run; and
// the peak resident memory of both. A single profile gives the program's own floor. A program counts as up when it answers on its local socket,
// which it does only from its running event loop.
//
//   startup_bench [RUNS]
#include <platform/Registry.h>
#include <profiles/AppSettings.h>
#include <profiles/ConnectionProfile.h>

#include <TempDir.h>

#include <QCoreApplication>
#include <QLocalSocket>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
#include <spawn.h>
#include <string>
#include <sys/resource.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>
#include <vector>

extern char** environ;

namespace {

using Clock = std::chrono::steady_clock;

// Starts `words`; with `input`, its standard input comes from that file.
pid_t Spawn(const std::vector<std::string>& words, const std::string& input = {})
{
    std::vector<char*> argv;
    for (const auto& word : words)
        argv.push_back(const_cast<char*>(word.c_str()));
    argv.push_back(nullptr);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    if (!input.empty())
        posix_spawn_file_actions_addopen(&actions, 0, input.c_str(), O_RDONLY, 0);
    pid_t pid = 0;
    const int result = posix_spawn(&pid, argv[0], &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    if (result != 0) {
        std::perror(argv[0]);
        std::exit(1);
    }
    return pid;
}

// Asks until the program answers; the time from its start.
double TimeUntilAnswer(const std::string& socketPath, Clock::time_point start, const char* request)
{
    for (;;) {
        QLocalSocket socket;
        socket.connectToServer(QString::fromStdString(socketPath));
        if (socket.waitForConnected(1000)) {
            socket.write(request);
            socket.waitForBytesWritten(1000);
            if (socket.waitForReadyRead(10000) && socket.readLine() == "OK\n")
                return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
        }
        std::this_thread::sleep_for(std::chrono::microseconds(500));
    }
}

double Median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

// Waits for the program's end; its peak resident memory in MB.
double PeakMegabytes(pid_t pid)
{
    struct rusage usage {};
    ::wait4(pid, nullptr, 0, &usage);
    return static_cast<double>(usage.ru_maxrss) / 1024.0;
}

void MakeEnvironment(const TempDir& dir, int profiles)
{
    WriteFile(dir.File("peers/isp"), "");
    RegBeginTransaction();
    for (int i = 0; i < profiles; ++i) {
        char name[32];
        std::snprintf(name, sizeof name, "Profile %05d", i);
        ConnectionProfile profile(name);
        profile.DUNPhonebookEntry = "isp";
        profile.ScriptPath = dir.File("login.scp");
        profile.LoginAppPath = "/bin/true";
        profile.TokenSerialNumber = "T000";
        profile.Save();
    }
    RegCommitTransaction();
    char selected[32];
    std::snprintf(selected, sizeof selected, "Profile %05d", std::min(500, profiles - 1));
    CAppSettings::SaveDefaultProfile(selected);
    // kelvane-token takes the seed on standard input only, never on its command line.
    WriteFile(dir.File("seed"), "JBSWY3DPEHPK3PXPJBSWY3DP\n");
    for (int i = 0; i < 100; ++i) {
        char serial[16];
        std::snprintf(serial, sizeof serial, "T%03d", i);
        const pid_t pid = Spawn({KELVANE_TOKEN, "import", "--user", "user", serial}, dir.File("seed"));
        int status = 0;
        ::waitpid(pid, &status, 0);
    }
}

// Runs both programs `runs` times in turn with `profiles` profiles and prints the medians.
void Measure(int runs, int profiles)
{
    TempDir dir;
    ::setenv("TREVALO_RUNTIME_DIR", dir.Path().c_str(), 1);
    MakeEnvironment(dir, profiles);
    const std::string trevaloSocket = dir.File("QuillonMainWindow-" + std::to_string(::getuid()));
    const std::string referenceSocket = dir.File("reference");

    std::vector<double> trevalo, reference, trevaloPeak, referencePeak;
    for (int i = 0; i < runs; ++i) {
        auto start = Clock::now();
        pid_t pid = Spawn({TREVALO});
        trevalo.push_back(TimeUntilAnswer(trevaloSocket, start, "MESSAGE KVRasNotify 99 0\n"));
        TimeUntilAnswer(trevaloSocket, Clock::now(), "MESSAGE KVRasNotify 0 0\n"); // ends it
        trevaloPeak.push_back(PeakMegabytes(pid));

        start = Clock::now();
        pid = Spawn({STARTUP_REFERENCE, referenceSocket});
        reference.push_back(TimeUntilAnswer(referenceSocket, start, "ping\n"));
        ::kill(pid, SIGTERM);
        referencePeak.push_back(PeakMegabytes(pid));
    }
    std::printf("%d profile%s, 100 tokens, median of %d: start-up to an idle window: trevalo %.1f ms, "
                "minimal Qt dialog %.1f ms, ratio %.2f; peak memory: trevalo %.1f MB, minimal Qt dialog %.1f MB, "
                "ratio %.2f\n",
                profiles, profiles == 1 ? "" : "s", runs, Median(trevalo), Median(reference), Median(trevalo) / Median(reference),
                Median(trevaloPeak), Median(referencePeak), Median(trevaloPeak) / Median(referencePeak));
}

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication application(argc, argv);
    const int runs = argc > 1 ? std::max(1, std::atoi(argv[1])) : 9;
    ::setenv("QT_QPA_PLATFORM", "offscreen", 1);
    for (int profiles : {1, 1000, 10000})
        Measure(runs, profiles);
    return 0;
}
