#include "UsageText.h"

const char* const kUsageText = R"(NAME
    kelvane-token - manage the software tokens of the token service library

SYNOPSIS
    kelvane-token import [--user NAME] [--algorithm ALG] [--digits N] [--period SECONDS]
                         [--protect] SERIAL SOURCE
    kelvane-token list
    kelvane-token remove SERIAL
    kelvane-token code [--pin] SERIAL
    kelvane-token --help

DESCRIPTION
    kelvane-token adds, lists and removes the time-based one-time password tokens (RFC 6238)
    that the token service library libtokapi.so offers to Trevalo, and shows a token's codes
    for checking a login by hand. Every change is one transaction: it is stored whole or not
    at all, and a refused command leaves the database exactly as it was.

COMMANDS
    import SERIAL SOURCE
        Adds a token under the serial number SERIAL (1 to 23 bytes; no spaces, hyphens or
        control characters; unique in the database). SOURCE is either an
        otpauth://totp/ISSUER:ACCOUNT?secret=BASE32&issuer=...&algorithm=...&digits=...&period=...
        link, which gives the seed and the code parameters (a link without them means SHA1,
        6 digits, 30 seconds), or the seed itself in base32 (at least 80 bits; spaces and
        '=' padding are ignored). A SOURCE of "-" is read as the first line of standard
        input, which keeps the seed out of the process list and the shell history.

    list
        Shows every token: serial number, user name, protection ("PASSWORD" when a
        passphrase is needed, "NONE" otherwise), algorithm, digits, period and issuer.
        Seeds are never shown.

    remove SERIAL
        Deletes the token with that serial number.

    code SERIAL
        Shows the token's current passcode and the passcode of the next period, as the
        login would use them. A protected token asks for its passphrase first.

OPTIONS
    --user NAME
        The user name shown with the token (1 to 47 bytes). Required with a base32 seed;
        with a link, the default is the link's account name.
    --algorithm SHA1|SHA256|SHA512
        HMAC algorithm of a base32 seed (default SHA1).
    --digits 6|7|8
        Code length of a base32 seed (default 6).
    --period 30|60
        Seconds each code is valid, for a base32 seed (default 60).
        With a link these three come from the link and may not be given.
    --protect
        Store the seed encrypted under a passphrase (AES-256-GCM, key from
        PBKDF2-HMAC-SHA256 with a random salt). The passphrase is then needed to use the
        token; it cannot be recovered.
    --pin
        With code: ask for a PIN and put it in front of each code.
    --help
        Show this text.

SECRET INPUT
    Passphrases, PINs and a SOURCE of "-" are read from the terminal with echo off (a new
    passphrase twice), or, when standard input is not a terminal, one per line from it in
    this order: SOURCE, passphrase, PIN. For example:
        printf '%s\n%s\n' "$SEED" "$PASSPHRASE" | kelvane-token import --user alice --protect A1 -

FILES
    $XDG_DATA_HOME/kelvane/tokens.db, or ~/.local/share/kelvane/tokens.db when XDG_DATA_HOME
    is not set: the token database (SQLite), created with mode 0600 by the first import.

EXIT STATUS
    0   success
    1   wrong command line: unknown command or option, missing or extra operands
    2   invalid token data: bad link or base32, serial number or user name too long or
        malformed, unknown algorithm, digits or period out of range, no passphrase
    3   refused by the database: duplicate or unknown serial number, wrong passphrase
    4   the database could not be read or written (damaged, locked, no permission)

EXAMPLES
    kelvane-token import A1 'otpauth://totp/Dialup:alice?secret=JBSWY3DPEHPK3PXP&period=60'
    kelvane-token import --user bob --digits 8 B2 GEZDGNBVGY3TQOJQGEZDGNBVGY3TQOJQ
    kelvane-token code --pin A1
)";
