#pragma once

#include <functional>
#include <string>
#include <string_view>

// Message box types: buttons in the low bits, icon above them.
inline constexpr unsigned MB_OK = 0x0;
inline constexpr unsigned MB_OKCANCEL = 0x1;
inline constexpr unsigned MB_YESNOCANCEL = 0x3;
inline constexpr unsigned MB_YESNO = 0x4;
inline constexpr unsigned MB_TYPEMASK = 0xF;
inline constexpr unsigned MB_ICONHAND = 0x10;
inline constexpr unsigned MB_ICONQUESTION = 0x20;
inline constexpr unsigned MB_ICONEXCLAMATION = 0x30;
inline constexpr unsigned MB_ICONASTERISK = 0x40;
inline constexpr unsigned MB_ICONMASK = 0xF0;
inline constexpr unsigned MB_ICONERROR = MB_ICONHAND;
inline constexpr unsigned MB_ICONWARNING = MB_ICONEXCLAMATION;
inline constexpr unsigned MB_ICONINFORMATION = MB_ICONASTERISK;

// Answers.
inline constexpr int IDOK = 1;
inline constexpr int IDCANCEL = 2;
inline constexpr int IDYES = 6;
inline constexpr int IDNO = 7;

struct MessageBoxRequest {
    std::string caption;
    std::string text;
    unsigned type; // buttons and icon, the icon always named
};

// Shows a message box and returns the button chosen. Tests replace it to record and answer.
using MessageBoxResponder = std::function<int(const MessageBoxRequest&)>;

// The caption of every message box: the application title.
void SetAppTitle(std::string title);
const std::string& AppTitle();

// Shows `text` captioned with the application title. Without an icon in `type` the box gets the
// exclamation icon. While the program ends, no box is shown and the answer is IDCANCEL.
int AfxMessageBox(std::string_view text, unsigned type = MB_OK);
// The same with a string-table text; an unknown identifier shows nothing and answers IDCANCEL.
int AfxMessageBox(unsigned idPrompt, unsigned type = MB_OK);

// Installs `responder` (an empty one restores the real boxes) and returns the one it replaces.
MessageBoxResponder SetMessageBoxResponder(MessageBoxResponder responder);
