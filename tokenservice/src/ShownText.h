#pragma once

#include <string>
#include <string_view>

// Text of a token that reaches a person's screen: its serial number, user name and issuer.
// Control characters in it would be commands to the terminal that shows it: an escape sequence
// can move the cursor, rewrite or hide lines of `kelvane-token list`, or set the window title.
namespace ShownText {

// Empty when `text` is UTF-8 without control characters: no C0 (U+0000 to U+001F), no DEL
// (U+007F) and no C1 (U+0080 to U+009F); else what is wrong with it, starting with `what`
// ("the link's issuer").
std::string Check(std::string_view what, std::string_view text);

// `text` with each byte of a control character, and each byte that is not part of valid UTF-8,
// written as \xNN (lower-case hex); everything else as it is.
std::string Escaped(std::string_view text);

} // namespace ShownText
