#pragma once

#include <map>
#include <optional>
#include <set>
#include <string>
#include <vector>

// A command line split into the command, its "--name value" options, its "--flag" switches and
// its operands. Operands stay pointers into argv so the caller can wipe a seed given there.
struct ToolArguments {
    std::string command;
    std::map<std::string, std::string> options;
    std::set<std::string> flags;
    std::vector<char*> operands;

    // `valueOptions` take a value ("--digits 8" or "--digits=8"); `flagOptions` take none.
    // Nullopt, with `error` set, for an unknown or repeated option or a missing value.
    static std::optional<ToolArguments> Parse(int argc, char** argv,
                                              const std::set<std::string>& valueOptions,
                                              const std::set<std::string>& flagOptions, std::string& error);
};
