// Parses the fuzzer's bytes as a .reg file. What parses must be all or nothing, carry rising
// line numbers, and, when it only creates keys and sets values, be written by RegFileWriter (every
// key the parser takes can be written) and come back unchanged from that file, escapes and all.
#include "FuzzSupport.h"

#include <RegFileParser.h>
#include <RegFileWriter.h>

#include <algorithm>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace {

void Require(bool condition, const std::string& what)
{
    ::Require(condition, "reg file", what);
}

bool OnlyCreatesAndSets(const std::vector<RegFileOperation>& operations)
{
    return std::all_of(operations.begin(), operations.end(), [](const RegFileOperation& operation) {
        return operation.kind == RegFileOperation::Kind::CreateKey ||
               operation.kind == RegFileOperation::Kind::SetValue;
    });
}

// The keys in file order, each with the values that follow its line.
std::vector<RegKeyRecord> AsKeys(const std::vector<RegFileOperation>& operations)
{
    std::vector<RegKeyRecord> keys;
    for (const RegFileOperation& operation : operations) {
        if (operation.kind == RegFileOperation::Kind::CreateKey)
            keys.push_back({operation.path, {}});
        else
            keys.back().values.push_back(operation.value);
    }
    return keys;
}

bool SameOperation(const RegFileOperation& a, const RegFileOperation& b)
{
    return a.kind == b.kind && a.path == b.path && a.value.name == b.value.name && a.value.type == b.value.type &&
           a.value.data == b.value.data;
}

void CheckParsed(const std::vector<RegFileOperation>& operations)
{
    for (std::size_t i = 0; i < operations.size(); ++i)
        Require(operations[i].line >= 1 && (i == 0 || operations[i].line > operations[i - 1].line),
                "operation line numbers do not rise");
    if (!OnlyCreatesAndSets(operations))
        return;
    std::string written;
    std::string fault;
    Require(FormatRegFile(AsKeys(operations), written, fault), "a parsed key cannot be written: " + fault);
    std::vector<RegFileOperation> again;
    RegFileError error;
    Require(ParseRegFile(written, again, error),
            "a written file does not parse: line " + std::to_string(error.line) + ": " + error.message);
    Require(std::equal(operations.begin(), operations.end(), again.begin(), again.end(), SameOperation),
            "a written file parses to other operations:\n" + written);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    std::vector<RegFileOperation> operations;
    RegFileError error;
    if (ParseRegFile(text, operations, error))
        CheckParsed(operations);
    else
        Require(operations.empty() && !error.message.empty(), "a refused file left operations or no reason");
    return 0;
}
