#include "ChildProcess.h"

#include "CommandLine.h"

#include <cerrno>
#include <fcntl.h>
#include <spawn.h>
#include <sys/syscall.h>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

extern char** environ;

namespace {

int PidFdOpen(pid_t pid)
{
    return static_cast<int>(::syscall(SYS_pidfd_open, pid, 0));
}

} // namespace

std::unique_ptr<CChildProcess> CChildProcess::Start(const std::string& commandLine, int& error, int outputTo)
{
    std::vector<std::string> words;
    if (!SplitCommandLine(commandLine, words)) {
        error = EINVAL;
        return nullptr;
    }
    return Start(words, error, outputTo);
}

std::unique_ptr<CChildProcess> CChildProcess::Start(const std::vector<std::string>& words, int& error, int outputTo,
                                                    int inputFrom)
{
    // A bare name is looked up here rather than by posix_spawnp, which would not look beyond PATH.
    // A path is left to exec, which tells why it cannot start it.
    const std::string name = words.empty() ? std::string() : words.front();
    const std::string program = name.find('/') == std::string::npos ? FindProgram(name) : name;
    if (program.empty()) {
        error = ENOENT;
        return nullptr;
    }
    std::vector<std::string> storage = words;
    std::vector<char*> argv;
    for (std::string& word : storage)
        argv.push_back(word.data());
    argv.push_back(nullptr);

    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    if (inputFrom >= 0)
        posix_spawn_file_actions_adddup2(&actions, inputFrom, STDIN_FILENO);
    if (outputTo >= 0) {
        posix_spawn_file_actions_adddup2(&actions, outputTo, STDOUT_FILENO);
        posix_spawn_file_actions_adddup2(&actions, outputTo, STDERR_FILENO);
    }
    posix_spawn_file_actions_addclosefrom_np(&actions, 3);
    posix_spawnattr_t attributes;
    posix_spawnattr_init(&attributes);
    // The child starts with default signal handling, whatever this program changed.
    sigset_t all;
    sigfillset(&all);
    posix_spawnattr_setsigdefault(&attributes, &all);
    sigset_t none;
    sigemptyset(&none);
    posix_spawnattr_setsigmask(&attributes, &none);
    posix_spawnattr_setflags(&attributes, POSIX_SPAWN_SETSIGDEF | POSIX_SPAWN_SETSIGMASK);

    pid_t pid = 0;
    // argv[0] stays the word as typed, as a shell leaves it.
    error = posix_spawn(&pid, program.c_str(), &actions, &attributes, argv.data(), environ);
    posix_spawnattr_destroy(&attributes);
    posix_spawn_file_actions_destroy(&actions);
    if (error != 0)
        return nullptr;
    const int pidFd = PidFdOpen(pid);
    return std::unique_ptr<CChildProcess>(new CChildProcess(pid, pidFd));
}

CChildProcess::~CChildProcess()
{
    HasExited();
    if (m_pidFd >= 0)
        ::close(m_pidFd);
}

bool CChildProcess::HasExited()
{
    if (m_exited)
        return true;
    siginfo_t info{};
    // WNOHANG: a running child leaves info.si_pid at 0.
    if (::waitid(P_PID, static_cast<id_t>(m_pid), &info, WEXITED | WNOHANG) != 0) {
        // Someone else reaped it (ECHILD): it has ended all the same.
        m_exited = errno == ECHILD;
        return m_exited;
    }
    m_exited = info.si_pid == m_pid;
    if (m_exited && info.si_code == CLD_EXITED)
        m_exitStatus = info.si_status;
    else if (m_exited)
        m_endingSignal = info.si_status;
    return m_exited;
}
