#pragma once

#include <cstddef>
#include <string>

// Overwrites secrets (PIN, passcodes, passphrases) so they do not linger in freed memory.
void SecureWipe(void* data, std::size_t size);
void SecureWipe(std::string& text);
