#pragma once

#include <platform/WinTypes.h>

#include <string>
#include <string_view>
#include <vector>

// One registry call of a fuzz input. Inputs are text, one call a line, so seeds stay readable:
//   create S P PATH | open S P PATH | openread S P PATH | close S
//   set S NAME TYPE DATA | query S NAME SIZE | delvalue S NAME | delkey P PATH
//   enumkeys S | enumkey S INDEX | enumvalues S | begin | beginread | commit | rollback
// S is a handle slot 0-3; P is a slot or "r" for HKEY_LOCAL_MACHINE. In PATH, NAME and DATA,
// "-" is the empty text and %XX any byte. Lines that do not fit are skipped.
struct Operation {
    enum class Kind {
        Create,
        Open,
        OpenForReading,
        Close,
        SetValue,
        QueryValue,
        DeleteValue,
        DeleteKey,
        EnumKeys,
        EnumKey,
        EnumValues,
        Begin,
        BeginRead,
        Commit,
        Rollback,
    };
    static constexpr int kSlots = 4;
    static constexpr int kRoot = -1;

    Kind kind = Kind::Begin;
    int slot = 0;
    int parent = kRoot;
    std::string text; // the path or value name, cut at a NUL as a C string would be
    DWORD type = 0;
    std::string data;
    DWORD number = 0; // the buffer size of a query, the index of enumkey
};

// How both registries report what a call returned, so that their reports compare as text.
inline constexpr const char* kEmptySlot = "empty slot";
std::string Described(std::string_view name); // its length and itself, so lists cannot run together
std::string DescribedValue(DWORD type, std::string_view data);

// At most kMaxOperations calls, so that every input runs quickly.
inline constexpr std::size_t kMaxOperations = 200;
std::vector<Operation> ParseOperations(std::string_view input);
