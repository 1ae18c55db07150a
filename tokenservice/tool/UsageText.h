#pragma once

// The manual page of kelvane-token, printed by --help.
extern const char* const kUsageText;
