#pragma once

// Identifiers of the program's resources.

// Strings
inline constexpr unsigned IDS_CANNOT_CREATE_BACKUP = 120;
inline constexpr unsigned IDS_CANNOT_FIND_SCRIPT = 121;
inline constexpr unsigned IDS_CANNOT_MOVE_TO_OTHER_DEVICE = 122;
inline constexpr unsigned IDS_TOKEN_SERVICE_OPEN_FAILED = 129;
inline constexpr unsigned IDS_NO_TOKENS_FOUND = 130;
inline constexpr unsigned IDS_SCRIPT_INVALID_OR_MISSING = 145;
inline constexpr unsigned IDS_STALE_BACKUP_EXISTS = 146;
inline constexpr unsigned IDS_CANNOT_RENAME_FILE = 147;
inline constexpr unsigned IDS_CANNOT_WRITE_FILE = 148;
inline constexpr unsigned IDS_CANNOT_MOVE_FILE = 170;
