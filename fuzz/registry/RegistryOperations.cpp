#include "RegistryOperations.h"

#include <charconv>
#include <map>

namespace {

using Kind = Operation::Kind;

// How each call is written: its name, then whichever of these it takes, in this order: a slot,
// a parent, a path or name, a type with data, a number.
struct Shape {
    Kind kind;
    bool slot;
    bool parent;
    bool text;
    bool data;
    bool number;
};

const std::map<std::string_view, Shape, std::less<>> kShapes = {
    {"create", {Kind::Create, true, true, true, false, false}},
    {"open", {Kind::Open, true, true, true, false, false}},
    {"openread", {Kind::OpenForReading, true, true, true, false, false}},
    {"close", {Kind::Close, true, false, false, false, false}},
    {"set", {Kind::SetValue, true, false, true, true, false}},
    {"query", {Kind::QueryValue, true, false, true, false, true}},
    {"delvalue", {Kind::DeleteValue, true, false, true, false, false}},
    {"delkey", {Kind::DeleteKey, false, true, true, false, false}},
    {"enumkeys", {Kind::EnumKeys, true, false, false, false, false}},
    {"enumkey", {Kind::EnumKey, true, false, false, false, true}},
    {"enumvalues", {Kind::EnumValues, true, false, false, false, false}},
    {"begin", {Kind::Begin, false, false, false, false, false}},
    {"beginread", {Kind::BeginRead, false, false, false, false, false}},
    {"commit", {Kind::Commit, false, false, false, false, false}},
    {"rollback", {Kind::Rollback, false, false, false, false, false}},
};

class Words {
public:
    explicit Words(std::string_view line) : m_rest(line) {}

    bool Next(std::string_view& word)
    {
        if (m_rest.empty())
            return false;
        const std::size_t space = m_rest.find(' ');
        word = m_rest.substr(0, space);
        m_rest = space == std::string_view::npos ? std::string_view{} : m_rest.substr(space + 1);
        return true;
    }

    bool Slot(int& slot, bool rootAllowed)
    {
        std::string_view word;
        if (!Next(word) || word.size() != 1)
            return false;
        if (rootAllowed && word == "r") {
            slot = Operation::kRoot;
            return true;
        }
        slot = word[0] - '0';
        return slot >= 0 && slot < Operation::kSlots;
    }

    bool Text(std::string& text)
    {
        std::string_view word;
        if (!Next(word))
            return false;
        text.clear();
        if (word == "-")
            return true;
        for (std::size_t i = 0; i < word.size(); ++i) {
            unsigned char byte = static_cast<unsigned char>(word[i]);
            const char* escape = word.data() + i + 1;
            if (word[i] == '%' && i + 2 < word.size() &&
                std::from_chars(escape, escape + 2, byte, 16).ptr == escape + 2)
                i += 2;
            text += static_cast<char>(byte);
        }
        return true;
    }

    bool Number(DWORD& number, DWORD limit)
    {
        std::string_view word;
        return Next(word) &&
               std::from_chars(word.data(), word.data() + word.size(), number).ptr == word.data() + word.size() &&
               number <= limit;
    }

    bool AtEnd() const { return m_rest.empty(); }

private:
    std::string_view m_rest;
};

bool ParseLine(std::string_view line, Operation& operation)
{
    Words words(line);
    std::string_view name;
    if (!words.Next(name))
        return false;
    const auto shape = kShapes.find(name);
    if (shape == kShapes.end())
        return false;
    const Shape& s = shape->second;
    operation = {};
    operation.kind = s.kind;
    const bool parsed = (!s.slot || words.Slot(operation.slot, false)) &&
                        (!s.parent || words.Slot(operation.parent, true)) && (!s.text || words.Text(operation.text)) &&
                        (!s.data || (words.Number(operation.type, 0xffffffff) && words.Text(operation.data))) &&
                        (!s.number || words.Number(operation.number, 4096)) && words.AtEnd();
    operation.text = operation.text.substr(0, operation.text.find('\0'));
    return parsed;
}

} // namespace

std::vector<Operation> ParseOperations(std::string_view input)
{
    std::vector<Operation> operations;
    while (!input.empty() && operations.size() < kMaxOperations) {
        const std::size_t end = input.find('\n');
        Operation operation;
        if (ParseLine(input.substr(0, end), operation))
            operations.push_back(std::move(operation));
        input = end == std::string_view::npos ? std::string_view{} : input.substr(end + 1);
    }
    return operations;
}

std::string Described(std::string_view name)
{
    return " " + std::to_string(name.size()) + ":" + std::string(name);
}

std::string DescribedValue(DWORD type, std::string_view data)
{
    std::string text = " type=" + std::to_string(type) + " data=";
    for (const char c : data) {
        constexpr std::string_view kDigits = "0123456789abcdef";
        text += kDigits[static_cast<unsigned char>(c) >> 4];
        text += kDigits[static_cast<unsigned char>(c) & 15];
    }
    return text;
}
