// kelvane-token: the command-line tool for the token database.
#include "TokenDatabase.h"
#include "TokenTool.h"

#include <openssl/crypto.h>

#include <sys/prctl.h>
#include <sys/resource.h>

int main(int argc, char** argv)
{
    // Seeds and passphrases pass through this process; keep them out of core files.
    const rlimit noCore{0, 0};
    ::setrlimit(RLIMIT_CORE, &noCore);
    ::prctl(PR_SET_DUMPABLE, 0);
    // The tool needs neither the system's OpenSSL configuration, nor the legacy algorithm name
    // tables, nor OpenSSL's error texts (it never shows them), and the process ends right after
    // its work; building and tearing those down is most of OpenSSL's share of a run.
    OPENSSL_init_crypto(OPENSSL_INIT_NO_LOAD_CONFIG | OPENSSL_INIT_NO_ADD_ALL_CIPHERS |
                            OPENSSL_INIT_NO_ADD_ALL_DIGESTS | OPENSSL_INIT_NO_LOAD_CRYPTO_STRINGS |
                            OPENSSL_INIT_NO_ATEXIT,
                        nullptr);
    return TokenTool(TokenDatabase(TokenDatabase::DefaultPath())).Run(argc, argv);
}
