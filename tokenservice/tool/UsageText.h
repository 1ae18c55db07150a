#pragma once

// The manual of kelvane-token, printed by --help; help2man makes its manual page of it.
extern const char* const kUsageText;
