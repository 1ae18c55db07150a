#pragma once

#include <cstddef>
#include <string>
#include <string_view>

// Limits every token in the database keeps, so its record fits the fixed fields of EnumToken.
// Each check returns the empty text when the value is allowed, else what is wrong with it.
namespace TokenRules {

constexpr std::size_t kMaxSerial = 23;
constexpr std::size_t kMaxUser = 47;
// A link's issuer and account name, checked when a token is imported (records made before the
// check may hold longer ones, and the database reads them as they are).
constexpr std::size_t kMaxIssuer = 64;
constexpr std::size_t kMaxAccount = 64;
constexpr std::size_t kMinSeedBytes = 10;
constexpr std::size_t kMaxSeedBytes = 128;
constexpr int kDefaultPeriod = 60;
constexpr int kDefaultDigits = 6;

std::string CheckSerial(std::string_view serial);
std::string CheckUser(std::string_view user);
std::string CheckDigits(int digits);
std::string CheckPeriod(int period);
std::string CheckSeedSize(std::size_t bytes);

} // namespace TokenRules
