#pragma once

#include "RegData.h"

#include <string>
#include <vector>

// The text of a .reg file holding `keys`, in the order given: the header line, then for each key
// a "[HKEY_LOCAL_MACHINE\...]" line, its values and a blank line. A text value is written as
// "text" only when that reproduces its bytes exactly (one terminating zero, no other zero); other
// data is written as hex so an import gives back the same bytes. Quoted names and texts show
// control characters, bidirectional controls and bytes that are not UTF-8 as \xNN; a key line has
// no escapes, so a key's name is written as it is. False, with `fault` naming the key and what is
// wrong and `text` empty, when a key cannot be written so that it reads back (see KeyPathFault).
bool FormatRegFile(const std::vector<RegKeyRecord>& keys, std::string& text, std::string& fault);

// One value as a .reg line, without the line break.
std::string FormatRegValue(const RegValue& value);
