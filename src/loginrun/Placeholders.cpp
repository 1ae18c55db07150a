#include "Placeholders.h"

namespace {

std::string_view ValueOf(Placeholder placeholder, const PlaceholderValues& values)
{
    switch (placeholder) {
    case Placeholder::Passcode:
        return values.passcode;
    case Placeholder::NextPasscode:
        return values.nextPasscode;
    case Placeholder::PasscodeNoPin:
        return values.passcodeNoPin;
    case Placeholder::NewPin:
        return values.pin;
    case Placeholder::SerialNum:
        return values.serialNumber;
    case Placeholder::UserName:
        return values.userName;
    }
    return {};
}

// Every placeholder starts with this; a line without it needs no further search.
constexpr std::string_view kMarker = "#$";

} // namespace

std::string_view PlaceholderText(Placeholder placeholder)
{
    switch (placeholder) {
    case Placeholder::Passcode:
        return "#$PASSCODE#$";
    case Placeholder::NextPasscode:
        return "#$NEXT_PASSCODE#$";
    case Placeholder::PasscodeNoPin:
        return "#$PASSCODE_NO_PIN#$";
    case Placeholder::NewPin:
        return "#$NEW_PIN#$";
    case Placeholder::SerialNum:
        return "#$SERIAL_NUM#$";
    case Placeholder::UserName:
        return "#$USER_NAME#$";
    }
    return {};
}

void ReplacePlaceholder(std::string& line, Placeholder placeholder, const PlaceholderValues& values)
{
    const std::string_view text = PlaceholderText(placeholder);
    const std::size_t found = line.find(text);
    if (found != std::string::npos)
        line.replace(found, text.size(), ValueOf(placeholder, values));
}

void ReplacePlaceholders(std::string& line, const PlaceholderValues& values)
{
    if (line.find(kMarker) == std::string::npos)
        return;
    for (const Placeholder placeholder : kPlaceholderOrder)
        ReplacePlaceholder(line, placeholder, values);
}
