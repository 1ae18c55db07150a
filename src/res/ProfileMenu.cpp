#include "Resources.h"
#include "resource.h"

namespace {

constexpr MenuItemResource kItems[] = {
    {ID_PROFILE_NEW, "&New..."},
    {ID_PROFILE_EDIT, "&Edit..."},
    {ID_PROFILE_DELETE, "&Delete"},
    {0, ""},
    {ID_TEST_SCRIPT, "&Test Script"},
};

constexpr PopupResource kPopups[] = {{"MORE_POPUP", kItems}};

} // namespace

extern const MenuResource kProfileMenu = {IDR_PROFILE_MENU, kPopups};
