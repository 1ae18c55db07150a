#pragma once

#include "RegData.h"

#include <string>
#include <vector>

// The text of a .reg file holding `keys`, in the order given: the header line, then for each key
// a "[HKEY_LOCAL_MACHINE\...]" line, its values and a blank line. A text value is written as
// "text" only when that reproduces its bytes exactly (one terminating zero, no other zero, no line
// break); other data is written as hex so an import gives back the same bytes.
std::string FormatRegFile(const std::vector<RegKeyRecord>& keys);

// One value as a .reg line, without the line break.
std::string FormatRegValue(const RegValue& value);
