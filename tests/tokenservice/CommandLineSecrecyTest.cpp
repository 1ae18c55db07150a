// The README's imports, run while another user (nobody) reads the command line of every process
// on the machine, as any local user can: the seed must not be in any of them.
#include "SqliteConnection.h"
#include "TokenDatabase.h"

#include "TempDir.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <openssl/rand.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <csignal>
#include <cstdlib>
#include <cstring>
#include <dirent.h>
#include <fcntl.h>
#include <filesystem>
#include <grp.h>
#include <iostream>
#include <memory>
#include <poll.h>
#include <pwd.h>
#include <set>
#include <stdexcept>
#include <string>
#include <sys/stat.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>
#include <vector>

namespace {

using namespace std::chrono_literals;

// The README's lines (section "Adding a token"), run as they stand.
constexpr const char* kLinkImport = "kelvane-token import A1 < link.txt";
constexpr const char* kReadSeed = "read -rs SEED";
constexpr const char* kPipedImport = "printf '%s\\n' \"$SEED\" | kelvane-token import --user carol C3";

// A seed no other process on the machine holds: 20 random bytes in base32.
std::string RandomSeed()
{
    unsigned char bytes[20];
    if (RAND_bytes(bytes, sizeof bytes) != 1)
        throw std::runtime_error("no random bytes");
    constexpr char kAlphabet[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZ234567";
    std::string text;
    unsigned buffer = 0;
    int bits = 0;
    for (const unsigned char byte : bytes) {
        buffer = (buffer << 8 | byte) & 0xfff;
        for (bits += 8; bits >= 5; bits -= 5)
            text += kAlphabet[(buffer >> (bits - 5)) & 31];
    }
    return text;
}

bool WriteAll(int fd, std::string_view text)
{
    while (!text.empty()) {
        const ssize_t written = ::write(fd, text.data(), text.size());
        if (written <= 0)
            return false;
        text.remove_prefix(static_cast<std::size_t>(written));
    }
    return true;
}

std::string ReadSmallFile(const std::string& path, std::size_t limit = 1 << 20)
{
    std::string content;
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        return content;
    char buffer[4096];
    ssize_t got = 0;
    while (content.size() < limit && (got = ::read(fd, buffer, sizeof buffer)) > 0)
        content.append(buffer, static_cast<std::size_t>(got));
    ::close(fd);
    return content;
}

// A forked process that drops to another user and, until stopped, reads /proc/PID/cmdline of
// every process over and over (and /proc/PID/environ where it may), looking for `needle`. It
// reports on a pipe, one line each:
//   "uid U"             the user it runs as, once it has dropped root
//   "private-readable"  it could read the test's own environment: it is not unprivileged
//   "tool PID ARGS"     a process named kelvane-token it saw, with its command line
//   "found PID FILE"    a command line or environment that held the needle
//   "passes N"          how many times it went through all processes, when stopped
class CommandLinePoller {
public:
    CommandLinePoller(uid_t uid, gid_t gid, const std::string& needle)
    {
        int report[2];
        int stop[2];
        if (::pipe2(report, O_CLOEXEC) != 0 || ::pipe2(stop, O_CLOEXEC) != 0)
            throw std::runtime_error("pipe failed");
        const pid_t parent = ::getpid();
        m_pid = ::fork();
        if (m_pid == 0) {
            ::close(report[0]);
            ::close(stop[1]);
            ::_exit(Poll(uid, gid, needle, parent, report[1], stop[0]));
        }
        ::close(report[1]);
        ::close(stop[0]);
        m_report = report[0];
        m_stop = stop[1];
    }

    ~CommandLinePoller() { Stop(); }

    // Waits until the poller has reported a kelvane-token process whose command line holds
    // `words`, for up to thirty seconds.
    bool WaitForTool(const std::string& words)
    {
        // The tool waits for the test until it is seen, so a loaded machine only makes this slower.
        const auto deadline = std::chrono::steady_clock::now() + 30s;
        for (std::size_t seen = 0;;) {
            for (; seen < m_lines.size(); ++seen)
                if (m_lines[seen].starts_with("tool ") && m_lines[seen].find(words) != std::string::npos)
                    return true;
            const auto left =
                std::chrono::duration_cast<std::chrono::milliseconds>(deadline - std::chrono::steady_clock::now());
            if (left <= 0ms || !ReadReport(static_cast<int>(left.count())))
                return false;
        }
    }

    // Stops the poller; every line it reported.
    const std::vector<std::string>& Stop()
    {
        if (m_pid > 0) {
            ::close(m_stop);
            while (ReadReport(10000)) {
            }
            ::waitpid(m_pid, nullptr, 0);
            ::close(m_report);
            m_pid = -1;
        }
        return m_lines;
    }

    std::vector<std::string> LinesStartingWith(const std::string& prefix) const
    {
        std::vector<std::string> found;
        for (const auto& line : m_lines)
            if (line.starts_with(prefix))
                found.push_back(line);
        return found;
    }

private:
    // Adds what the poller reported within `timeoutMs` to m_lines; false at its end.
    bool ReadReport(int timeoutMs)
    {
        pollfd ready{m_report, POLLIN, 0};
        if (::poll(&ready, 1, timeoutMs) <= 0)
            return ready.revents != 0;
        char buffer[4096];
        const ssize_t got = ::read(m_report, buffer, sizeof buffer);
        if (got <= 0)
            return false;
        m_pending.append(buffer, static_cast<std::size_t>(got));
        for (std::size_t end; (end = m_pending.find('\n')) != std::string::npos; m_pending.erase(0, end + 1))
            m_lines.push_back(m_pending.substr(0, end));
        return true;
    }

    // The poller's life, in the forked child; its exit code.
    static int Poll(uid_t uid, gid_t gid, const std::string& needle, pid_t parent, int report, int stop)
    {
        const auto say = [report](const std::string& line) { WriteAll(report, line + "\n"); };
        if (::setgroups(0, nullptr) != 0 || ::setgid(gid) != 0 || ::setuid(uid) != 0 || ::getuid() != uid ||
            ::geteuid() != uid) {
            say("error: cannot become uid " + std::to_string(uid));
            return 1;
        }
        say("uid " + std::to_string(::getuid()));
        if (::access(("/proc/" + std::to_string(parent) + "/environ").c_str(), R_OK) == 0 &&
            !ReadSmallFile("/proc/" + std::to_string(parent) + "/environ").empty())
            say("private-readable");
        std::set<pid_t> tools;
        long passes = 0;
        for (pollfd stopped{stop, POLLIN, 0}; ::poll(&stopped, 1, 0) == 0; ++passes) {
            DIR* proc = ::opendir("/proc");
            if (proc == nullptr) {
                say("error: cannot read /proc");
                return 1;
            }
            while (const dirent* entry = ::readdir(proc)) {
                char* end = nullptr;
                const long pid = std::strtol(entry->d_name, &end, 10);
                if (pid <= 0 || *end != '\0')
                    continue;
                const std::string folder = "/proc/" + std::string(entry->d_name) + "/";
                const std::string arguments = ReadSmallFile(folder + "cmdline");
                for (const char* file : {"cmdline", "environ"}) {
                    const std::string text = file == std::string("cmdline") ? arguments : ReadSmallFile(folder + file);
                    if (text.find(needle) != std::string::npos)
                        say("found " + std::to_string(pid) + " " + file);
                }
                if (!arguments.empty() && ReadSmallFile(folder + "comm") == "kelvane-token\n" &&
                    tools.insert(static_cast<pid_t>(pid)).second) {
                    std::string shown = arguments;
                    std::replace(shown.begin(), shown.end(), '\0', ' ');
                    say("tool " + std::to_string(pid) + " " + shown);
                }
            }
            ::closedir(proc);
        }
        say("passes " + std::to_string(passes));
        return 0;
    }

    pid_t m_pid = -1;
    int m_report = -1;
    int m_stop = -1;
    std::string m_pending;
    std::vector<std::string> m_lines;
};

// `script` run by bash in `folder`, with kelvane-token on its PATH, standard input from `input`
// (or /dev/null) and its output in folder/out and folder/err.
class Shell {
public:
    Shell(const std::string& folder, const std::string& script, int input = -1)
    {
        const char* systemPath = std::getenv("PATH");
        const std::string path = std::filesystem::path(KELVANE_TOKEN_PATH).parent_path().string() + ":" +
                                 (systemPath != nullptr ? systemPath : "/usr/bin:/bin");
        const std::string out = folder + "/out";
        const std::string err = folder + "/err";
        m_pid = ::fork();
        if (m_pid == 0) {
            const int in = input >= 0 ? input : ::open("/dev/null", O_RDONLY);
            if (::chdir(folder.c_str()) != 0 || ::dup2(in, STDIN_FILENO) < 0 ||
                ::dup2(::open(out.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600), STDOUT_FILENO) < 0 ||
                ::dup2(::open(err.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600), STDERR_FILENO) < 0)
                ::_exit(126);
            ::setenv("PATH", path.c_str(), 1);
            ::execl("/bin/bash", "bash", "-c", script.c_str(), nullptr);
            ::_exit(127);
        }
    }

    ~Shell()
    {
        if (m_pid > 0) {
            ::kill(m_pid, SIGKILL);
            Wait();
        }
    }

    // Its exit code, or -1.
    int Wait()
    {
        int status = 0;
        const bool ended = m_pid > 0 && ::waitpid(m_pid, &status, 0) == m_pid;
        m_pid = -1;
        return ended && WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    }

private:
    pid_t m_pid = -1;
};

// Ignores SIGPIPE while it lives: a tool that ends early must fail the test, not end it.
class NoSigpipe {
public:
    NoSigpipe() : m_previous(std::signal(SIGPIPE, SIG_IGN)) {}
    ~NoSigpipe() { std::signal(SIGPIPE, m_previous); }
    NoSigpipe(const NoSigpipe&) = delete;
    NoSigpipe& operator=(const NoSigpipe&) = delete;

private:
    void (*m_previous)(int);
};

// Opens the FIFO `path` for writing once its reader has opened it (within five seconds).
int OpenFifoForWriting(const std::string& path)
{
    for (auto deadline = std::chrono::steady_clock::now() + 5s; std::chrono::steady_clock::now() < deadline;) {
        const int fd = ::open(path.c_str(), O_WRONLY | O_NONBLOCK | O_CLOEXEC);
        if (fd >= 0) {
            ::fcntl(fd, F_SETFL, 0);
            return fd;
        }
        if (errno != ENXIO)
            return -1;
        std::this_thread::sleep_for(1ms);
    }
    return -1;
}

// Writes `text` a few bytes at a time, so that its reader is surely running meanwhile.
bool WriteSlowly(int fd, const std::string& text)
{
    for (std::size_t at = 0; at < text.size(); at += 4) {
        if (!WriteAll(fd, std::string_view(text).substr(at, 4)))
            return false;
        std::this_thread::sleep_for(2ms);
    }
    return true;
}

TEST(CommandLineSecrecyTest, ANobodyReadingEveryCommandLineNeverSeesTheSeedOfTheReadmeImports)
{
    const std::string readme = ReadFile(TREVALO_README);
    for (const char* line : {kLinkImport, kReadSeed, kPipedImport})
        ASSERT_NE(readme.find(std::string("\n") + line), std::string::npos) << "the README no longer shows " << line;
    if (::geteuid() != 0)
        GTEST_SKIP() << "needs root, to run the poller as nobody";
    const passwd* nobody = ::getpwnam("nobody");
    ASSERT_NE(nobody, nullptr);
    TempDir dir;
    const NoSigpipe noSigpipe;
    const std::string seed = RandomSeed();
    CommandLinePoller poller(nobody->pw_uid, nobody->pw_gid, seed);

    {
        // The link from a file: a FIFO here, filled slowly once the poller has seen the tool.
        const std::string link = "otpauth://totp/Dialup:alice?secret=" + seed + "&issuer=Dialup&digits=6&period=60";
        ASSERT_EQ(::mkfifo(dir.File("link.txt").c_str(), 0600), 0);
        Shell shell(dir.Path(), kLinkImport);
        const int fifo = OpenFifoForWriting(dir.File("link.txt"));
        ASSERT_GE(fifo, 0) << ReadFile(dir.File("err"));
        const bool seen = poller.WaitForTool("kelvane-token import A1");
        EXPECT_TRUE(WriteSlowly(fifo, link + "\n"));
        ::close(fifo);
        EXPECT_EQ(shell.Wait(), 0) << ReadFile(dir.File("err"));
        ASSERT_TRUE(seen) << "the poller never saw the tool running";
    }
    {
        // The seed typed (a pipe here) into read -rs and piped on by printf. The test holds the
        // database's write lock, so the tool, seed read, waits until the poller has seen it.
        int input[2];
        ASSERT_EQ(::pipe2(input, O_CLOEXEC), 0);
        auto lock = std::make_unique<SqliteConnection>(TokenDatabase::DefaultPath(), true);
        lock->Execute("BEGIN IMMEDIATE");
        Shell shell(dir.Path(), std::string(kReadSeed) + "\n" + kPipedImport + "\n", input[0]);
        ::close(input[0]);
        EXPECT_TRUE(WriteSlowly(input[1], seed + "\n"));
        ::close(input[1]);
        const bool seen = poller.WaitForTool("kelvane-token import --user carol C3");
        lock.reset();
        EXPECT_EQ(shell.Wait(), 0) << ReadFile(dir.File("err"));
        ASSERT_TRUE(seen) << "the poller never saw the tool running";
    }

    const std::vector<std::string>& report = poller.Stop();
    std::string shown;
    for (const auto& line : report)
        shown += line + "\n";
    std::cout << "What the poller reported:\n" << shown;
    EXPECT_THAT(report, ::testing::Contains("uid " + std::to_string(nobody->pw_uid))) << shown;
    EXPECT_THAT(report, ::testing::Not(::testing::Contains("private-readable"))) << shown;
    EXPECT_EQ(poller.LinesStartingWith("error"), std::vector<std::string>{}) << shown;
    EXPECT_EQ(poller.LinesStartingWith("found"), std::vector<std::string>{}) << shown;
    EXPECT_EQ(poller.LinesStartingWith("passes").size(), 1u) << shown;

    std::vector<StoredToken> tokens;
    TokenFailure failure;
    ASSERT_TRUE(TokenDatabase(TokenDatabase::DefaultPath()).List(tokens, failure));
    ASSERT_EQ(tokens.size(), 2u);
    EXPECT_EQ(tokens[0].serial, "A1");
    EXPECT_EQ(tokens[1].serial, "C3");
}

} // namespace
