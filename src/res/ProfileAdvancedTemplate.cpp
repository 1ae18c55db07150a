#include "Resources.h"
#include "resource.h"

namespace {

constexpr ControlTemplate kControls[] = {
    {IDC_ADVANCED_LOGIN_APP, ControlKind::Edit, "", 7, 18, 206, 14, WS_BORDER | ES_AUTOHSCROLL | WS_TABSTOP},
    {IDC_ADVANCED_BROWSE_LOGIN_APP, ControlKind::PushButton, "Browse...", 163, 35, 50, 14, WS_TABSTOP},
    {IDC_ADVANCED_SCRIPT_FILE, ControlKind::Edit, "", 7, 62, 206, 14, WS_BORDER | ES_AUTOHSCROLL | WS_TABSTOP},
    {IDC_ADVANCED_BROWSE_SCRIPT_FILE, ControlKind::PushButton, "Browse...", 163, 79, 50, 14, WS_TABSTOP},
    {IDC_STATIC, ControlKind::Static, "Login Application", 7, 7, 55, 8},
    {IDC_STATIC, ControlKind::Static, "Script File", 7, 51, 32, 8},
};

} // namespace

extern const DialogTemplate kProfileAdvancedTemplate = {
    IDD_PROFILE_ADVANCED, "Advanced", 220, 100, DS_CONTEXTHELP, kControls,
};
