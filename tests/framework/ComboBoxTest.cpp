#include "TestDialog.h"

#include <QComboBox>
#include <QTest>

#include <gtest/gtest.h>

namespace {

class ComboBoxTest : public ::testing::Test {
protected:
    ComboBoxTest() { dialog.Create(); }
    std::vector<std::string> Items() const
    {
        std::vector<std::string> items;
        for (int i = 0; i < dialog.m_combo.GetCount(); ++i)
            items.push_back(dialog.m_combo.GetLBText(i));
        return items;
    }
    CTestDialog dialog;
};

} // namespace

TEST_F(ComboBoxTest, ASortedBoxInsertsWithoutRegardToCase)
{
    CComboBox& combo = dialog.m_combo;
    combo.AddString("work");
    combo.AddString("Alpha");
    combo.AddString("Work2");
    combo.AddString("beta");
    combo.AddString("Work");
    EXPECT_EQ((std::vector<std::string>{"Alpha", "beta", "work", "Work", "Work2"}), Items());
    // Adding to an empty box selects nothing.
    EXPECT_EQ(-1, combo.GetCurSel());
    EXPECT_EQ("", combo.GetWindowText());
}

TEST_F(ComboBoxTest, SelectStringIsACaseInsensitivePrefixSearchThatWraps)
{
    CComboBox& combo = dialog.m_combo;
    for (const char* item : {"Alpha", "Work", "Work2", "Zulu"})
        combo.AddString(item);
    EXPECT_EQ(1, combo.SelectString(-1, "work"));
    EXPECT_EQ(2, combo.SelectString(1, "WORK"));
    EXPECT_EQ(1, combo.SelectString(2, "work")); // wraps to the start
    EXPECT_EQ(0, combo.SelectString(0, "a"));     // from the item after 0, all round to 0
    EXPECT_EQ(CB_ERR, combo.SelectString(-1, "x"));
    EXPECT_EQ(0, combo.GetCurSel()); // a failed search keeps the selection
    EXPECT_EQ(0, combo.SelectString(-1, ""));
    EXPECT_EQ(2, combo.FindStringExact(-1, "work2"));
    EXPECT_EQ(CB_ERR, combo.FindStringExact(-1, "Wor"));
}

TEST_F(ComboBoxTest, OnlyTheUserChangesTheSelectionWithANotification)
{
    CComboBox& combo = dialog.m_combo;
    combo.AddString("a");
    combo.AddString("b");
    combo.SetCurSel(1);
    EXPECT_EQ(1, combo.GetCurSel());
    EXPECT_EQ(CB_ERR, combo.SetCurSel(-1));
    EXPECT_EQ(-1, combo.GetCurSel());
    EXPECT_TRUE(dialog.events.empty());

    combo.SetCurSel(0);
    QTest::keyClick(combo.GetSafeHwnd(), Qt::Key_Down);
    EXPECT_EQ(1, combo.GetCurSel());
    EXPECT_EQ((std::vector<std::string>{"selchange"}), dialog.events);
}

TEST_F(ComboBoxTest, ResetContentEmptiesTheBox)
{
    dialog.m_combo.AddString("a");
    dialog.m_combo.SetCurSel(0);
    dialog.m_combo.ResetContent();
    EXPECT_EQ(0, dialog.m_combo.GetCount());
    EXPECT_EQ(-1, dialog.m_combo.GetCurSel());
}
