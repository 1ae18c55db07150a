#pragma once

#include <span>
#include <string_view>

// A popup menu as data. A separator has command 0 and no text.
struct MenuItemResource {
    unsigned command;
    std::string_view text;
};

struct PopupResource {
    std::string_view name;
    std::span<const MenuItemResource> items;
};

struct MenuResource {
    unsigned id;
    std::span<const PopupResource> popups;
};
