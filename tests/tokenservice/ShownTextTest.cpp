#include "ShownText.h"

#include <gtest/gtest.h>

namespace {

TEST(ShownTextTest, AllowsUtf8TextWithoutControlCharacters)
{
    for (const char* text :
         {"", "Dialup", "Einwahl f\xc3\xbcr alle", "\xc2\xa0nbsp", "\xe2\x82\xac", "\xf0\x9f\x93\x9e", "DOMAIN\\user"})
        EXPECT_EQ(ShownText::Check("the issuer", text), "") << text;
}

TEST(ShownTextTest, NamesTheFieldAndTheControlCharacter)
{
    EXPECT_EQ(ShownText::Check("the issuer", "a\x1b[2J"),
              "the issuer may not contain control characters (it has U+001B)");
    EXPECT_EQ(ShownText::Check("the issuer", std::string("a\0b", 3)),
              "the issuer may not contain control characters (it has U+0000)");
    EXPECT_EQ(ShownText::Check("the issuer", "\t"), "the issuer may not contain control characters (it has U+0009)");
    EXPECT_EQ(ShownText::Check("the issuer", "a\x7f"), "the issuer may not contain control characters (it has U+007F)");
    EXPECT_EQ(ShownText::Check("the issuer", "a\xc2\x80"),
              "the issuer may not contain control characters (it has U+0080)");
    EXPECT_EQ(ShownText::Check("the issuer", "a\xc2\x9f"),
              "the issuer may not contain control characters (it has U+009F)");
}

TEST(ShownTextTest, RefusesWhatIsNotUtf8)
{
    for (const char* text :
         {"\x9b", "a\xe9z", "\xc0\xaf", "\xe0\x80\xaf", "\xed\xa0\x80", "\xf4\x90\x80\x80", "\xc3", "\xe2\x82", "\xff"})
        EXPECT_EQ(ShownText::Check("the issuer", text), "the issuer is not UTF-8 text") << text;
}

TEST(ShownTextTest, EscapesControlCharactersAndStrayBytesOnly)
{
    EXPECT_EQ(ShownText::Escaped("Dialup f\xc3\xbcr DOMAIN\\user"), "Dialup f\xc3\xbcr DOMAIN\\user");
    EXPECT_EQ(ShownText::Escaped("\x1b]0;x\x07\r\n\x7f"), "\\x1b]0;x\\x07\\x0d\\x0a\\x7f");
    EXPECT_EQ(ShownText::Escaped("a\xc2\x9b"
                                 "b"),
              "a\\xc2\\x9bb");
    EXPECT_EQ(ShownText::Escaped("a\x9b"
                                 "b\xe9\xc3\xa9"),
              "a\\x9bb\\xe9\xc3\xa9");
    EXPECT_EQ(ShownText::Escaped(std::string("\0", 1)), "\\x00");
}

// Each bidirectional control and the characters beside it, and a C1 control: as the token rules
// take them, as lists and .reg files show them, and as the phonebook finds them.
TEST(ShownTextTest, BidirectionalControlsAreRefusedEscapedAndFoundLikeControlCharacters)
{
    const struct {
        const char* text;
        const char* escaped;
        bool control;
    } cases[] = {{"\xe2\x80\x8e", "\\xe2\\x80\\x8e", true}, {"\xe2\x80\x8f", "\\xe2\\x80\\x8f", true},
                 {"\xe2\x80\xaa", "\\xe2\\x80\\xaa", true}, {"\xe2\x80\xae", "\\xe2\\x80\\xae", true},
                 {"\xe2\x81\xa6", "\\xe2\\x81\\xa6", true}, {"\xe2\x81\xa9", "\\xe2\\x81\\xa9", true},
                 {"\xc2\x85", "\\xc2\\x85", true},          {"\xe2\x80\x8d", "\xe2\x80\x8d", false},
                 {"\xe2\x80\x90", "\xe2\x80\x90", false},   {"\xe2\x80\xa9", "\xe2\x80\xa9", false},
                 {"\xe2\x80\xaf", "\xe2\x80\xaf", false},   {"\xe2\x81\xa5", "\xe2\x81\xa5", false},
                 {"\xe2\x81\xaa", "\xe2\x81\xaa", false}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.escaped);
        EXPECT_EQ(ShownText::Check("the issuer", c.text).empty(), !c.control);
        EXPECT_EQ(ShownText::Escaped(c.text), c.escaped);
        EXPECT_EQ(ShownText::HasControls(std::string("a ") + c.text + " b"), c.control);
    }
    EXPECT_EQ(ShownText::Check("the issuer", "a\xe2\x80\xae"),
              "the issuer may not contain bidirectional controls (it has U+202E)");
}

} // namespace
