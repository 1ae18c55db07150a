#include "Base32.h"

#include <gtest/gtest.h>

#include <string>

namespace {

std::string Decoded(std::string_view text)
{
    const auto bytes = DecodeBase32(text);
    return bytes ? std::string(bytes->begin(), bytes->end()) : "<invalid>";
}

TEST(Base32Test, DecodesTheRfc4648Vectors)
{
    EXPECT_EQ(Decoded(""), "");
    EXPECT_EQ(Decoded("MY======"), "f");
    EXPECT_EQ(Decoded("MZXQ===="), "fo");
    EXPECT_EQ(Decoded("MZXW6==="), "foo");
    EXPECT_EQ(Decoded("MZXW6YQ="), "foob");
    EXPECT_EQ(Decoded("MZXW6YTB"), "fooba");
    EXPECT_EQ(Decoded("MZXW6YTBOI======"), "foobar");
}

TEST(Base32Test, AcceptsLowerCaseSpacesAndMissingPadding)
{
    EXPECT_EQ(Decoded("mzxw 6ytb oi"), "foobar");
    EXPECT_EQ(Decoded("MZXW6YTBOI"), "foobar");
}

TEST(Base32Test, RejectsForeignCharactersAndImpossibleLengths)
{
    EXPECT_EQ(Decoded("MZXW1YTB"), "<invalid>"); // '1' is not in the alphabet
    EXPECT_EQ(Decoded("MZXW6YT8"), "<invalid>");
    EXPECT_EQ(Decoded("MZ=XW6YTB"), "<invalid>"); // padding only at the end
    EXPECT_EQ(Decoded("M"), "<invalid>");
    EXPECT_EQ(Decoded("MZX"), "<invalid>");
    EXPECT_EQ(Decoded("MZXW6Y"), "<invalid>");
}

} // namespace
