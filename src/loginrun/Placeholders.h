#pragma once

#include <array>
#include <string>
#include <string_view>

// The live values a login script's placeholders stand for. Views only: the secrets stay in
// the buffers of their owner, which wipes them.
struct PlaceholderValues {
    std::string_view passcode;
    std::string_view nextPasscode;
    std::string_view passcodeNoPin;
    std::string_view pin;
    std::string_view serialNumber;
    std::string_view userName;
};

enum class Placeholder { Passcode, NextPasscode, PasscodeNoPin, NewPin, SerialNum, UserName };

// In the order they are applied to each line: a value inserted by an earlier placeholder is
// searched by the later ones.
inline constexpr std::array<Placeholder, 6> kPlaceholderOrder = {
    Placeholder::Passcode,  Placeholder::NextPasscode, Placeholder::PasscodeNoPin,
    Placeholder::NewPin,    Placeholder::SerialNum,    Placeholder::UserName,
};

std::string_view PlaceholderText(Placeholder placeholder);

// Replaces the first occurrence of `placeholder` in `line` by its value; a later occurrence
// stays as it is.
void ReplacePlaceholder(std::string& line, Placeholder placeholder, const PlaceholderValues& values);

// Applies all six placeholders to `line` in table order.
void ReplacePlaceholders(std::string& line, const PlaceholderValues& values);
