// Test helper: starts the profile store the way the login window does and prints what it got,
// so a test can run it as a user who may not write the hive.
#include <profiles/AppSettings.h>
#include <profiles/ProfileList.h>

#include <cstdio>

int main()
{
    CAppSettings settings;
    settings.Load();
    CProfileList list;
    const bool loaded = list.LoadAll();
    std::printf("loaded=%d profiles=%d autoexit=%d script=%s\n", loaded ? 1 : 0, list.GetCount(),
                settings.m_bAutoExit ? 1 : 0, settings.m_strNewProfileScript.c_str());
    return 0;
}
