#pragma once

#include <string>
#include <string_view>

// What the fuzz targets share: a place for files, and the check that stops the run.

// Reports `what` and aborts, which libFuzzer records as a finding, unless `condition` holds.
void Require(bool condition, const char* target, const std::string& what);

// A directory of its own for this fuzzing process, made on first use and removed at exit.
const std::string& ScratchDirectory();

std::string ReadWholeFile(const std::string& path);
void WriteWholeFile(const std::string& path, std::string_view content);
