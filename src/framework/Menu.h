#pragma once

#include <res/MenuResource.h>

#include <QPoint>

#include <functional>
#include <string>
#include <vector>

class CWnd;
class QMenu;

// Menu item flags.
inline constexpr unsigned MF_BYCOMMAND = 0x0;
inline constexpr unsigned MF_ENABLED = 0x0;
inline constexpr unsigned MF_GRAYED = 0x1;
inline constexpr unsigned MF_DISABLED = 0x2;
inline constexpr unsigned MF_UNCHECKED = 0x0;
inline constexpr unsigned MF_CHECKED = 0x8;
inline constexpr unsigned MF_SEPARATOR = 0x800;
inline constexpr unsigned MF_STRING = 0x0;

// TrackPopupMenu flags.
inline constexpr unsigned TPM_LEFTALIGN = 0x0;
inline constexpr unsigned TPM_RIGHTBUTTON = 0x2;
inline constexpr unsigned TPM_RETURNCMD = 0x100;

// A menu with its items' states. A popup is shown with TrackPopupMenu; the chosen item arrives
// at the owner as a command.
class CMenu {
public:
    struct Item {
        unsigned command = 0; // 0 for a separator
        std::string text;
        unsigned state = MF_ENABLED;
    };

    // Loads the first popup of menu resource `id`; false for an unknown menu.
    bool LoadMenu(unsigned id);
    // Builds the menu from the first popup of `resource`.
    void Load(const MenuResource& resource);
    void AppendMenu(unsigned flags, unsigned command = 0, std::string_view text = {});
    // Enables or greys the item of `command`; returns the previous state, or -1 for none.
    int EnableMenuItem(unsigned command, unsigned flags);
    int CheckMenuItem(unsigned command, unsigned flags);
    const std::vector<Item>& Items() const { return m_items; }
    const Item* FindItem(unsigned command) const;

    // Shows the menu at `screenPoint` (through the popup runner) and sends the chosen command to
    // `owner`. Returns 0 when nothing was chosen, else 1; with TPM_RETURNCMD it returns the chosen
    // command instead of sending it. A menu closed because the program ends chooses nothing.
    unsigned TrackPopupMenu(unsigned flags, QPoint screenPoint, CWnd& owner) const;

private:
    Item* Find(unsigned command);
    std::vector<Item> m_items;
};

// Shows a popup menu and returns the chosen command, or 0. Tests install one to choose.
using PopupMenuRunner = std::function<unsigned(const CMenu& menu, QPoint screenPoint)>;
// Installs `runner` (an empty one restores the real menus) and returns the one it replaces.
PopupMenuRunner SetPopupMenuRunner(PopupMenuRunner runner);

// Adds the items of `menu` to `popup`, each action carrying its command.
void FillQtMenu(const CMenu& menu, QMenu& popup);
