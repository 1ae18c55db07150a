// kelvane-token: the command-line tool for the token database.
#include "TokenDatabase.h"
#include "TokenTool.h"

#include <sys/prctl.h>
#include <sys/resource.h>

int main(int argc, char** argv)
{
    // Seeds and passphrases pass through this process; keep them out of core files.
    const rlimit noCore{0, 0};
    ::setrlimit(RLIMIT_CORE, &noCore);
    ::prctl(PR_SET_DUMPABLE, 0);
    return TokenTool(TokenDatabase(TokenDatabase::DefaultPath())).Run(argc, argv);
}
