// A peer on a Trevalo channel that is not Trevalo, for the tests of who may talk to whom.
//   channel-peer serve SOCKET              listens at SOCKET and answers "OK" to every line
//   channel-peer serve SOCKET LOCK UID     binds SOCKET and holds LOCK's lock as the starting user,
//                                          then listens as UID (the file looks like its user's)
//   channel-peer ask SOCKET LINE           sends LINE and prints the answer line, if any
// It prints "listening" once it listens, and "accepted" for each connection.
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <string>
#include <sys/file.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

namespace {

int SocketAt(const char* path, sockaddr_un& address)
{
    address.sun_family = AF_UNIX;
    std::strncpy(address.sun_path, path, sizeof address.sun_path - 1);
    return ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
}

int Serve(const char* path, const char* lock, const char* uid)
{
    sockaddr_un address{};
    const int server = SocketAt(path, address);
    if (server < 0 || ::bind(server, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0)
        return 1;
    if (lock) {
        const int fd = ::open(lock, O_RDWR | O_CREAT | O_CLOEXEC, 0600);
        const uid_t user = static_cast<uid_t>(std::strtoul(uid, nullptr, 10));
        if (fd < 0 || ::flock(fd, LOCK_EX) != 0 || ::setgid(user) != 0 || ::setuid(user) != 0)
            return 1;
    }
    if (::listen(server, 8) != 0)
        return 1;
    std::printf("listening\n");
    std::fflush(stdout);
    for (;;) {
        const int client = ::accept(server, nullptr, nullptr);
        std::printf("accepted\n");
        std::fflush(stdout);
        char buffer[256];
        while (client >= 0 && ::read(client, buffer, sizeof buffer) > 0)
            if (::write(client, "OK\n", 3) != 3)
                break;
        ::close(client);
    }
}

int Ask(const char* path, const std::string& line)
{
    sockaddr_un address{};
    const int client = SocketAt(path, address);
    if (client < 0 || ::connect(client, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0)
        return 1;
    // A server that drops the connection at once may do so before the line is out: no answer.
    const ssize_t sent = ::send(client, (line + "\n").data(), line.size() + 1, MSG_NOSIGNAL);
    if (sent < 0 && (errno == EPIPE || errno == ECONNRESET))
        return 0;
    if (sent != static_cast<ssize_t>(line.size() + 1))
        return 1;
    // Up to the first line end, or the end when the other side hangs up.
    for (char c = 0; c != '\n' && ::read(client, &c, 1) == 1;)
        std::putchar(c);
    return 0;
}

} // namespace

int main(int argc, char** argv)
{
    const std::string mode = argc > 2 ? argv[1] : "";
    if (mode == "serve" && (argc == 3 || argc == 5))
        return Serve(argv[2], argc == 5 ? argv[3] : nullptr, argc == 5 ? argv[4] : nullptr);
    if (mode == "ask" && argc == 4)
        return Ask(argv[2], argv[3]);
    std::fputs("usage: channel-peer serve SOCKET [LOCK UID] | ask SOCKET LINE\n", stderr);
    return 2;
}
