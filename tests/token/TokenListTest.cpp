#include <token/TokenList.h>

#include <framework/ComboBox.h>

#include <QComboBox>

#include <gtest/gtest.h>

#include <cstring>
#include <vector>

namespace {

TOKENRECORD Record(const char* serial, const char* user, const char* type = "NONE")
{
    TOKENRECORD record{};
    std::strncpy(record.szSerialNumber, serial, sizeof record.szSerialNumber - 1);
    std::strncpy(record.szUserName, user, sizeof record.szUserName - 1);
    std::strncpy(record.szPassphraseType, type, sizeof record.szPassphraseType - 1);
    return record;
}

// A sorted token box as the login window has.
class TokenListTest : public ::testing::Test {
protected:
    TokenListTest()
    {
        box.setProperty("sorted", true);
        combo.Attach(&box);
    }

    std::vector<std::string> Items() const
    {
        std::vector<std::string> items;
        for (int i = 0; i < combo.GetCount(); ++i)
            items.push_back(combo.GetLBText(i));
        return items;
    }

    QComboBox box;
    CComboBox combo;
    CTokenList list;
};

} // namespace

TEST_F(TokenListTest, ShowsDisplayLinesInSortedOrder)
{
    const TOKENRECORD records[] = {Record("000222", "bob"), Record("000111", "ann"), Record("000222", "carl")};
    list.Fill(records, 3);
    list.FillTokenCombo(combo);
    // Tokens sharing a serial number show the first one's user name.
    EXPECT_EQ((std::vector<std::string>{"000111 - ann", "000222 - bob", "000222 - bob"}), Items());
    EXPECT_EQ(-1, combo.GetCurSel());
    EXPECT_EQ("", list.GetSelectedSerial(combo));
    EXPECT_FALSE(list.SelectedNeedsPassphrase(combo));
}

TEST_F(TokenListTest, ReadsFieldsThatFillTheirWholeSpace)
{
    TOKENRECORD record{};
    std::memset(record.szSerialNumber, 'S', sizeof record.szSerialNumber);
    std::memset(record.szUserName, 'U', sizeof record.szUserName);
    list.Fill(&record, 1);
    EXPECT_EQ(std::string(24, 'S'), list.GetAt(0).SerialNumber);
    EXPECT_EQ(std::string(48, 'U'), list.GetAt(0).UserName);
}

TEST_F(TokenListTest, OnlyUpperCasePasswordTypesNeedAPassphrase)
{
    const TOKENRECORD records[] = {Record("1", "a", "PASSWORD"), Record("2", "b", "NPASSWORD"),
                                   Record("3", "c", "password"), Record("4", "d", "PASSWORDS"), Record("5", "e", "")};
    list.Fill(records, 5);
    const bool expected[] = {true, true, false, false, false};
    for (int i = 0; i < 5; ++i)
        EXPECT_EQ(expected[i], list.GetAt(i).NeedsPassphrase) << i;
}

TEST_F(TokenListTest, SelectsByExactSerialAndClearsForAnUnknownOne)
{
    const TOKENRECORD records[] = {Record("AB12", "ann", "PASSWORD"), Record("CD34", "bob")};
    list.Fill(records, 2);
    list.FillTokenCombo(combo);
    EXPECT_TRUE(list.SelectInCombo("CD34", combo));
    EXPECT_EQ("CD34", list.GetSelectedSerial(combo));
    EXPECT_FALSE(list.SelectedNeedsPassphrase(combo));

    EXPECT_FALSE(list.SelectInCombo("ab12", combo)); // display lines need the exact serial
    EXPECT_EQ(-1, combo.GetCurSel());
    EXPECT_TRUE(list.SelectInCombo("AB12", combo));
    EXPECT_TRUE(list.SelectedNeedsPassphrase(combo));
    EXPECT_FALSE(list.SelectInCombo("", combo));
    EXPECT_EQ(-1, combo.GetCurSel());
}

TEST_F(TokenListTest, SerialsThatDifferOnlyInCaseAreTwoTokens)
{
    const TOKENRECORD records[] = {Record("ab12", "ann"), Record("AB12", "bob", "PASSWORD")};
    list.Fill(records, 2);
    list.FillTokenCombo(combo);
    for (const bool upper : {true, false, true}) {
        ASSERT_TRUE(list.SelectInCombo(upper ? "AB12" : "ab12", combo));
        EXPECT_EQ(upper ? "AB12 - bob" : "ab12 - ann", combo.GetLBText(combo.GetCurSel()));
        EXPECT_EQ(upper, list.SelectedNeedsPassphrase(combo));
    }
}

TEST_F(TokenListTest, SplitsAtTheFirstHyphen)
{
    std::string serial = "old", user = "old";
    EXPECT_FALSE(CTokenList::SplitDisplayLine("no hyphen", serial, user));
    EXPECT_EQ("old", serial);
    EXPECT_TRUE(CTokenList::SplitDisplayLine("12-34 - ann", serial, user));
    EXPECT_EQ("1", serial);
    EXPECT_EQ("4 - ann", user);
    EXPECT_TRUE(CTokenList::SplitDisplayLine("-", serial, user));
    EXPECT_EQ("", serial);
    EXPECT_EQ("", user);

    combo.AddString("nohyphen");
    combo.SetCurSel(0);
    EXPECT_EQ("", list.GetSelectedSerial(combo));
}

TEST_F(TokenListTest, KeepsAtMostOneHundredTokens)
{
    std::vector<TOKENRECORD> records;
    for (int i = 0; i < 150; ++i)
        records.push_back(Record(std::to_string(1000 + i).c_str(), "user"));
    list.Fill(records.data(), 150);
    EXPECT_EQ(100, list.GetCount());
    EXPECT_EQ("1099", list.GetAt(99).SerialNumber);
    std::string line;
    EXPECT_FALSE(list.FormatDisplayLine("1100", line));
    list.FillTokenCombo(combo);
    EXPECT_EQ(100, combo.GetCount());
}

TEST_F(TokenListTest, ACountBelowOneIsAnEmptyList)
{
    const TOKENRECORD records[] = {Record("1", "a")};
    list.Fill(records, 1);
    list.Fill(records, -3);
    EXPECT_EQ(0, list.GetCount());
    std::string line = "x";
    EXPECT_FALSE(list.FormatDisplayLine("1", line));
    EXPECT_EQ("", line);
}
