#include "AsNobody.h"

#include <pwd.h>
#include <sys/wait.h>
#include <unistd.h>

std::optional<std::string> RunAsNobody(const std::function<std::string()>& work)
{
    const passwd* nobody = ::getpwnam("nobody");
    int pipeFds[2];
    if (::geteuid() != 0 || nobody == nullptr || ::pipe(pipeFds) != 0)
        return std::nullopt;
    const pid_t child = ::fork();
    if (child == 0) {
        ::close(pipeFds[0]);
        if (::setgid(nobody->pw_gid) != 0 || ::setuid(nobody->pw_uid) != 0)
            ::_exit(2);
        const std::string result = work();
        const ssize_t written = ::write(pipeFds[1], result.data(), result.size());
        ::_exit(written == static_cast<ssize_t>(result.size()) ? 0 : 3);
    }
    ::close(pipeFds[1]);
    std::string result;
    char buffer[512];
    for (ssize_t count; (count = ::read(pipeFds[0], buffer, sizeof buffer)) > 0;)
        result.append(buffer, static_cast<std::size_t>(count));
    ::close(pipeFds[0]);
    int status = 0;
    ::waitpid(child, &status, 0);
    return result;
}
