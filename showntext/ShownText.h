#pragma once

#include <string>
#include <string_view>

// Text from outside that reaches a person's screen: a token's serial number, user name and
// issuer, the registry tool's keys, names and values, the phonebook's names. Control characters
// in it would be commands to the terminal that shows it: an escape sequence can move the cursor,
// rewrite or hide lines, or set the window title. Bidirectional controls (U+200E, U+200F, U+202A
// to U+202E, U+2066 to U+2069) reorder what follows them, so the text on screen is not the text
// stored ("exe.txt" shown for "txt.exe").
namespace ShownText {

// Empty when `text` is UTF-8 without control characters (no C0, U+0000 to U+001F; no DEL,
// U+007F; no C1, U+0080 to U+009F) and without bidirectional controls; else what is wrong with
// it, starting with `what` ("the link's issuer").
std::string Check(std::string_view what, std::string_view text);

// True when `text` holds a control character or a bidirectional control. Bytes that are not
// part of valid UTF-8 do not count: a UTF-8 reader shows them as U+FFFD.
bool HasControls(std::string_view text);

// `text` with each byte of a control character or a bidirectional control, and each byte that is
// not part of valid UTF-8, written as \xNN (lower-case hex); everything else as it is.
std::string Escaped(std::string_view text);

} // namespace ShownText
