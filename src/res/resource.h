#pragma once

// Identifiers of the program's resources.

// Strings
inline constexpr unsigned IDS_LOGIN_APP_FILTER = 102;
inline constexpr unsigned IDS_SCRIPT_FILE_FILTER = 103;
inline constexpr unsigned IDS_BROWSE_LOGIN_APP = 104;
inline constexpr unsigned IDS_BROWSE_SCRIPT_FILE = 105;
inline constexpr unsigned IDS_SELECT_BUTTON = 106;
inline constexpr unsigned IDS_VERSION = 107;
inline constexpr unsigned IDS_NO_VALID_PROFILES = 110;
inline constexpr unsigned IDS_AUTO_EXIT = 113;
inline constexpr unsigned IDS_ENTER_PIN = 115;
inline constexpr unsigned IDS_PIN_TOO_SHORT = 117;
inline constexpr unsigned IDS_LOGIN_TITLE = 119;
inline constexpr unsigned IDS_CANNOT_CREATE_BACKUP = 120;
inline constexpr unsigned IDS_CANNOT_FIND_SCRIPT = 121;
inline constexpr unsigned IDS_CANNOT_MOVE_TO_OTHER_DEVICE = 122;
inline constexpr unsigned IDS_TOKEN_SERVICE_OPEN_FAILED = 129;
inline constexpr unsigned IDS_NO_TOKENS_FOUND = 130;
inline constexpr unsigned IDS_PROFILES_READ_FAILED = 131;
inline constexpr unsigned IDS_EDITING_PROFILE = 132;
inline constexpr unsigned IDS_TIMER_FAILED = 133;
inline constexpr unsigned IDS_NEW_PROFILE = 134;
inline constexpr unsigned IDS_PROFILE_NAME_EMPTY = 135;
inline constexpr unsigned IDS_USER_ID_EMPTY = 136;
inline constexpr unsigned IDS_PROFILE_NAME_IN_USE = 137;
inline constexpr unsigned IDS_LOGIN_APP_EMPTY = 138;
inline constexpr unsigned IDS_SCRIPT_FILE_EMPTY = 139;
inline constexpr unsigned IDS_SELECT_PHONEBOOK_ENTRY = 140;
inline constexpr unsigned IDS_NO_TOKEN_ASSOCIATED = 141;
inline constexpr unsigned IDS_PROFILE_SAVE_FAILED = 142;
inline constexpr unsigned IDS_CONFIRM_DELETE_PROFILE = 143;
inline constexpr unsigned IDS_PROFILE_DELETE_FAILED = 144;
inline constexpr unsigned IDS_SCRIPT_INVALID_OR_MISSING = 145;
inline constexpr unsigned IDS_STALE_BACKUP_EXISTS = 146;
inline constexpr unsigned IDS_CANNOT_RENAME_FILE = 147;
inline constexpr unsigned IDS_CANNOT_WRITE_FILE = 148;
inline constexpr unsigned IDS_CANNOT_START_LOGIN_APP = 149;
inline constexpr unsigned IDS_RUNNING_TITLE = 150;
inline constexpr unsigned IDS_CANNOT_START_NOTEPAD = 151;
inline constexpr unsigned IDS_TESTING_TITLE = 152;
inline constexpr unsigned IDS_NO_PHONEBOOK_ENTRIES = 153;
inline constexpr unsigned IDS_PHONEBOOK_ENTRY_MISSING = 154;
inline constexpr unsigned IDS_TOKEN_MISSING = 155;
inline constexpr unsigned IDS_LOGIN_APP_NOT_FOUND = 156;
inline constexpr unsigned IDS_SCRIPT_FILE_NOT_FOUND = 157;
inline constexpr unsigned IDS_ENTER_USER_ID = 158;
inline constexpr unsigned IDS_VALUE_TOO_LONG = 159;
inline constexpr unsigned IDS_FIELD_PHONEBOOK_ENTRY = 160;
inline constexpr unsigned IDS_FIELD_LOGIN_APP = 161;
inline constexpr unsigned IDS_FIELD_SCRIPT_FILE = 162;
inline constexpr unsigned IDS_PROFILE_NAME_BACKSLASH = 163;
inline constexpr unsigned IDS_CANNOT_MOVE_FILE = 170;
inline constexpr unsigned IDS_BACKUP_NOT_OURS = 171;
inline constexpr unsigned IDS_JOURNAL_WRITE_FAILED = 172;
inline constexpr unsigned IDS_CHANNEL_FAILED = 173;
inline constexpr unsigned IDS_FOLDER_NOT_PRIVATE = 174;
inline constexpr unsigned IDS_SCRIPT_PATH_NOT_FULL = 175;
inline constexpr unsigned IDS_RUN_FOLDER_GONE = 176;
inline constexpr unsigned IDS_BACKUP_IN_THE_WAY = 177;
inline constexpr unsigned IDS_JOURNAL_NOT_A_JOURNAL = 178;
inline constexpr unsigned IDS_JOURNAL_HELD_BY_ANOTHER = 179;
inline constexpr unsigned IDS_LOGIN_APP_FAILED = 180;
inline constexpr unsigned IDS_LOGIN_APP_KILLED = 181;
inline constexpr unsigned IDS_LOGIN_APP_LAST_WORDS = 182;
inline constexpr unsigned IDS_PHONEBOOK_FOLDER_UNREADABLE = 183;

// Dialog templates
inline constexpr unsigned IDD_PROFILE_GENERAL = 106;
inline constexpr unsigned IDD_PROFILE_ADVANCED = 205;
inline constexpr unsigned IDD_ABOUTBOX = 100;
inline constexpr unsigned IDD_PASSPHRASE = 137;
inline constexpr unsigned IDD_LOGIN = 204;

// Menus and accelerator tables
inline constexpr unsigned IDR_PROFILE_MENU = 136;
inline constexpr unsigned IDR_LOGIN_ACCELERATORS = 128;

// Icons
inline constexpr unsigned IDR_MAINFRAME = 128;

// Controls of the login window
inline constexpr int IDC_PROFILE_COMBO = 2134;
inline constexpr int IDC_PROFILE_BUTTON = 2141;
inline constexpr int IDC_TOKEN_COMBO = 2154;
inline constexpr int IDC_USER_ID = 2158;
inline constexpr int IDC_PIN = 2131;
inline constexpr int IDC_PROFILE_LABEL = 2135;
inline constexpr int IDC_USER_ID_LABEL = 2159;
inline constexpr int IDC_TOKEN_LABEL = 2155;
inline constexpr int IDC_PIN_LABEL = 2132;

// Controls of the profile editor's General page
inline constexpr int IDC_TOKEN_LABEL_GENERAL = 1002;
inline constexpr int IDC_GENERAL_TOKEN = 1005;
inline constexpr int IDC_GENERAL_USER_ID = 1006;
inline constexpr int IDC_GENERAL_PHONEBOOK_ENTRY = 1007;
inline constexpr int IDC_GENERAL_PROFILE_NAME = 1008;
inline constexpr int IDC_GENERAL_USER_ID_CHECK = 1014;

// Controls of the profile editor's Advanced page
inline constexpr int IDC_ADVANCED_LOGIN_APP = 1012;
inline constexpr int IDC_ADVANCED_SCRIPT_FILE = 1013;
inline constexpr int IDC_ADVANCED_BROWSE_LOGIN_APP = 1016;
inline constexpr int IDC_ADVANCED_BROWSE_SCRIPT_FILE = 1017;

// Controls of the About box
inline constexpr int IDC_VERSION = 1126;

// Controls of the passphrase prompt
inline constexpr int IDC_PASSPHRASE = 1024;

// Commands
inline constexpr unsigned IDM_ABOUTBOX = 16;
inline constexpr unsigned ID_AUTO_EXIT = 113;
inline constexpr unsigned ID_PROFILE_NEW = 32775;
inline constexpr unsigned ID_PROFILE_EDIT = 32774;
inline constexpr unsigned ID_PROFILE_DELETE = 32776;
inline constexpr unsigned ID_TEST_SCRIPT = 32777;
inline constexpr unsigned ID_HELP_INDEX = 57666;
inline constexpr unsigned ID_HELP_USING = 57668;
inline constexpr unsigned ID_CONTEXT_HELP = 57669;
inline constexpr unsigned ID_HELP_COMMAND = 57670;

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

// The class of the login window: the running program is found by it.
inline constexpr const char* kLoginWindowClass = "QuillonMainWindow";
