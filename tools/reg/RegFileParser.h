#pragma once

#include "RegData.h"

#include <string>
#include <string_view>
#include <vector>

struct RegFileError {
    int line = 0;
    std::string message;
};

// Reads the text of a .reg file (header "Windows Registry Editor Version 5.00"; "[key]" and
// "[-key]" lines; "name"=text, dword:, hex:, hex(N): and - values, names and texts in quotes with
// \\, \" and \xHH escapes; ";" comments; a value line ending in a backslash continues on the
// next; a key line never does, so a key must end with "]" on its own line). A key
// deeper than kMaxKeyDepth or with a line break in a name is refused (see KeyPathFault). All or
// nothing: on the first fault it returns false with the line and what is wrong, and `operations`
// is left empty.
bool ParseRegFile(std::string_view text, std::vector<RegFileOperation>& operations, RegFileError& error);
