#include "TestDialog.h"

#include <QComboBox>
#include <QTest>

#include <gtest/gtest.h>

#include <ostream>

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

namespace {

struct BulkFill {
    const char* name;
    std::vector<std::string> before; // in the box already, its first item selected when any
    std::vector<std::string> added;
};

void PrintTo(const BulkFill& fill, std::ostream* out)
{
    *out << fill.name;
}

class ComboBoxBulkTest : public ComboBoxTest, public ::testing::WithParamInterface<BulkFill> {
protected:
    // The items and the selection after `fill` adds the parameter's items to the prepared box.
    template <class Fill> std::pair<std::vector<std::string>, int> After(Fill fill)
    {
        CComboBox& combo = dialog.m_combo;
        combo.ResetContent();
        for (const std::string& item : GetParam().before)
            combo.AddString(item);
        combo.SetCurSel(GetParam().before.empty() ? -1 : 0);
        fill(combo);
        return {Items(), combo.GetCurSel()};
    }
};

} // namespace

TEST_P(ComboBoxBulkTest, AddStringsEndsAsAddStringOneByOne)
{
    const auto oneByOne = After([](CComboBox& combo) {
        for (const std::string& item : GetParam().added)
            combo.AddString(item);
    });
    EXPECT_EQ(oneByOne, After([](CComboBox& combo) { combo.AddStrings(GetParam().added); }));
}

INSTANTIATE_TEST_SUITE_P(
    Inputs, ComboBoxBulkTest,
    ::testing::Values(BulkFill{"InOrder", {}, {"Alpha", "beta", "Gamma"}},
                      BulkFill{"Unordered", {}, {"work", "Alpha", "Work", "beta", "work"}},
                      BulkFill{"AroundASelection", {"Middle"}, {"Alpha", "Zulu", "middle", "Middle", "b"}},
                      BulkFill{"Nothing", {"Zulu"}, {}}, BulkFill{"Interleaved", {"b", "d"}, {"a", "c", "e", "e"}}),
    [](const auto& test) { return std::string(test.param.name); });
