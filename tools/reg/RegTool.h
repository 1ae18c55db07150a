#pragma once

#include <ostream>
#include <string>
#include <vector>

// The registry tool: `arguments` without the program name; results go to `out`, messages to
// `err`. Returns the exit code: 0 done, 1 failed (nothing changed), 2 wrong usage.
int RunRegTool(const std::vector<std::string>& arguments, std::ostream& out, std::ostream& err);

// The usage text that --help prints.
std::string RegToolUsage();
