// The channel between trevalo, a second start and trevalo-notify, against another user
// (the real user nobody) and against a copy that does not answer.
#include <ChildProcess.h>
#include <Reachable.h>
#include <TempDir.h>

#include <gtest/gtest.h>

#include <csignal>
#include <cstdlib>
#include <filesystem>
#include <optional>
#include <pwd.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

namespace {

std::string SocketOf(const std::string& directory, uid_t uid)
{
    return directory + "/QuillonMainWindow-" + std::to_string(uid);
}

// Runs `arguments` (program first) and returns what it wrote on standard output and error.
std::string Output(const std::vector<std::string>& arguments, int& status)
{
    std::vector<std::string> shell{"/bin/sh", "-c", "exec \"$0\" \"$@\" 2>&1"};
    shell.insert(shell.end(), arguments.begin(), arguments.end());
    ChildProcess child(shell);
    std::string output;
    for (std::string line; child.ReadLine(line);)
        output += line + "\n";
    status = child.Wait();
    return output;
}

class ChannelTest : public ::testing::Test {
protected:
    ChannelTest()
    {
        std::filesystem::create_directory(runtime);
        ::setenv("TREVALO_RUNTIME_DIR", runtime.c_str(), 1);
        ::setenv("QT_QPA_PLATFORM", "offscreen", 1);
    }

    // The real user nobody, when the test runs as root and may become it.
    static const passwd* Nobody()
    {
        const passwd* nobody = ::getpwnam("nobody");
        return ::geteuid() == 0 && nobody && nobody->pw_uid != 0 ? nobody : nullptr;
    }

    // Lets nobody reach the channel's directory, and with `create` make a socket there.
    void OpenToNobody(bool create)
    {
        ::chmod(dir.Path().c_str(), 0711);
        ::chmod(runtime.c_str(), create ? 01777 : 0711);
    }

    TempDir dir;
    const std::string runtime = dir.File("runtime");
    const std::string socket = SocketOf(runtime, ::getuid());
};

// Nobody's socket at the channel's name: its file is nobody's, or (bound by this user's process
// before it became nobody) only the process listening on it is, holding the lock as well.
class ChannelSquatterTest : public ChannelTest, public ::testing::WithParamInterface<bool> {};

} // namespace

TEST_P(ChannelSquatterTest, NeitherEndTalksToAnotherUsersSocket)
{
    const passwd* nobody = Nobody();
    if (!nobody)
        GTEST_SKIP() << "needs root and the user nobody";
    const bool boundByThisUser = GetParam();
    OpenToNobody(!boundByThisUser);
    std::optional<ChildProcess> squatter;
    if (boundByThisUser)
        squatter.emplace(
            std::vector<std::string>{CHANNEL_PEER, "serve", socket, socket + ".lock", std::to_string(nobody->pw_uid)});
    else
        squatter.emplace(std::vector<std::string>{CHANNEL_PEER, "serve", socket}, nobody->pw_uid);
    std::string line;
    ASSERT_TRUE(squatter->ReadLine(line));
    ASSERT_EQ("listening", line);
    const std::string refusal = socket + " belongs to user " + std::to_string(nobody->pw_uid);

    int status = -1;
    const std::string notified = Output({TREVALO_NOTIFY, "0"}, status);
    EXPECT_EQ(3, status);
    EXPECT_NE(std::string::npos, notified.find("trevalo-notify: refused: " + refusal)) << notified;
    const std::string started = Output({TREVALO}, status);
    EXPECT_EQ(1, status);
    EXPECT_NE(std::string::npos, started.find("trevalo: Trevalo cannot start: it cannot create " + socket)) << started;
    EXPECT_NE(std::string::npos, started.find(refusal)) << started;
    // A socket file of another user's is refused before any connection; only the process behind a
    // file that looks like ours is found out once connected.
    squatter->Kill();
    bool accepted = false;
    while (squatter->ReadLine(line))
        accepted = accepted || line == "accepted";
    EXPECT_EQ(boundByThisUser, accepted);
}

INSTANTIATE_TEST_SUITE_P(Squatters, ChannelSquatterTest, ::testing::Bool(),
                         [](const ::testing::TestParamInfo<bool>& test) {
                             return test.param ? "ListeningOnly" : "SocketFile";
                         });

TEST_F(ChannelTest, TheProgramDropsAnotherUsersConnection)
{
    const passwd* nobody = Nobody();
    if (!nobody)
        GTEST_SKIP() << "needs root and the user nobody";
    OpenToNobody(true);
    ChildProcess program({TREVALO}, nobody->pw_uid);
    const std::string id = std::to_string(nobody->pw_uid);
    ASSERT_TRUE(WaitUntilAnswering(
        {"/usr/bin/setpriv", "--reuid=" + id, "--regid=" + id, "--clear-groups", Reachable(TREVALO_NOTIFY), "99"}));
    int status = -1;
    EXPECT_EQ("", Output({CHANNEL_PEER, "ask", SocketOf(runtime, nobody->pw_uid), "MESSAGE KVRasNotify 99 0"}, status));
    EXPECT_EQ(0, status);
    program.Signal(SIGTERM);
    EXPECT_EQ(0, program.Wait());
}

TEST_F(ChannelTest, ASecondStartNeverTakesTheChannelOfACopyThatDoesNotAnswer)
{
    ChildProcess first({TREVALO});
    ASSERT_TRUE(WaitUntilAnswering({TREVALO_NOTIFY, "99"}));
    first.Signal(SIGSTOP);
    int status = -1;
    // A start that took the channel over would run on: timeout ends it.
    const std::string said = Output({"/usr/bin/timeout", "20", TREVALO}, status);
    first.Signal(SIGCONT);
    EXPECT_EQ(1, status);
    EXPECT_NE(std::string::npos,
              said.find("trevalo: Trevalo already runs for this user but does not answer on " + socket + "\n"))
        << said;
    int answered = -1;
    Output({TREVALO_NOTIFY, "99"}, answered);
    EXPECT_EQ(0, answered);
    first.Signal(SIGTERM);
    EXPECT_EQ(0, first.Wait());
}

namespace {

int ConnectTo(const std::string& path)
{
    const int fd = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    path.copy(address.sun_path, sizeof address.sun_path - 1);
    if (fd >= 0 && ::connect(fd, reinterpret_cast<const sockaddr*>(&address), sizeof address) != 0) {
        ::close(fd);
        return -1;
    }
    return fd;
}

// A line of /proc/PID/status, as a number (kB for the memory lines).
long StatusNumber(pid_t pid, const std::string& field)
{
    const std::string status = ReadFile("/proc/" + std::to_string(pid) + "/status");
    const std::size_t at = status.find("\n" + field + ":");
    return at == std::string::npos ? -1 : std::atol(status.c_str() + at + field.size() + 2);
}

// The next line of `program`'s output that says something of the channel; Qt's own remarks pass.
std::string NextChannelLine(ChildProcess& program)
{
    std::string line;
    while (program.ReadLine(line) && line.find("trevalo: the channel") != 0) {
    }
    return line;
}

} // namespace

// The user's own programs may flood the channel with idle connections, or send a line without
// end: the channel stays up, within a few clients, each with a short line and a short while.
// Out of descriptors, it waits, says so, and takes connections again once there are some.
TEST_F(ChannelTest, FloodsAndEndlessLinesLeaveTheChannelAnswering)
{
    ChildProcess program({"/bin/sh", "-c", "exec \"$0\" \"$@\" 2>&1", "/usr/bin/prlimit", "--nofile=128", TREVALO});
    ASSERT_TRUE(WaitUntilAnswering({TREVALO_NOTIFY, "99"}));
    std::vector<int> flood;
    for (int i = 0; i < 300; ++i)
        flood.push_back(ConnectTo(socket));
    EXPECT_TRUE(WaitUntilAnswering({TREVALO_NOTIFY, "99"})); // once the idle ones are dropped
    for (const int fd : flood)
        ::close(fd);

    const long peakBefore = StatusNumber(program.Pid(), "VmHWM");
    const int endless = ConnectTo(socket);
    const std::string chunk(1 << 16, 'x');
    for (std::size_t sent = 0; sent < (64u << 20) && ::send(endless, chunk.data(), chunk.size(), MSG_NOSIGNAL) > 0;)
        sent += chunk.size();
    ::close(endless);
    EXPECT_LT(StatusNumber(program.Pid(), "VmHWM") - peakBefore, 4096) << "kB more at the peak";

    // No descriptor to spare: one client takes the last, the next must wait.
    const long open = static_cast<long>(
        std::distance(std::filesystem::directory_iterator("/proc/" + std::to_string(program.Pid()) + "/fd"), {}));
    const std::string limit = "--nofile=" + std::to_string(open + 1) + ":128";
    ASSERT_EQ(0, RunToEnd({"/usr/bin/prlimit", "--pid", std::to_string(program.Pid()), limit}));
    const int last = ConnectTo(socket), waiting = ConnectTo(socket);
    EXPECT_EQ("trevalo: the channel " + socket +
                  " cannot take a connection: Too many open files; it tries again "
                  "in a second",
              NextChannelLine(program));
    ::close(last);
    ::close(waiting);
    EXPECT_TRUE(WaitUntilAnswering({TREVALO_NOTIFY, "99"}));
    EXPECT_EQ("trevalo: the channel " + socket + " takes connections again", NextChannelLine(program));
    // Descriptors to end with (the sanitizers' leak check at exit opens files).
    ASSERT_EQ(0, RunToEnd({"/usr/bin/prlimit", "--pid", std::to_string(program.Pid()), "--nofile=128"}));
    program.Signal(SIGTERM);
    EXPECT_EQ(0, program.Wait());
}
