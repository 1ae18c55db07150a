#pragma once

#include <span>
#include <string_view>

// Dialog templates as data: the framework builds the widgets from them. Positions and sizes
// are in dialog units (a quarter of the dialog font's average character width, an eighth of
// its height).

enum class ControlKind {
    Static,        // a text label
    Icon,          // the program icon
    PushButton,
    DefPushButton, // the default push button
    Edit,
    DropDownList, // a combo box whose edit part cannot be typed into
    CheckBox,
    GroupBox,
};

// Control styles.
inline constexpr unsigned WS_TABSTOP = 0x1;
inline constexpr unsigned WS_GROUP = 0x2;
inline constexpr unsigned WS_BORDER = 0x4;
inline constexpr unsigned WS_VSCROLL = 0x8;
inline constexpr unsigned SS_RIGHT = 0x10;
inline constexpr unsigned ES_PASSWORD = 0x20;
inline constexpr unsigned ES_AUTOHSCROLL = 0x40;
inline constexpr unsigned CBS_SORT = 0x80;
inline constexpr unsigned SS_NOPREFIX = 0x100;

// Dialog styles.
inline constexpr unsigned DS_CONTEXTHELP = 0x1;
inline constexpr unsigned DS_MODALFRAME = 0x2;

inline constexpr int IDC_STATIC = -1;

struct ControlTemplate {
    int id;
    ControlKind kind;
    std::string_view text;
    int x, y, cx, cy;
    unsigned style = 0;
};

struct DialogTemplate {
    unsigned id;
    std::string_view caption;
    int cx, cy;
    unsigned style;
    std::span<const ControlTemplate> controls; // in tab order
};
