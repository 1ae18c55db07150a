#include <platform/ChildProcess.h>

#include <TempDir.h>

#include <gtest/gtest.h>

#include <cerrno>
#include <chrono>
#include <cstdlib>
#include <fcntl.h>
#include <poll.h>
#include <sys/stat.h>
#include <thread>
#include <sys/wait.h>
#include <unistd.h>

namespace {

// Waits up to five seconds for the program to end, the way the event loop does: on its
// exit descriptor.
bool WaitForExit(CChildProcess& process)
{
    pollfd wait{process.ExitDescriptor(), POLLIN, 0};
    return ::poll(&wait, 1, 5000) == 1 && process.HasExited();
}

void WriteScript(const std::string& path, const std::string& body)
{
    WriteFile(path, "#!/bin/sh\n" + body);
    ::chmod(path.c_str(), 0755);
}

} // namespace

TEST(ChildProcess, SplitsTheCommandLineWithoutExpansion)
{
    TempDir dir;
    const std::string out = dir.File("args");
    WriteScript(dir.File("show args"), "for a in \"$@\"; do echo \"[$a]\"; done > '" + out + "'\n");
    int error = 0;
    auto process = CChildProcess::Start("\"" + dir.File("show args") + "\" one \"two words\" $HOME '*' ~", error);
    ASSERT_NE(nullptr, process) << error;
    ASSERT_TRUE(WaitForExit(*process));
    EXPECT_EQ("[one]\n[two words]\n[$HOME]\n['*']\n[~]\n", ReadFile(out));
}

TEST(ChildProcess, LooksUpProgramsOnThePath)
{
    TempDir dir;
    WriteScript(dir.File("my-dialer"), "exit 0\n");
    const std::string oldPath = std::getenv("PATH");
    ::setenv("PATH", (dir.Path() + ":" + oldPath).c_str(), 1);
    int error = 0;
    auto process = CChildProcess::Start("my-dialer --now", error);
    ::setenv("PATH", oldPath.c_str(), 1);
    ASSERT_NE(nullptr, process);
    EXPECT_TRUE(WaitForExit(*process));
}

// A user's PATH lacks /usr/sbin, where Debian keeps system programs such as pppd and nologin.
TEST(ChildProcess, StartsABareNameFoundOnlyInTheSystemProgramDirectories)
{
    TempDir dir;
    const ScopedPath path(dir.Path());
    int error = 0;
    auto process = CChildProcess::Start("nologin", error);
    ASSERT_NE(nullptr, process) << error;
    EXPECT_TRUE(WaitForExit(*process));
}

TEST(ChildProcess, AProgramThatCannotStartFailsAtOnce)
{
    TempDir dir;
    int error = 0;
    EXPECT_EQ(nullptr, CChildProcess::Start("no-such-program-anywhere", error));
    EXPECT_EQ(ENOENT, error);
    EXPECT_EQ(nullptr, CChildProcess::Start(dir.File("missing") + " arg", error));
    EXPECT_EQ(nullptr, CChildProcess::Start("", error));
    EXPECT_EQ(nullptr, CChildProcess::Start("\"/bin/true", error));
    EXPECT_EQ(EINVAL, error);
    WriteFile(dir.File("not-executable"), "#!/bin/sh\n");
    EXPECT_EQ(nullptr, CChildProcess::Start(dir.File("not-executable"), error));
    EXPECT_EQ(EACCES, error);
}

TEST(ChildProcess, TellsARunningProgramFromAnEndedOne)
{
    TempDir dir;
    WriteScript(dir.File("wait"), "while [ ! -e '" + dir.File("go") + "' ]; do sleep 0.01; done\n");
    int error = 0;
    auto process = CChildProcess::Start(dir.File("wait"), error);
    ASSERT_NE(nullptr, process);
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
    EXPECT_FALSE(process->HasExited());
    WriteFile(dir.File("go"), "");
    ASSERT_TRUE(WaitForExit(*process));
    EXPECT_TRUE(process->HasExited());
    // Reaped: no such child any more.
    EXPECT_EQ(-1, ::waitpid(process->Pid(), nullptr, WNOHANG));
}

TEST(ChildProcess, TheProgramGetsNoneOfOurOpenFiles)
{
    TempDir dir;
    const int secret = ::open(dir.File("secret").c_str(), O_CREAT | O_WRONLY, 0600); // no close-on-exec
    ASSERT_GE(secret, 3);
    const std::string out = dir.File("fds");
    WriteScript(dir.File("list fds"), "ls /proc/$$/fd > '" + out + "'\n");
    int error = 0;
    auto process = CChildProcess::Start(std::vector<std::string>{dir.File("list fds")}, error);
    ASSERT_NE(nullptr, process) << error;
    ASSERT_TRUE(WaitForExit(*process));
    ::close(secret);
    // 0, 1, 2 and the one ls itself opens.
    EXPECT_EQ(std::string::npos, ReadFile(out).find('\n' + std::to_string(secret) + '\n')) << ReadFile(out);
}
