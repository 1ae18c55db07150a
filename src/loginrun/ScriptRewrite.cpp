#include "ScriptRewrite.h"

#include "RunSteps.h"

#include <platform/FileSystem.h>
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
    TakeOutput(passcode, passcodes.m_strPasscode);
    TakeOutput(nextPasscode, passcodes.m_strNextPasscode);
    TakeOutput(passcodeNoPin, passcodes.m_strPasscodeNoPin);
    TakeOutput(unused, passcodes.m_strUnused);
    SecureWipe(pin);
}

} // namespace

bool CopyScriptWithValues(const CHeldFolder& folder, const JournalEntry& entry, const PlaceholderValues& values)
{
    CTextFileReader reader;
    if (!reader.Open(folder.OpenOwnFile(entry.backupName, entry.backup)))
        return false;
    CTextFileWriter writer;
    if (!writer.Open(folder.Descriptor(), NameOf(entry.script), entry.newName))
        return false;
    std::string piece;
    piece.reserve(2 * CTextFileReader::kMaxPieceLength);
    while (reader.ReadPiece(piece)) {
        ReplacePlaceholders(piece, values);
        writer.WriteLine(piece);
    }
    SecureWipe(piece);
    // A script that could not be read whole never replaces the one in place.
    if (reader.Failed() || !writer.Flush()) {
        writer.Discard();
        return false;
    }
    ReachRunStep(RunStep::Written);
    if (!writer.Close())
        return false;
    ReachRunStep(RunStep::Replaced);
    return true;
}

void RunPasscodes::Wipe()
{
    SecureWipe(m_strPasscode);
    SecureWipe(m_strNextPasscode);
    SecureWipe(m_strPasscodeNoPin);
    SecureWipe(m_strUnused);
}

bool RewriteScript(const TokenServiceCalls& calls, const RewriteInputs& inputs, RunPasscodes& passcodes,
                   const CHeldFolder& folder, const JournalEntry& entry)
{
    FetchPasscodes(calls, inputs, passcodes);
    const PlaceholderValues values{
        passcodes.m_strPasscode,      passcodes.m_strNextPasscode,
        passcodes.m_strPasscodeNoPin, inputs.pin,
        inputs.serialNumber,          inputs.userLoginRequired ? inputs.userId : std::string_view{},
    };
    return CopyScriptWithValues(folder, entry, values);
}
