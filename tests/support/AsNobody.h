#pragma once

#include <functional>
#include <optional>
#include <string>

// Runs `work` in a child process as the unprivileged user "nobody" and returns what it returned:
// for tests of what another user can and cannot do. Empty when this process is not root or
// there is no such user.
std::optional<std::string> RunAsNobody(const std::function<std::string()>& work);
