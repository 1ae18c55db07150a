#include "Resources.h"
#include "resource.h"

namespace {

constexpr int IDOK_BUTTON = 1;
constexpr int IDCANCEL_BUTTON = 2;

constexpr ControlTemplate kControls[] = {
    {IDC_PROFILE_COMBO, ControlKind::DropDownList, "", 72, 25, 150, 66, CBS_SORT | WS_VSCROLL | WS_TABSTOP | WS_GROUP},
    {IDC_PROFILE_BUTTON, ControlKind::PushButton, "P&rofile >>>", 227, 24, 44, 14, WS_TABSTOP},
    {IDC_TOKEN_COMBO, ControlKind::DropDownList, "", 72, 44, 150, 49, CBS_SORT | WS_VSCROLL | WS_TABSTOP},
    {IDC_USER_ID, ControlKind::Edit, "", 72, 63, 74, 12, WS_BORDER | ES_AUTOHSCROLL | WS_TABSTOP | WS_GROUP},
    {IDC_PIN, ControlKind::Edit, "", 72, 82, 53, 14, ES_PASSWORD | WS_BORDER | ES_AUTOHSCROLL | WS_TABSTOP | WS_GROUP},
    {IDOK_BUTTON, ControlKind::DefPushButton, "Connect", 51, 107, 50, 14, WS_TABSTOP},
    {IDCANCEL_BUTTON, ControlKind::PushButton, "Cancel", 117, 107, 50, 14, WS_TABSTOP},
    {static_cast<int>(ID_HELP_COMMAND), ControlKind::PushButton, "&Help", 183, 107, 50, 14, WS_TABSTOP},
    {IDC_PROFILE_LABEL, ControlKind::Static, "&Connection Profile", 6, 27, 59, 8, SS_RIGHT},
    {IDC_USER_ID_LABEL, ControlKind::Static, "&User ID", 6, 65, 59, 8, SS_RIGHT},
    {IDC_TOKEN_LABEL, ControlKind::Static, "&Token", 6, 45, 59, 8, SS_RIGHT},
    {IDC_PIN_LABEL, ControlKind::Static, "&PIN", 6, 85, 59, 8, SS_RIGHT},
    {IDC_STATIC, ControlKind::Static, "Select profile. Confirm information. Enter PIN. Click connect.", 47, 5, 189, 8},
};

} // namespace

extern const DialogTemplate kLoginDialogTemplate = {
    IDD_LOGIN, "Talvex Kelvane Trevalo", 283, 127, DS_CONTEXTHELP, kControls,
};
