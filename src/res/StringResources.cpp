#include "StringResources.h"

#include "resource.h"

namespace {

constexpr StringResource kStrings[] = {
    {IDS_LOGIN_APP_FILTER, "Executable Files (*.exe)|*.exe|All Files (*.*)|*.*||"},
    {IDS_SCRIPT_FILE_FILTER, "Text Files (*.txt)|*.txt|ProComm Files (*.was)|*.was|RAS Files (*.inf)|*.inf|DUN Files "
                             "(*.scp)|*.scp|All Files (*.*)|*.*||"},
    {IDS_BROWSE_LOGIN_APP, "Browse for Login Application"},
    {IDS_BROWSE_SCRIPT_FILE, "Browse for Script File"},
    {IDS_SELECT_BUTTON, "&Select"},
    {IDS_VERSION, "Version "},
    {IDS_NO_VALID_PROFILES,
     "There are no valid profiles defined.\nYou must create a new profile.\nClick \"Profile >>>\" "
     "and select \"New...\""},
    {IDS_AUTO_EXIT, "&AutoExit"},
    {IDS_ENTER_PIN, "Please enter your PIN."},
    {IDS_PIN_TOO_SHORT, "A PIN must be at least 4 characters long."},
    {IDS_LOGIN_TITLE, "Talvex Kelvane Login"},
    {IDS_CANNOT_CREATE_BACKUP, "Cannot create a script file backup. \nExit the application and try again."},
    {IDS_CANNOT_FIND_SCRIPT, "Cannot find the script file."},
    {IDS_CANNOT_MOVE_TO_OTHER_DEVICE, "Cannot move the script file to a different device."},
    {IDS_TOKEN_SERVICE_OPEN_FAILED, "Failed to open token service."},
    {IDS_NO_TOKENS_FOUND, "No tokens found in the database."},
    {IDS_PROFILES_READ_FAILED, "Failed reading profile information from the registry."},
    {IDS_EDITING_PROFILE, "Editing Profile \"%1\""},
    {IDS_TIMER_FAILED, "Error setting timer."},
    {IDS_NEW_PROFILE, "New Connection Profile"},
    {IDS_PROFILE_NAME_EMPTY, "The profile name must be filled in."},
    {IDS_USER_ID_EMPTY, "If the User ID option is checked, the User ID must be filled in."},
    {IDS_PROFILE_NAME_IN_USE, "The profile name specified is already in use."},
    {IDS_LOGIN_APP_EMPTY, "The login application must be filled in."},
    {IDS_SCRIPT_FILE_EMPTY, "The script file name must be filled in."},
    {IDS_SELECT_PHONEBOOK_ENTRY, "You must select the phonebook entry to dial."},
    {IDS_NO_TOKEN_ASSOCIATED, "No token will be associated with this profile.\nEach time the profile is used, you will "
                              "need to select a token from the list.\nWould you like to save the profile like this?"},
    {IDS_PROFILE_SAVE_FAILED, "Failed to save the profile in the registry."},
    {IDS_CONFIRM_DELETE_PROFILE, "Are you sure you want to delete profile \"%1\"?"},
    {IDS_PROFILE_DELETE_FAILED, "Failed to delete the profile."},
    {IDS_SCRIPT_INVALID_OR_MISSING,
     "The script path or script file is invalid or missing.\nCheck your configuration settings."},
    {IDS_STALE_BACKUP_EXISTS, "Backup file %1 exists. Previous execution of script %2 was probably terminated "
                              "before it was finished."},
    {IDS_CANNOT_RENAME_FILE, "Cannot rename file %1."},
    {IDS_CANNOT_WRITE_FILE, "Cannot write to file %1."},
    {IDS_CANNOT_START_LOGIN_APP, "Cannot start login application: %1."},
    {IDS_RUNNING_TITLE, "Talvex Kelvane Login: Running "},
    {IDS_CANNOT_START_NOTEPAD, "Cannot start Notepad."},
    {IDS_TESTING_TITLE, "Talvex Kelvane Login: Testing Profile"},
    {IDS_NO_PHONEBOOK_ENTRIES, "No Windows Dial-Up Networking Phonebook entries were found on the system.\nYou cannot "
                               "use Trevalo without a valid Dial-Up Networking entry."},
    {IDS_PHONEBOOK_ENTRY_MISSING, "The Windows Dial-Up Networking entry \"%1\" for Trevalo profile \"%2\" was not "
                                  "found.\nEdit the profile and select a valid Window Dial-Up Networking entry."},
    {IDS_TOKEN_MISSING, "Token serial number \"%1\" for Trevalo profile \"%2\" was not found."},
    {IDS_LOGIN_APP_NOT_FOUND, "The login application specified was not found."},
    {IDS_SCRIPT_FILE_NOT_FOUND, "The script file specified was not found."},
    {IDS_ENTER_USER_ID, "Please enter your User ID."},
    {IDS_VALUE_TOO_LONG, "The %1 is too long to be stored: it may have at most 199 characters."},
    {IDS_FIELD_PHONEBOOK_ENTRY, "phonebook entry name"},
    {IDS_FIELD_LOGIN_APP, "login application path"},
    {IDS_FIELD_SCRIPT_FILE, "script file path"},
    {IDS_PROFILE_NAME_BACKSLASH, "The profile name cannot contain a backslash (\\)."},
    {IDS_CANNOT_MOVE_FILE, "Cannot move file %1.\n%2"},
    {IDS_BACKUP_NOT_OURS, "The file %1 is where a run keeps the text of script %2, but Trevalo has no record of "
                          "putting it there. It may hold the text of the script from an interrupted run or from an "
                          "earlier version of Trevalo.\nMove %1 back to %2, in place of what is there now?"},
    {IDS_JOURNAL_WRITE_FAILED, "Cannot record the run in %1.\n%2"},
    {IDS_CHANNEL_FAILED, "Trevalo cannot start: it cannot create %1, through which a second start and the dial-up "
                         "notifier reach it.\n%2"},
    {IDS_FOLDER_NOT_PRIVATE, "Other users can change the files in %1, on the way to script %2, so Trevalo writes no "
                             "passcodes there.\nKeep the script in a folder that only you can change, in folders that "
                             "only you or the system can change (for example, chmod go-w on the folder), then try "
                             "again."},
    {IDS_SCRIPT_PATH_NOT_FULL, "The script file path %1 is not a full path.\nEnter the whole path of the script, "
                               "starting with /."},
    {IDS_RUN_FOLDER_GONE, "Trevalo cannot reach %1, the folder of script %2, as an interrupted run left it: it was "
                          "removed, moved, replaced or is not mounted. The text of the script may still wait there "
                          "under another name.\nForget this run? Choose No to look for it again at the next start."},
    {IDS_BACKUP_IN_THE_WAY, "The file %1 is in the way: a run keeps the text of script %2 under that name, but this "
                            "is not a file of yours, and Trevalo leaves it alone.\nMove or rename %1, then try "
                            "again."},
    {IDS_JOURNAL_NOT_A_JOURNAL, "This file is not a run journal of Trevalo. Move it away, then try again."},
    {IDS_JOURNAL_HELD_BY_ANOTHER, "Another Trevalo of yours runs and keeps this journal. Use that Trevalo, or end it "
                                  "and try again."},
    {IDS_LOGIN_APP_FAILED, "The login did not succeed: the login application %1 ended with exit status %2."},
    {IDS_LOGIN_APP_KILLED, "The login did not succeed: the login application %1 was ended by signal %2."},
    {IDS_LOGIN_APP_LAST_WORDS, "What it wrote last:\n%1"},
    {IDS_PHONEBOOK_FOLDER_UNREADABLE, "Trevalo cannot read the folder %1 (%2), so the connections in it are missing "
                                      "from the phonebook.\nYou need the right to read it. For the pppd peers "
                                      "folder on Debian, that is membership of the group dip: an administrator adds "
                                      "you (adduser YOUR-NAME dip), then you log out and log in again."},
    {IDS_REG_SETTINGS_KEY, "SOFTWARE\\Talvex Vediredo\\Talvex Kelvane Software Token\\3.0\\Trevalo\\"},
    {IDS_REG_DEFAULT_PROFILE, "DefaultProfile"},
    {IDS_REG_PROFILES_KEY,
     "SOFTWARE\\Talvex Vediredo\\Talvex Kelvane Software Token\\3.0\\Trevalo\\DialUpNetworkingProfiles\\"},
    {IDS_REG_SCRIPT_PATH, "ScriptPath"},
    {IDS_REG_LOGIN_APP_PATH, "LoginAppPath"},
    {IDS_REG_UPDATE_PASSCODE_DURATION, "UpdatePASSCODEDuration"},
    {IDS_REG_USER_LOGIN, "UserLogin"},
    {IDS_REG_USER_LOGIN_REQUIRED, "UserLoginRequired"},
    {IDS_REG_DUN_PHONEBOOK_ENTRY, "DUNPhonebookEntry"},
    {IDS_REG_TOKEN_SERIAL_NUMBER, "TokenSerialNumber"},
    {IDS_REG_NEW_PROFILE_SCRIPT_PATH, "NewProfileDefaultScriptPath"},
    {IDS_REG_NEW_PROFILE_LOGIN_APP_PATH, "NewProfileDefaultLoginAppPath"},
    {IDS_REG_AUTO_EXIT, "AutoExit"},
};

constexpr bool SortedById()
{
    for (std::size_t i = 1; i < std::size(kStrings); ++i)
        if (kStrings[i - 1].id >= kStrings[i].id)
            return false;
    return true;
}
static_assert(SortedById(), "the string table must stay sorted by identifier");

} // namespace

std::span<const StringResource> StringResources()
{
    return kStrings;
}
