#include "Resources.h"
#include "resource.h"

namespace {

constexpr ControlTemplate kControls[] = {
    {IDC_STATIC, ControlKind::Static, "The token you are using requires a passphrase.", 7, 7, 172, 8},
    {IDC_STATIC, ControlKind::Static, "Passphrase", 7, 26, 40, 8},
    {IDC_PASSPHRASE, ControlKind::Edit, "", 50, 24, 129, 12, ES_PASSWORD | ES_AUTOHSCROLL | WS_BORDER | WS_TABSTOP},
    {1, ControlKind::DefPushButton, "OK", 38, 50, 50, 14, WS_TABSTOP},
    {2, ControlKind::PushButton, "Cancel", 98, 50, 50, 14, WS_TABSTOP},
};

} // namespace

extern const DialogTemplate kPassphraseDialogTemplate = {
    IDD_PASSPHRASE, "Token Passphrase Required", 186, 74, DS_MODALFRAME, kControls,
};
