#include "ScriptRewrite.h"

#include <platform/SecureWipe.h>
#include <platform/TextFileReader.h>
#include <platform/TextFileWriter.h>

#include <cstring>

namespace {

// Takes the text up to the first NUL of a fixed-size output area, then wipes the area.
void TakeOutput(char (&area)[TOKEN_PASSCODE_SIZE], std::string& text)
{
    text.assign(area, ::strnlen(area, TOKEN_PASSCODE_SIZE - 1));
    SecureWipe(area, sizeof area);
}

void FetchPasscodes(const TokenServiceCalls& calls, const RewriteInputs& inputs, RunPasscodes& passcodes)
{
    char passcode[TOKEN_PASSCODE_SIZE] = {};
    char nextPasscode[TOKEN_PASSCODE_SIZE] = {};
    char passcodeNoPin[TOKEN_PASSCODE_SIZE] = {};
    char unused[TOKEN_PASSCODE_SIZE] = {};
    std::string pin(inputs.pin); // the call wants it NUL-terminated
    // A failure is not examined: the areas start empty, so the placeholders get empty texts.
    calls.GetPasscode(inputs.hTokenService, pin.c_str(), passcode, nextPasscode, passcodeNoPin, unused);
    passcodes.Wipe();
    TakeOutput(passcode, passcodes.passcode);
    TakeOutput(nextPasscode, passcodes.nextPasscode);
    TakeOutput(passcodeNoPin, passcodes.passcodeNoPin);
    TakeOutput(unused, passcodes.unused);
    SecureWipe(pin);
}

} // namespace

bool CopyScriptWithValues(const std::string& source, const std::string& target, const PlaceholderValues& values)
{
    CTextFileReader reader;
    if (!reader.Open(source))
        return false;
    CTextFileWriter writer;
    if (!writer.Open(target))
        return false;
    std::string piece;
    piece.reserve(2 * CTextFileReader::kMaxPieceLength);
    while (reader.ReadPiece(piece)) {
        ReplacePlaceholders(piece, values);
        writer.WriteLine(piece);
    }
    SecureWipe(piece);
    const bool written = writer.Close();
    return written && !reader.Failed();
}

void RunPasscodes::Wipe()
{
    SecureWipe(passcode);
    SecureWipe(nextPasscode);
    SecureWipe(passcodeNoPin);
    SecureWipe(unused);
}

bool RewriteScript(const TokenServiceCalls& calls, const RewriteInputs& inputs, RunPasscodes& passcodes,
                   const std::string& source, const std::string& target)
{
    FetchPasscodes(calls, inputs, passcodes);
    const PlaceholderValues values{
        passcodes.passcode, passcodes.nextPasscode,
        passcodes.passcodeNoPin, inputs.pin,
        inputs.serialNumber, inputs.userLoginRequired ? inputs.userId : std::string_view{},
    };
    return CopyScriptWithValues(source, target, values);
}
