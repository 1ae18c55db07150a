#include "OtpAuthUri.h"

#include <gtest/gtest.h>

#include <string>

namespace {

std::string SeedText(const OtpAuthUri& link)
{
    return {link.seed.begin(), link.seed.end()};
}

TEST(OtpAuthUriTest, ReadsEveryParameter)
{
    std::string error;
    const auto link = OtpAuthUri::Parse("otpauth://totp/Dial%20Up:alice%40example.org?secret=MZXW6YTBOI&"
                                        "issuer=Dial%20Up&algorithm=SHA512&digits=8&period=60&image=x",
                                        error);
    ASSERT_TRUE(link) << error;
    EXPECT_EQ(SeedText(*link), "foobar");
    EXPECT_EQ(link->issuer, "Dial Up");
    EXPECT_EQ(link->account, "alice@example.org");
    EXPECT_EQ(link->parameters.algorithm, TotpAlgorithm::Sha512);
    EXPECT_EQ(link->parameters.digits, 8);
    EXPECT_EQ(link->parameters.period, 60);
}

TEST(OtpAuthUriTest, LeftOutParametersTakeTheLinkFormatDefaults)
{
    std::string error;
    const auto link = OtpAuthUri::Parse("otpauth://totp/bob?secret=mzxw6ytboi", error);
    ASSERT_TRUE(link) << error;
    EXPECT_EQ(link->account, "bob");
    EXPECT_EQ(link->issuer, "");
    EXPECT_EQ(link->parameters.algorithm, TotpAlgorithm::Sha1);
    EXPECT_EQ(link->parameters.digits, 6);
    EXPECT_EQ(link->parameters.period, 30);
}

TEST(OtpAuthUriTest, TakesIssuerAndAccountOfSixtyFourBytesInUtf8)
{
    std::string error;
    const std::string issuer(64, 'i');
    const std::string account = "J\xc3\xbcrgen" + std::string(57, 'a'); // "Jürgen...": 64 bytes
    const auto link = OtpAuthUri::Parse(
        "otpauth://totp/x:J%C3%BCrgen" + std::string(57, 'a') + "?secret=MZXW6YTBOI&issuer=" + issuer, error);
    ASSERT_TRUE(link) << error;
    EXPECT_EQ(link->issuer, issuer);
    EXPECT_EQ(link->account, account);
    EXPECT_EQ(link->account.size(), 64u);
}

TEST(OtpAuthUriTest, RefusesBrokenLinksWithAReason)
{
    const char* broken[] = {
        "otpauth://hotp/bob?secret=MZXW6YTBOI&counter=1",
        "https://totp/bob?secret=MZXW6YTBOI",
        "otpauth://totp/bob",
        "otpauth://totp/bob?issuer=x",
        "otpauth://totp/bob?secret=MZXW1YTBOI",
        "otpauth://totp/bob?secret=",
        "otpauth://totp/bob?secret=MZXW6YTBOI&algorithm=MD5",
        "otpauth://totp/bob?secret=MZXW6YTBOI&digits=9",
        "otpauth://totp/bob?secret=MZXW6YTBOI&digits=6x",
        "otpauth://totp/bob?secret=MZXW6YTBOI&period=45",
        "otpauth://totp/b%4?secret=MZXW6YTBOI",
        // Issuer and account name: at most 64 bytes, UTF-8, no C0, DEL or C1.
        "otpauth://totp/bob?secret=MZXW6YTBOI&issuer=iiiiiiiiiiiiiiiiiiiiiiiiiiiiiiiiiiiiiiiiiiiiiiiiiiiiiiiiiiiiiiiii",
        "otpauth://totp/iiiiiiiiiiiiiiiiiiiiiiiiiiiiiiiiiiiiiiiiiiiiiiiiiiiiiiiiiiiiiiiii:bob?secret=MZXW6YTBOI",
        "otpauth://totp/aaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaa?secret=MZXW6YTBOI",
        "otpauth://totp/bob?secret=MZXW6YTBOI&issuer=a%1Bb",
        "otpauth://totp/bob?secret=MZXW6YTBOI&issuer=a%7Fb",
        "otpauth://totp/bob?secret=MZXW6YTBOI&issuer=a%C2%9Bb",
        "otpauth://totp/bob?secret=MZXW6YTBOI&issuer=a%FFb",
        "otpauth://totp/x:b%0Aob?secret=MZXW6YTBOI",
        "otpauth://totp/x:b%C2%85ob?secret=MZXW6YTBOI",
    };
    for (const char* uri : broken) {
        SCOPED_TRACE(uri);
        std::string error;
        EXPECT_FALSE(OtpAuthUri::Parse(uri, error));
        EXPECT_FALSE(error.empty());
    }
}

} // namespace
