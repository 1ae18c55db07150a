#pragma once

#include <string>
#include <sys/types.h>
#include <vector>

// A helper program run as a child with its standard output on a pipe, for tests that need a
// second process: one to kill in the middle of its work, or one running as another user.
class ChildProcess {
public:
    // Starts `arguments` (program first). With `runAsUid` set, the child drops to that user first
    // and runs the program where that user can reach it.
    explicit ChildProcess(std::vector<std::string> arguments, uid_t runAsUid = 0);
    ~ChildProcess();
    ChildProcess(const ChildProcess&) = delete;
    ChildProcess& operator=(const ChildProcess&) = delete;

    // The next line the child printed; false at the end of its output.
    bool ReadLine(std::string& line);
    void Kill();
    void Signal(int signal);
    pid_t Pid() const { return m_pid; }
    // Waits for the child; its exit code, or -1 when it did not exit normally.
    int Wait();

private:
    pid_t m_pid = -1;
    int m_fd = -1;
    std::string m_pending;
};

// Runs `arguments` (program first) to its end: its exit code as Wait gives it, and what it printed
// on standard output appended to `output` when that is given.
int RunToEnd(const std::vector<std::string>& arguments, std::string* output = nullptr);

// Runs `probe` (program first) every 50 ms, for up to ten seconds, until it exits with 0: for
// waiting until a started program answers.
bool WaitUntilAnswering(const std::vector<std::string>& probe);
