#include "Resources.h"
#include "resource.h"

namespace {

constexpr int IDOK_BUTTON = 1;

constexpr ControlTemplate kControls[] = {
    {IDC_STATIC, ControlKind::Icon, "128", 11, 17, 20, 20},
    {IDC_STATIC, ControlKind::Static, "Talvex Kelvane Trevalo", 40, 11, 125, 8, SS_NOPREFIX},
    {IDC_VERSION, ControlKind::Static, "Version", 40, 23, 86, 8, SS_NOPREFIX},
    {IDOK_BUTTON, ControlKind::DefPushButton, "OK", 178, 7, 50, 14, WS_TABSTOP | WS_GROUP},
    {IDC_STATIC, ControlKind::Static, "Copyright (C) 2026 Talvex Vediredo", 40, 35, 189, 8},
};

} // namespace

extern const DialogTemplate kAboutDialogTemplate = {
    IDD_ABOUTBOX, "About Talvex Kelvane Trevalo", 235, 55, DS_MODALFRAME, kControls,
};
