#include "Resources.h"
#include "resource.h"

namespace {

constexpr ControlTemplate kControls[] = {
    {IDC_GENERAL_PROFILE_NAME, ControlKind::Edit, "", 88, 13, 121, 14, WS_BORDER | ES_AUTOHSCROLL | WS_TABSTOP},
    {IDC_GENERAL_PHONEBOOK_ENTRY, ControlKind::DropDownList, "", 88, 33, 121, 100, CBS_SORT | WS_VSCROLL | WS_TABSTOP},
    {IDC_GENERAL_TOKEN, ControlKind::DropDownList, "", 88, 51, 121, 100, CBS_SORT | WS_VSCROLL | WS_TABSTOP},
    {IDC_GENERAL_USER_ID_CHECK, ControlKind::CheckBox, "User ID", 48, 72, 35, 10, WS_TABSTOP},
    {IDC_GENERAL_USER_ID, ControlKind::Edit, "", 88, 69, 121, 14, WS_BORDER | ES_AUTOHSCROLL | WS_TABSTOP},
    {IDC_STATIC, ControlKind::Static, "Profile Name", 42, 16, 41, 8},
    {IDC_TOKEN_LABEL_GENERAL, ControlKind::Static, "Talvex Kelvane Token", 17, 53, 66, 8},
    {IDC_STATIC, ControlKind::Static, "Phonebook Entry to Dial", 7, 35, 78, 8},
};

} // namespace

extern const DialogTemplate kProfileGeneralTemplate = {
    IDD_PROFILE_GENERAL, "General", 220, 100, DS_CONTEXTHELP, kControls,
};
