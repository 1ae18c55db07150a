#include <loginrun/Placeholders.h>

#include <gtest/gtest.h>

namespace {

const PlaceholderValues kValues{"P1", "N2", "C3", "4444", "SER5", "ann"};

std::string Replaced(std::string line, const PlaceholderValues& values = kValues)
{
    ReplacePlaceholders(line, values);
    return line;
}

} // namespace

TEST(ReplacePlaceholder, ReplacesOnlyTheFirstOccurrence)
{
    std::string line = "#$PASSCODE#$ #$PASSCODE#$";
    ReplacePlaceholder(line, Placeholder::Passcode, kValues);
    EXPECT_EQ("P1 #$PASSCODE#$", line);

    line = "no placeholder here";
    ReplacePlaceholder(line, Placeholder::Passcode, kValues);
    EXPECT_EQ("no placeholder here", line);
}

TEST(ReplacePlaceholder, KeepsTheTextAroundIt)
{
    EXPECT_EQ("P1", Replaced("#$PASSCODE#$"));
    EXPECT_EQ("P1 tail", Replaced("#$PASSCODE#$ tail"));
    EXPECT_EQ("send P1", Replaced("send #$PASSCODE#$"));
    EXPECT_EQ("xP1y", Replaced("x#$PASSCODE#$y"));
    EXPECT_EQ("#P1", Replaced("##$PASSCODE#$"));
    EXPECT_EQ("", Replaced(""));
}

TEST(ReplacePlaceholders, FillsAllSixInOneLine)
{
    EXPECT_EQ("P1|N2|C3|4444|SER5|ann",
              Replaced("#$PASSCODE#$|#$NEXT_PASSCODE#$|#$PASSCODE_NO_PIN#$|#$NEW_PIN#$|#$SERIAL_NUM#$|#$USER_NAME#$"));
}

TEST(ReplacePlaceholders, MatchesExactlyAndCaseSensitively)
{
    EXPECT_EQ("#$passcode#$ #PASSCODE#$ $PASSCODE#$ #$PASSCODE#",
              Replaced("#$passcode#$ #PASSCODE#$ $PASSCODE#$ #$PASSCODE#"));
}

TEST(ReplacePlaceholders, LaterPlaceholdersSearchEarlierValuesButNotTheReverse)
{
    const PlaceholderValues values{"[#$NEW_PIN#$]", "N", "C", "[#$PASSCODE#$]", "S", "[#$USER_NAME#$]"};
    // The passcode's value holds "#$NEW_PIN#$", which is replaced after it; the PIN's value holds
    // "#$PASSCODE#$", which has already been done; the user name is never searched.
    EXPECT_EQ("[[#$PASSCODE#$]] [#$USER_NAME#$]", Replaced("#$PASSCODE#$ #$USER_NAME#$", values));
}

TEST(ReplacePlaceholders, EmptyValuesRemoveThePlaceholders)
{
    EXPECT_EQ("user  end", Replaced("user #$USER_NAME#$ end", PlaceholderValues{}));
}
