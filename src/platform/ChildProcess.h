#pragma once

#include <sys/types.h>

#include <memory>
#include <string>
#include <vector>

// A program started from a command line. The program is never stopped from here; the object only
// watches for its end and reaps it.
class CChildProcess {
public:
    ~CChildProcess();
    CChildProcess(const CChildProcess&) = delete;
    CChildProcess& operator=(const CChildProcess&) = delete;

    // Starts the command line split into words by SplitCommandLine; the first word is the
    // program, found by FindProgram when it has no "/". The child gets this program's environment
    // and current directory and none of its open files besides standard input, output and error;
    // with `outputTo` given, its standard output and error are that descriptor instead, and with
    // `inputFrom` given, its standard input.
    // Null when the program cannot be started (the reason in `error`, an errno value: ENOENT for a
    // program not found, EINVAL for an unclosed quote).
    static std::unique_ptr<CChildProcess> Start(const std::string& commandLine, int& error, int outputTo = -1);
    // The same for a program and its arguments, given word by word.
    static std::unique_ptr<CChildProcess> Start(const std::vector<std::string>& words, int& error, int outputTo = -1,
                                                int inputFrom = -1);

    // True once the program has ended; tests without waiting and reaps it.
    bool HasExited();
    // How it ended, once HasExited: the exit status, or the signal that ended it. A program that
    // someone else reaped counts as ended with status 0: nothing tells otherwise.
    int ExitStatus() const { return m_exitStatus; }
    int EndingSignal() const { return m_endingSignal; }
    // A descriptor that becomes readable when the program ends, for the event loop to watch.
    int ExitDescriptor() const { return m_pidFd; }
    pid_t Pid() const { return m_pid; }

private:
    CChildProcess(pid_t pid, int pidFd) : m_pid(pid), m_pidFd(pidFd) {}

    pid_t m_pid;
    int m_pidFd;
    bool m_exited = false;
    int m_exitStatus = 0;
    int m_endingSignal = 0;
};
