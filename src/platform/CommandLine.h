#pragma once

#include <string>
#include <string_view>
#include <vector>

// How a login application's command line becomes a program to start. The run and the profile
// editor's check both go through here, so that the editor accepts exactly what the run can start.

// Splits `commandLine` into words at spaces, with double quotes around a word that holds spaces
// (three double quotes for a literal one) and nothing else of a shell. False for an unclosed quote.
bool SplitCommandLine(const std::string& commandLine, std::vector<std::string>& words);

// The file a program name starts: a name with "/" is itself; a bare name is looked up on PATH and
// then in /usr/local/sbin, /usr/sbin and /sbin. Only executable regular files count; empty when
// there is none.
std::string FindProgram(std::string_view name);

// The name of the program `commandLine` starts, without its folder ("pppd" for
// "/usr/sbin/pppd call isp"), to tell its words from others'; the whole line when it has no words.
std::string ProgramName(const std::string& commandLine);
