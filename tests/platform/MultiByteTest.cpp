#include <platform/MultiByte.h>

#include <gtest/gtest.h>

#include <clocale>

TEST(UpperCaseMultiByte, UpperCasesAsciiAndUtf8)
{
    EXPECT_EQ("/HOME/ANN/LOGIN.SCP", UpperCaseMultiByte("/home/ann/login.scp"));
    EXPECT_EQ("ÄÖÜ-ÉTÉ 123 ΣΟΦΊΑ", UpperCaseMultiByte("äöü-été 123 σοφία"));
    EXPECT_EQ("", UpperCaseMultiByte(""));
}

TEST(UpperCaseMultiByte, KeepsInvalidBytes)
{
    const std::string invalid = "ab\xff\xc3(z\xe2\x82";
    EXPECT_EQ("AB\xff\xc3(Z\xe2\x82", UpperCaseMultiByte(invalid));
}

TEST(UpperCaseMultiByte, IgnoresTheProcessLocale)
{
    const std::string previous = std::setlocale(LC_CTYPE, nullptr);
    std::setlocale(LC_CTYPE, "C");
    EXPECT_EQ("ÅSA", UpperCaseMultiByte("åsa"));
    std::setlocale(LC_CTYPE, previous.c_str());
}
