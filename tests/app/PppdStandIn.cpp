// pppd as its ip-up hook sees it, for the hook's tests: a process named pppd whose real uid is
// the user who dialled (pppd is set-user-ID root), running a script as root the way pppd runs
// its scripts. Usage: pppd USER SCRIPT [ARGUMENT...], as root; the environment goes through.
#include <cstdio>
#include <pwd.h>
#include <sys/wait.h>
#include <unistd.h>

int main(int argc, char** argv)
{
    const passwd* dialler = argc > 2 ? ::getpwnam(argv[1]) : nullptr;
    if (!dialler || ::setresuid(dialler->pw_uid, 0, 0) != 0) {
        std::fprintf(stderr, "usage, as root: pppd USER SCRIPT [ARGUMENT...]\n");
        return 2;
    }
    const pid_t script = ::fork();
    if (script == 0) {
        if (::setuid(0) == 0)
            ::execv(argv[2], argv + 2);
        ::_exit(127);
    }
    int status = 0;
    ::waitpid(script, &status, 0);
    return WIFEXITED(status) ? WEXITSTATUS(status) : 1;
}
