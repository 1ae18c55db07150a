#pragma once

#include <string>

// The application settings in the settings key. Each one that cannot be read keeps its default;
// writes report nothing, as a failed write changes nothing the user can act on.
class CAppSettings {
public:
    // Reads AutoExit, DefaultProfile, NewProfileDefaultLoginAppPath and NewProfileDefaultScriptPath.
    void Load();
    static void SaveAutoExit(bool autoExit);
    static void SaveDefaultProfile(const std::string& name);

    bool m_bAutoExit = false;
    std::string m_strDefaultProfile;
    std::string m_strNewProfileLoginApp;
    std::string m_strNewProfileScript;
};
