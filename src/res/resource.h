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

// Registry key paths (below HKEY_LOCAL_MACHINE, ending with a backslash) and value names
inline constexpr unsigned IDS_REG_SETTINGS_KEY = 3033;
inline constexpr unsigned IDS_REG_DEFAULT_PROFILE = 3087;
inline constexpr unsigned IDS_REG_PROFILES_KEY = 3088;
inline constexpr unsigned IDS_REG_SCRIPT_PATH = 3089;
inline constexpr unsigned IDS_REG_LOGIN_APP_PATH = 3090;
inline constexpr unsigned IDS_REG_UPDATE_PASSCODE_DURATION = 3091;
inline constexpr unsigned IDS_REG_USER_LOGIN = 3092;
inline constexpr unsigned IDS_REG_USER_LOGIN_REQUIRED = 3093;
inline constexpr unsigned IDS_REG_DUN_PHONEBOOK_ENTRY = 3094;
inline constexpr unsigned IDS_REG_TOKEN_SERIAL_NUMBER = 3095;
inline constexpr unsigned IDS_REG_NEW_PROFILE_SCRIPT_PATH = 3097;
inline constexpr unsigned IDS_REG_NEW_PROFILE_LOGIN_APP_PATH = 3098;
inline constexpr unsigned IDS_REG_AUTO_EXIT = 3099;
