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
    };
    for (const char* uri : broken) {
        SCOPED_TRACE(uri);
        std::string error;
        EXPECT_FALSE(OtpAuthUri::Parse(uri, error));
        EXPECT_FALSE(error.empty());
    }
}

} // namespace
