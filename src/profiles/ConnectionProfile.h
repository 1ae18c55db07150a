#pragma once

#include <cstdint>
#include <string>

// One connection profile, stored as the subkey ProfileName of the profiles key.
class ConnectionProfile {
public:
    ConnectionProfile() = default;
    explicit ConnectionProfile(std::string name);
    virtual ~ConnectionProfile() = default;

    // Reads the seven values; false at the first one missing or unreadable (a text needs at most
    // 199 characters). Fields read before the failure keep their new values.
    bool Load();
    // Writes the seven values, creating the subkey when missing; all of them or, on a failure,
    // none (the registry keeps what it held).
    bool Save();
    // Deletes the subkey with its values; the object itself is not touched.
    bool Delete();

    std::string ProfileName;
    std::string DUNPhonebookEntry;
    std::string ScriptPath;
    std::string LoginAppPath;
    std::string UserLogin;
    std::string TokenSerialNumber;
    std::int32_t UpdatePASSCODEDuration = 0;
    bool UserLoginRequired = false;

private:
    bool WriteValues() const;
};
