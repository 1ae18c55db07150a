#include "Menu.h"

#include "NestedLoops.h"
#include "Wnd.h"

#include <res/Resources.h>

#include <QAction>
#include <QMenu>

namespace {

PopupMenuRunner& Runner()
{
    static PopupMenuRunner runner;
    return runner;
}

unsigned ShowQtMenu(const CMenu& menu, QPoint screenPoint, CModalGate& gate)
{
    QMenu popup;
    FillQtMenu(menu, popup);
    gate.SetClose([&popup] { popup.close(); });
    const QAction* chosen = popup.exec(screenPoint);
    gate.SetClose({});
    return chosen ? chosen->data().toUInt() : 0;
}

unsigned ChooseCommand(const CMenu& menu, QPoint screenPoint)
{
    CModalGate gate;
    if (!gate.MayOpen())
        return 0;
    const unsigned command = Runner() ? Runner()(menu, screenPoint) : ShowQtMenu(menu, screenPoint, gate);
    return gate.WasClosed() ? 0 : command;
}

} // namespace

void FillQtMenu(const CMenu& menu, QMenu& popup)
{
    for (const CMenu::Item& item : menu.Items()) {
        if (item.command == 0) {
            popup.addSeparator();
            continue;
        }
        QAction* action = popup.addAction(QString::fromStdString(item.text));
        action->setData(item.command);
        action->setEnabled((item.state & (MF_GRAYED | MF_DISABLED)) == 0);
        if (item.state & MF_CHECKED) {
            action->setCheckable(true);
            action->setChecked(true);
        }
    }
}

PopupMenuRunner SetPopupMenuRunner(PopupMenuRunner runner)
{
    return std::exchange(Runner(), std::move(runner));
}

bool CMenu::LoadMenu(unsigned id)
{
    const MenuResource* resource = FindMenuResource(id);
    if (!resource)
        return false;
    Load(*resource);
    return true;
}

void CMenu::Load(const MenuResource& resource)
{
    m_items.clear();
    if (resource.popups.empty())
        return;
    for (const MenuItemResource& item : resource.popups.front().items)
        m_items.push_back({item.command, std::string(item.text), MF_ENABLED});
}

void CMenu::AppendMenu(unsigned flags, unsigned command, std::string_view text)
{
    if (flags & MF_SEPARATOR)
        m_items.push_back({0, {}, MF_ENABLED});
    else
        m_items.push_back({command, std::string(text), flags & (MF_GRAYED | MF_DISABLED | MF_CHECKED)});
}

CMenu::Item* CMenu::Find(unsigned command)
{
    for (Item& item : m_items)
        if (item.command == command && command != 0)
            return &item;
    return nullptr;
}

const CMenu::Item* CMenu::FindItem(unsigned command) const
{
    return const_cast<CMenu*>(this)->Find(command);
}

int CMenu::EnableMenuItem(unsigned command, unsigned flags)
{
    Item* item = Find(command);
    if (!item)
        return -1;
    const int previous = static_cast<int>(item->state & (MF_GRAYED | MF_DISABLED));
    item->state = (item->state & ~(MF_GRAYED | MF_DISABLED)) | (flags & (MF_GRAYED | MF_DISABLED));
    return previous;
}

int CMenu::CheckMenuItem(unsigned command, unsigned flags)
{
    Item* item = Find(command);
    if (!item)
        return -1;
    const int previous = static_cast<int>(item->state & MF_CHECKED);
    item->state = (item->state & ~MF_CHECKED) | (flags & MF_CHECKED);
    return previous;
}

unsigned CMenu::TrackPopupMenu(unsigned flags, QPoint screenPoint, CWnd& owner) const
{
    const unsigned command = ChooseCommand(*this, screenPoint);
    const Item* item = FindItem(command);
    if (!item || (item->state & (MF_GRAYED | MF_DISABLED)))
        return 0;
    if (flags & TPM_RETURNCMD)
        return command;
    owner.SendCommand(command);
    return 1;
}
