// Copies a login script made of the fuzzer's bytes through RewriteScript and checks the copy
// against the reader's rules: pieces of at most 249 characters, "\r\n" or "\n" ending a line,
// a lone "\r" kept as text, every placeholder in a piece replaced once.
#include "FuzzSupport.h"

#include <loginrun/ScriptRewrite.h>
#include <platform/TextFileReader.h>

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <string>
#include <string_view>
#include <sys/stat.h>
#include <utility>
#include <vector>

namespace {

// Digits and lower-case letters only, so no value can form a placeholder with the text beside it.
constexpr const char* kPasscode = "11111111";
constexpr const char* kNextPasscode = "22222222";
constexpr const char* kPasscodeNoPin = "333333";
constexpr std::string_view kPin = "4444";
constexpr std::string_view kSerial = "000555555555";
constexpr std::string_view kUser = "user";
constexpr std::size_t kLongestValue = 20;

// A first byte with the top bit set puts the script behind a filler that ends just before the
// reader's 64 KiB buffer does, so that line breaks fall across a refill.
constexpr std::size_t kReaderBuffer = 64 * 1024;

int FakeGetPasscode(TOKEN_HANDLE, const char*, char* passcode, char* nextPasscode, char* passcodeNoPin, char*)
{
    std::strcpy(passcode, kPasscode);
    std::strcpy(nextPasscode, kNextPasscode);
    std::strcpy(passcodeNoPin, kPasscodeNoPin);
    return 1;
}

void Require(bool condition, const char* what)
{
    ::Require(condition, "script rewrite", what);
}

std::string ScriptText(const std::uint8_t* data, std::size_t size)
{
    std::string text(reinterpret_cast<const char*>(data), size);
    if (size == 0 || (data[0] & 0x80) == 0)
        return text;
    const std::size_t fillerSize = kReaderBuffer - 1 - data[0] % 32;
    std::string filler;
    while (filler.size() < fillerSize)
        filler += std::string(99, 'f') + "\n";
    filler.resize(fillerSize);
    return filler + text.substr(1);
}

// The pieces the reader must hand out, worked out one character at a time.
std::vector<std::string> ExpectedPieces(std::string_view text)
{
    std::vector<std::string> pieces;
    std::string piece;
    for (std::size_t i = 0; i < text.size(); ++i) {
        const bool crlf = text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n';
        if (text[i] == '\n' || crlf) {
            pieces.push_back(std::exchange(piece, {}));
            i += crlf ? 1 : 0;
            continue;
        }
        piece += text[i];
        if (piece.size() == CTextFileReader::kMaxPieceLength)
            pieces.push_back(std::exchange(piece, {}));
    }
    if (!piece.empty())
        pieces.push_back(piece);
    return pieces;
}

std::size_t Occurrences(std::string_view text, std::string_view what)
{
    std::size_t count = 0;
    for (std::size_t at = text.find(what); at != std::string_view::npos; at = text.find(what, at + 1))
        ++count;
    return count;
}

bool EachPlaceholderAtMostOnce(std::string_view piece)
{
    return std::all_of(kPlaceholderOrder.begin(), kPlaceholderOrder.end(),
                       [piece](Placeholder p) { return Occurrences(piece, PlaceholderText(p)) <= 1; });
}

bool HasPlaceholder(std::string_view text)
{
    return std::any_of(kPlaceholderOrder.begin(), kPlaceholderOrder.end(),
                       [text](Placeholder p) { return text.find(PlaceholderText(p)) != std::string_view::npos; });
}

std::vector<std::string> OutputLines(std::string_view output)
{
    std::vector<std::string> lines;
    while (!output.empty()) {
        const std::size_t end = output.find('\n');
        Require(end != std::string_view::npos, "the copy does not end with a line feed");
        lines.emplace_back(output.substr(0, end));
        output.remove_prefix(end + 1);
    }
    return lines;
}

// Without placeholders the copy is the script with its line breaks normalised: the script's
// "\r\n" and "\n" become the copy's "\n".
std::string ScriptWithoutLineBreaks(std::string_view script)
{
    std::string kept;
    for (std::size_t i = 0; i < script.size(); ++i) {
        if (script[i] == '\r' && i + 1 < script.size() && script[i + 1] == '\n')
            continue;
        if (script[i] != '\n')
            kept += script[i];
    }
    return kept;
}

std::string CopyWithoutLineBreaks(std::string copy)
{
    std::erase(copy, '\n');
    return copy;
}

void CheckCopy(const std::string& script, const std::string& copy)
{
    const std::vector<std::string> pieces = ExpectedPieces(script);
    const std::vector<std::string> lines = OutputLines(copy);
    Require(lines.size() == pieces.size(), "the copy has another number of lines than the script has pieces");
    if (script.find("#$") == std::string::npos)
        Require(CopyWithoutLineBreaks(copy) == ScriptWithoutLineBreaks(script), "text without placeholders changed");
    for (std::size_t i = 0; i < pieces.size(); ++i) {
        Require(lines[i].size() <= CTextFileReader::kMaxPieceLength + kPlaceholderOrder.size() * kLongestValue,
                "a line of the copy is longer than a piece with every value in it");
        if (EachPlaceholderAtMostOnce(pieces[i]))
            Require(!HasPlaceholder(lines[i]), "a placeholder was left in the copy");
        std::string expected = pieces[i];
        ReplacePlaceholders(expected, {kPasscode, kNextPasscode, kPasscodeNoPin, kPin, kSerial, kUser});
        Require(lines[i] == expected, "a line of the copy is not its piece with the placeholders replaced");
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string source = ScratchDirectory() + "/LOGIN.BAK";
    const std::string target = ScratchDirectory() + "/login.scp";
    const std::string script = ScriptText(data, size);
    WriteWholeFile(source, script);

    static CHeldFolder folder;
    Require(folder.IsOpen() || folder.Open(ScratchDirectory()) == 0, "the scratch folder cannot be held");
    struct stat text {};
    Require(folder.Stat("LOGIN.BAK", text) == 0, "the source is missing");
    TokenServiceCalls calls{};
    calls.GetPasscode = FakeGetPasscode;
    const RewriteInputs inputs{1, kPin, kUser, true, kSerial};
    RunPasscodes passcodes;
    Require(RewriteScript(calls, inputs, passcodes, folder, MakeRunEntry(target, folder.Identity(), IdentityOf(text))),
            "the rewrite failed");
    CheckCopy(script, ReadWholeFile(target));
    return 0;
}
