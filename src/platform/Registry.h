#pragma once

#include "WinTypes.h"

// The registry calls the program makes, shaped like their Windows namesakes and returning the
// same result numbers, over the hive file (see HiveLocation.h). HKEY_LOCAL_MACHINE is the only
// root. Names compare without regard to ASCII case and keep the case they were created with;
// a path is a series of names separated by backslashes, each of at most 255 characters.
struct HKEY__;
using HKEY = HKEY__*;
extern HKEY const HKEY_LOCAL_MACHINE;

inline constexpr DWORD REG_NONE = 0;
inline constexpr DWORD REG_SZ = 1;
inline constexpr DWORD REG_BINARY = 3;
inline constexpr DWORD REG_DWORD = 4;

inline constexpr REGSAM KEY_QUERY_VALUE = 0x0001;
inline constexpr REGSAM KEY_SET_VALUE = 0x0002;
inline constexpr REGSAM KEY_CREATE_SUB_KEY = 0x0004;
inline constexpr REGSAM KEY_ENUMERATE_SUB_KEYS = 0x0008;
inline constexpr REGSAM KEY_READ = 0x20019;
inline constexpr REGSAM KEY_WRITE = 0x20006;

inline constexpr DWORD REG_CREATED_NEW_KEY = 1;
inline constexpr DWORD REG_OPENED_EXISTING_KEY = 2;

inline constexpr DWORD kMaxKeyNameLength = 255;
inline constexpr DWORD kMaxValueNameLength = 16383;

// Opens parent\subKey. A hive the user may not write refuses write rights (ERROR_ACCESS_DENIED).
LSTATUS RegOpenKeyEx(HKEY parent, const char* subKey, REGSAM access, HKEY* result);
// Opens parent\subKey, creating every missing key on the way in one transaction.
// `disposition` (may be null) tells whether the last key was new.
LSTATUS RegCreateKeyEx(HKEY parent, const char* subKey, REGSAM access, HKEY* result, DWORD* disposition);
LSTATUS RegCloseKey(HKEY key);

// Reads a value into `data` of `*size` bytes. With `data` null only the type and size are
// reported; when the value needs more room, ERROR_MORE_DATA with the needed size in `*size` and
// `data` untouched. A null or empty `name` is the key's unnamed value.
LSTATUS RegQueryValueEx(HKEY key, const char* name, DWORD* type, unsigned char* data, DWORD* size);
// Stores exactly `size` bytes of `data` (for REG_SZ the caller counts the terminating zero).
// A value name has at most kMaxValueNameLength characters.
LSTATUS RegSetValueEx(HKEY key, const char* name, DWORD type, const unsigned char* data, DWORD size);
LSTATUS RegDeleteValue(HKEY key, const char* name);

// The name of the subkey at `index`, subkeys sorted by name without regard to case. `*length`
// is the buffer size in characters on entry and the name's length without terminator on return.
LSTATUS RegEnumKeyEx(HKEY key, DWORD index, char* name, DWORD* length);
// The value at `index`, values in the order first set; buffers as in RegEnumKeyEx and RegQueryValueEx.
LSTATUS RegEnumValue(HKEY key, DWORD index, char* name, DWORD* nameLength, DWORD* type, unsigned char* data,
                     DWORD* size);

// Deletes parent\subKey with its values; ERROR_ACCESS_DENIED while it still has subkeys.
// Handles still open on it then report ERROR_KEY_DELETED.
LSTATUS RegDeleteKey(HKEY parent, const char* subKey);

// Groups every change until Commit into one transaction. Transactions nest: an inner one that is
// rolled back undoes only its own changes.
LSTATUS RegBeginTransaction();
// Groups reads until Commit: they all see one state of the hive, and many reads go faster.
LSTATUS RegBeginReadTransaction();
LSTATUS RegCommitTransaction();
LSTATUS RegRollbackTransaction();
