#include "UsageText.h"

// Laid out as help2man reads it for the manual page: "Usage:" and "or:" lines, headings ending in
// a colon, and each entry's text from column 22, on the entry's line or the next.
const char* const kUsageText = R"(Usage: kelvane-token import [OPTION]... SERIAL [-]
  or:  kelvane-token import --qr IMAGE [OPTION]... SERIAL
  or:  kelvane-token list
  or:  kelvane-token remove SERIAL
  or:  kelvane-token code [--pin] SERIAL
  or:  kelvane-token --help | --version

Adds, lists and removes the time-based one-time password tokens (RFC 6238) that the token
service library libtokapi.so offers to Trevalo, and shows a token's codes for checking a login
by hand. Every change is one transaction: it is stored whole or not at all, and a refused
command leaves the database exactly as it was.

Commands:
  import SERIAL [-]   Adds a token under the serial number SERIAL (1 to 23 bytes; no spaces,
                      hyphens or control characters; unique in the database). The seed or
                      link is read from standard input, or asked for on the terminal with
                      echo off (see Secret input); "-" says the same and may be left out. It
                      is never taken as an argument: every user of the computer can read the
                      command lines of running programs (ps, /proc/PID/cmdline), and the
                      shell keeps them in its history, so an import given one is refused.
                      The text read is either an otpauth://totp/ISSUER:ACCOUNT?secret=BASE32
                      link, whose parameters issuer, algorithm, digits and period give the
                      rest (a link without them means SHA1, 6 digits, 30 seconds), or the
                      seed itself in base32 (at least 80 bits; spaces and '=' padding are
                      ignored). A link's issuer and account name may have at most 64 bytes
                      each; they, the user name and the serial number must be UTF-8 text
                      without control characters (C0, DEL or C1) and without bidirectional
                      controls (U+200E, U+200F, U+202A to U+202E, U+2066 to U+2069).
  list                Shows every token: serial number, user name, protection ("PASSWORD"
                      when a passphrase is needed, "KEYRING" when the keyring keeps its key,
                      "NONE" otherwise), algorithm, digits, period and issuer. Seeds are
                      never shown. A control character, a
                      bidirectional control or a byte that is not UTF-8 in a serial number,
                      user name or issuer (only a database made before import refused them
                      can hold one) is shown as \xNN, never sent to the terminal.
  remove SERIAL       Deletes the token with that serial number, and its key from the
                      desktop keyring when the keyring keeps it.
  code SERIAL         Shows the token's current passcode and the passcode of the next period,
                      as the login would use them. A token protected by a passphrase asks for
                      it first; one kept with the keyring takes its key from there.

Secret input:
  The seed or link, passphrases and PINs are read from the terminal with echo off (a new
  passphrase twice), or, when standard input is not a terminal, one per line from it in this
  order: seed or link, passphrase, PIN (at most 65536 bytes a line). Keep them off every
  command line: take them from a file only you can read, or from a shell variable written by
  the shell's own printf (built into sh and bash, so no program is started with the secret as
  its argument); bash's read -rs fills a variable without echo. For example:
    $ kelvane-token import A1 < link.txt
    $ read -rs SEED; printf '%s\n' "$SEED" | kelvane-token import --user bob B2
    $ printf '%s\n%s\n' "$SEED" "$PASSPHRASE" | kelvane-token import --user alice --protect A1

Exit status:
  0   success
  1   wrong command line: unknown command or option, missing or extra operands, a seed or
      link given as an argument
  2   invalid token data: no seed or link on standard input, an image without exactly one
      QR code holding an otpauth://totp link, a line of secret input longer
      than 65536 bytes, bad link or base32, serial number, user name, issuer or account name
      too long, malformed or with control characters or bidirectional controls, unknown
      algorithm, digits or period out of range, no passphrase
  3   refused by the database: duplicate or unknown serial number, wrong passphrase
  4   the database could not be read or written (damaged, locked, no permission), or no
      desktop keyring answers for a token kept with it

Options:
  --user NAME         With import: the user name shown with the token (1 to 47 bytes).
                      Required with a base32 seed; with a link, the default is the link's
                      account name.
  --algorithm SHA1|SHA256|SHA512
                      With import: HMAC algorithm of a base32 seed (default SHA1).
  --digits 6|7|8      With import: code length of a base32 seed (default 6).
  --period 30|60      With import: seconds each code is valid, for a base32 seed (default
                      60). With a link these three come from the link and may not be given.
  --qr IMAGE          With import: take the otpauth:// link from the QR code in IMAGE, a PNG
                      or JPEG file ("-": the image on standard input): a provider's code as
                      saved, photographed or on a screenshot of the whole screen. The image
                      must hold that one QR code; the link is checked as a typed one, and
                      neither it nor the seed is shown.
  --protect           With import: store the seed encrypted under a passphrase (AES-256-GCM,
                      key from PBKDF2-HMAC-SHA256 with a random salt). The passphrase is then
                      needed to use the token; it cannot be recovered.
  --keyring           With import: store the seed encrypted under a random key that the
                      desktop keyring keeps (the Secret Service, such as GNOME Keyring or
                      KWallet), in an item named after Trevalo and the serial number. The
                      token is then used without a passphrase while the keyring is unlocked;
                      a locked one asks to be unlocked in the desktop's own prompt. The
                      database alone holds no usable seed. remove deletes the item too.
  --pin               With code: ask for a PIN and put it in front of each code.
  --help              Show this text.
  --version           Show the version.

Files:
  $XDG_DATA_HOME/kelvane/tokens.db, or ~/.local/share/kelvane/tokens.db when XDG_DATA_HOME
  is not set: the token database (SQLite), created with mode 0600 by the first import.

Examples:
  $ kelvane-token import A1 < link.txt
  $ kelvane-token import --user bob --digits 8 --protect B2
  $ kelvane-token code --pin A1
  The first adds token A1 from the otpauth:// link in link.txt; the second asks for B2's
  base32 seed and a passphrase (twice), without echo.
)";
