// The far end of a dial-up line for the test that logs in with the real chat: a modem and a
// dial-in host behind one pseudo-terminal. A stand-in, because neither can run here for real.
//
//     dialin-host USER  <SEED-AND-PIN
//
// Reads the token's base32 seed and the PIN it expects (a line each) from standard input, then
// prints the path of the terminal's slave side for the dialler. It answers every modem command
// with OK and a dial with CONNECT, asks for login and password, and checks the user and the
// passcode: the PIN followed by the token's code of the current or the previous 60-second step.
// Its verdict is its last line: "accepted", "refused: user", "refused: passcode", or "no login"
// when the dialler fell silent or hung up first. The passcode is never printed.
#include <cstdio>
#include <cstring>
#include <ctime>
#include <fcntl.h>
#include <iostream>
#include <poll.h>
#include <spawn.h>
#include <string>
#include <sys/wait.h>
#include <termios.h>
#include <unistd.h>
#include <vector>

extern char** environ;

namespace {

// Long enough for Trevalo and chat to start on a busy machine.
constexpr int kSilenceMs = 45000;

void Wipe(std::string& text)
{
    ::explicit_bzero(text.data(), text.size());
    text.clear();
}

// The master side of the terminal. It keeps the slave side open until the dialler first speaks,
// so that the dialler may open it late, and its hang-up shows afterwards.
class Line {
public:
    Line(int master, int slave) : m_master(master), m_slave(slave) {}

    void Write(const std::string& text) const
    {
        if (::write(m_master, text.data(), text.size()) < 0)
            std::perror("dialin-host: write");
    }

    // The next line that is not empty, ended by CR or LF; false when the dialler stayed silent
    // or hung up before ending one.
    bool Read(std::string& text)
    {
        for (;;) {
            const auto end = m_pending.find_first_of("\r\n");
            if (end != std::string::npos) {
                text.assign(m_pending, 0, end);
                ::explicit_bzero(m_pending.data(), end + 1);
                m_pending.erase(0, end + 1);
                if (!text.empty())
                    return true;
                continue;
            }
            if (!ReadMore())
                return false;
        }
    }

    ~Line() { Wipe(m_pending); }

private:
    bool ReadMore()
    {
        pollfd ready{m_master, POLLIN, 0};
        if (::poll(&ready, 1, kSilenceMs) <= 0)
            return false;
        char buffer[256];
        const ssize_t got = ::read(m_master, buffer, sizeof buffer);
        if (got <= 0)
            return false; // EIO once the dialler has closed its side
        m_pending.append(buffer, static_cast<std::size_t>(got));
        ::explicit_bzero(buffer, sizeof buffer);
        if (m_slave >= 0) {
            ::close(m_slave);
            m_slave = -1;
        }
        return true;
    }

    int m_master;
    int m_slave;
    std::string m_pending;
};

// The codes of the previous and the current 60-second step, by oathtool: an implementation of
// its own, and the seed goes to it on standard input, never on its command line.
std::vector<std::string> AcceptedCodes(std::string seed)
{
    int in[2], out[2];
    if (::pipe(in) != 0 || ::pipe(out) != 0)
        return {};
    const std::string now = "--now=@" + std::to_string(std::time(nullptr) - 60);
    const char* argv[] = {"oathtool", "--totp", "--time-step-size=60s", "--base32", "-w1", now.c_str(), "-", nullptr};
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, in[0], STDIN_FILENO);
    posix_spawn_file_actions_adddup2(&actions, out[1], STDOUT_FILENO);
    posix_spawn_file_actions_addclosefrom_np(&actions, 3);
    pid_t pid = 0;
    const int error = ::posix_spawnp(&pid, "oathtool", &actions, nullptr, const_cast<char* const*>(argv), environ);
    posix_spawn_file_actions_destroy(&actions);
    ::close(in[0]);
    ::close(out[1]);
    seed += '\n';
    if (error == 0 && ::write(in[1], seed.data(), seed.size()) < 0)
        std::perror("dialin-host: oathtool");
    Wipe(seed);
    ::close(in[1]);
    std::string output;
    char buffer[64];
    for (ssize_t got; (got = ::read(out[0], buffer, sizeof buffer)) > 0;)
        output.append(buffer, static_cast<std::size_t>(got));
    ::explicit_bzero(buffer, sizeof buffer);
    ::close(out[0]);
    if (error == 0)
        ::waitpid(pid, nullptr, 0);
    std::vector<std::string> codes;
    for (std::size_t start = 0, end; (end = output.find('\n', start)) != std::string::npos; start = end + 1)
        codes.push_back(output.substr(start, end - start));
    Wipe(output);
    return codes;
}

bool PasscodeMatches(const std::string& passcode, const std::string& pin, const std::string& seed)
{
    bool matches = false;
    for (std::string& code : AcceptedCodes(seed)) {
        matches = matches || passcode == pin + code;
        Wipe(code);
    }
    return matches;
}

// The modem: OK to every command until a dial, which connects.
bool Dial(Line& line)
{
    std::string command;
    do {
        if (!line.Read(command))
            return false;
        line.Write(command.starts_with("ATD") ? "\r\nCONNECT 115200\r\n" : "\r\nOK\r\n");
    } while (!command.starts_with("ATD"));
    return true;
}

std::string LogIn(Line& line, const std::string& user, const std::string& pin, const std::string& seed)
{
    if (!Dial(line))
        return "no login";
    line.Write("\r\nDial-in host\r\n\r\nlogin: ");
    std::string name;
    if (!line.Read(name))
        return "no login";
    line.Write("Password: ");
    std::string passcode;
    if (!line.Read(passcode))
        return "no login";
    const bool userRight = name == user;
    const bool passcodeRight = PasscodeMatches(passcode, pin, seed);
    Wipe(name);
    Wipe(passcode);
    // A host that takes the login starts PPP, whose frames begin with "~".
    line.Write(userRight && passcodeRight ? "\r\nWelcome.\r\n~\xff}#" : "\r\nLogin incorrect\r\n");
    // It hangs up only after the dialler: a hang-up first would throw away what it wrote last.
    for (std::string rest; line.Read(rest);)
        Wipe(rest);
    return !userRight ? "refused: user" : !passcodeRight ? "refused: passcode" : "accepted";
}

// A new pseudo-terminal, its slave side raw as pppd leaves a line for its connect script.
bool OpenTerminal(int& master, int& slave, std::string& slavePath)
{
    master = ::posix_openpt(O_RDWR | O_NOCTTY);
    const char* path = master < 0 || ::grantpt(master) != 0 || ::unlockpt(master) != 0 ? nullptr : ::ptsname(master);
    if (path == nullptr)
        return false;
    slavePath = path;
    slave = ::open(slavePath.c_str(), O_RDWR | O_NOCTTY);
    termios settings{};
    if (slave < 0 || ::tcgetattr(slave, &settings) != 0)
        return false;
    ::cfmakeraw(&settings);
    return ::tcsetattr(slave, TCSANOW, &settings) == 0;
}

} // namespace

int main(int argc, char** argv)
{
    std::string seed, pin;
    if (argc != 2 || !std::getline(std::cin, seed) || !std::getline(std::cin, pin)) {
        std::fprintf(stderr, "usage: dialin-host USER  <SEED-AND-PIN\n");
        return 2;
    }
    int master = -1, slave = -1;
    std::string slavePath;
    if (!OpenTerminal(master, slave, slavePath)) {
        std::perror("dialin-host: pseudo-terminal");
        return 1;
    }
    std::printf("%s\n", slavePath.c_str());
    std::fflush(stdout);
    Line line(master, slave);
    std::printf("%s\n", LogIn(line, argv[1], pin, seed).c_str());
    Wipe(seed);
    Wipe(pin);
    return 0;
}
