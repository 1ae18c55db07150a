#pragma once

#include <loginrun/ScriptRewrite.h>

#include <cstddef>
#include <string>

// A login script of about `bytes` bytes with placeholders on most lines.
void WriteLargeScript(const std::string& path, std::size_t bytes);

// A token service whose GetPasscode hands out fixed passcodes (PIN "12345678").
TokenServiceCalls FixedPasscodeCalls();
RewriteInputs BenchInputs();

// Rewrites `source` into `target`, both in one folder, with the values above, as a run does.
bool RewriteWithFixedValues(const std::string& source, const std::string& target, RunPasscodes& passcodes);

// The values FixedPasscodeCalls and BenchInputs put in, as sed substitutions.
inline constexpr const char* kSedScript = "s/#\\$PASSCODE#\\$/1234567887654321/;"
                                          "s/#\\$NEXT_PASSCODE#\\$/1234567812345678/;"
                                          "s/#\\$PASSCODE_NO_PIN#\\$/87654321/;"
                                          "s/#\\$NEW_PIN#\\$/12345678/;"
                                          "s/#\\$SERIAL_NUM#\\$/000123456789/;"
                                          "s/#\\$USER_NAME#\\$/ann.example/";
