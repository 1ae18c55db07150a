#pragma once

#include <cstdint>
#include <string>

using WPARAM = std::uintptr_t;
using LPARAM = std::intptr_t;
using LRESULT = std::intptr_t;

// The identifier of the window message registered under `name`: the same for the same name
// during the program's run, from 0xC000 up; 0 for an empty name.
unsigned RegisterWindowMessage(const std::string& name);
// The name registered for `message`, or empty.
std::string RegisteredMessageName(unsigned message);
