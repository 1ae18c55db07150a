#include "ChildProcess.h"

#include "Reachable.h"

#include <chrono>
#include <csignal>
#include <stdexcept>
#include <sys/prctl.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

ChildProcess::ChildProcess(std::vector<std::string> arguments, uid_t runAsUid)
{
    if (runAsUid != 0 && !arguments.empty())
        arguments[0] = Reachable(arguments[0]);
    int fds[2];
    if (::pipe(fds) != 0)
        throw std::runtime_error("pipe failed");
    std::vector<char*> argv;
    for (const std::string& argument : arguments)
        argv.push_back(const_cast<char*>(argument.c_str()));
    argv.push_back(nullptr);
    m_pid = ::fork();
    if (m_pid == 0) {
        ::dup2(fds[1], STDOUT_FILENO);
        ::close(fds[0]);
        ::close(fds[1]);
        if (runAsUid != 0 && (::setgid(runAsUid) != 0 || ::setuid(runAsUid) != 0))
            _exit(126);
        // A test killed at its time limit runs no destructors: its helpers must not outlive it.
        ::prctl(PR_SET_PDEATHSIG, SIGKILL);
        ::execv(argv[0], argv.data());
        _exit(127);
    }
    ::close(fds[1]);
    m_fd = fds[0];
}

ChildProcess::~ChildProcess()
{
    if (m_pid > 0) {
        Kill();
        Wait();
    }
    if (m_fd >= 0)
        ::close(m_fd);
}

bool ChildProcess::ReadLine(std::string& line)
{
    for (;;) {
        const auto newline = m_pending.find('\n');
        if (newline != std::string::npos) {
            line = m_pending.substr(0, newline);
            m_pending.erase(0, newline + 1);
            return true;
        }
        char buffer[256];
        const ssize_t got = ::read(m_fd, buffer, sizeof buffer);
        if (got <= 0)
            return false;
        m_pending.append(buffer, static_cast<std::size_t>(got));
    }
}

void ChildProcess::Signal(int signal)
{
    if (m_pid > 0)
        ::kill(m_pid, signal);
}

void ChildProcess::Kill()
{
    if (m_pid > 0)
        ::kill(m_pid, SIGKILL);
}

int ChildProcess::Wait()
{
    int status = 0;
    if (m_pid <= 0 || ::waitpid(m_pid, &status, 0) != m_pid)
        return -1;
    m_pid = -1;
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

int RunToEnd(const std::vector<std::string>& arguments, std::string* output)
{
    ChildProcess child(arguments);
    for (std::string line; child.ReadLine(line);)
        if (output)
            *output += line + "\n";
    return child.Wait();
}

bool WaitUntilAnswering(const std::vector<std::string>& probe)
{
    for (int attempt = 0; attempt < 200; ++attempt) {
        ChildProcess child(probe);
        if (child.Wait() == 0)
            return true;
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
    return false;
}
