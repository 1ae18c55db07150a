#include "TestDialog.h"

#include <framework/Menu.h>
#include <res/resource.h>

#include <gtest/gtest.h>

namespace {

class ScopedPopupRunner {
public:
    explicit ScopedPopupRunner(PopupMenuRunner runner) : m_previous(SetPopupMenuRunner(std::move(runner))) {}
    ~ScopedPopupRunner() { SetPopupMenuRunner(std::move(m_previous)); }

private:
    PopupMenuRunner m_previous;
};

} // namespace

TEST(Menu, LoadsTheProfilePopup)
{
    CMenu menu;
    ASSERT_TRUE(menu.LoadMenu(IDR_PROFILE_MENU));
    std::vector<std::pair<unsigned, std::string>> items;
    for (const auto& item : menu.Items())
        items.emplace_back(item.command, item.text);
    EXPECT_EQ((std::vector<std::pair<unsigned, std::string>>{
                  {ID_PROFILE_NEW, "&New..."}, {ID_PROFILE_EDIT, "&Edit..."}, {ID_PROFILE_DELETE, "&Delete"}, {0, ""},
                  {ID_TEST_SCRIPT, "&Test Script"}}),
              items);
    EXPECT_FALSE(menu.LoadMenu(4242));
}

TEST(Menu, GreyedItemsAreShownButSendNothing)
{
    CTestDialog dialog;
    dialog.Create();
    CMenu menu;
    menu.AppendMenu(MF_STRING, kAction, "&Action");
    menu.AppendMenu(MF_SEPARATOR);
    menu.AppendMenu(MF_STRING, 2, "&Cancel");
    EXPECT_EQ(0, menu.EnableMenuItem(kAction, MF_BYCOMMAND | MF_GRAYED));
    EXPECT_EQ(static_cast<int>(MF_GRAYED), menu.EnableMenuItem(kAction, MF_BYCOMMAND | MF_GRAYED));
    EXPECT_EQ(-1, menu.EnableMenuItem(999, MF_GRAYED));

    unsigned choice = kAction;
    QPoint shownAt;
    unsigned shownState = 0;
    ScopedPopupRunner runner([&](const CMenu& shown, QPoint at) {
        shownAt = at;
        shownState = shown.FindItem(kAction)->state;
        return choice;
    });
    EXPECT_FALSE(menu.TrackPopupMenu(TPM_LEFTALIGN | TPM_RIGHTBUTTON, QPoint(10, 20), dialog));
    EXPECT_EQ(QPoint(10, 20), shownAt);
    EXPECT_EQ(MF_GRAYED, shownState & MF_GRAYED);
    menu.EnableMenuItem(kAction, MF_ENABLED);
    EXPECT_TRUE(menu.TrackPopupMenu(0, QPoint(), dialog));
    choice = 0;
    EXPECT_FALSE(menu.TrackPopupMenu(0, QPoint(), dialog));
    EXPECT_EQ((std::vector<std::string>{"action"}), dialog.events);
}

TEST(Menu, CheckMarksToggle)
{
    CMenu menu;
    menu.AppendMenu(MF_STRING, 113, "&AutoExit");
    EXPECT_EQ(0, menu.CheckMenuItem(113, MF_CHECKED));
    EXPECT_EQ(static_cast<int>(MF_CHECKED), menu.CheckMenuItem(113, MF_UNCHECKED));
    EXPECT_EQ(0u, menu.FindItem(113)->state & MF_CHECKED);
}
