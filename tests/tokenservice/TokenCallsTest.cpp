#include "Clock.h"
#include "TokenDatabase.h"
#include "Totp.h"

#include "TempDir.h"
#include "TokenFixtures.h"

#include <tokapi.h>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <vector>

namespace {

using ::testing::HasSubstr;

constexpr std::int64_t kNow = 1111111109;

std::string ExpectedCode(TotpParameters parameters, std::int64_t time)
{
    char code[9];
    FormatTotpCode(TotpCode(RfcSeed(), parameters, time), parameters.digits, code);
    return code;
}

// The six calls as the program makes them, on a private database and a fixed clock.
class TokenCallsTest : public ::testing::Test {
protected:
    TokenCallsTest()
    {
        Clock::SetSourceForTesting([this] { return m_now; });
    }
    ~TokenCallsTest() override
    {
        if (m_handle != 0)
            CloseTokenService(m_handle);
        Clock::SetSourceForTesting({});
    }

    void AddTokens(std::initializer_list<StoredToken> tokens)
    {
        TokenFailure failure;
        for (const auto& token : tokens)
            ASSERT_TRUE(m_database.Add(token, failure)) << failure.explanation;
    }

    void Open() { ASSERT_EQ(OpenTokenService(&m_handle), 1); }

    TOKENERROR Error(TOKEN_HANDLE handle)
    {
        TOKENERROR error;
        std::memset(&error, 0x55, sizeof error);
        GetTokenError(handle, &error);
        return error;
    }

    std::vector<TOKENRECORD> Enumerate()
    {
        std::uint32_t count = 0;
        std::uint32_t size = 0;
        EnumToken(m_handle, &count, nullptr, nullptr, &size);
        std::vector<TOKENRECORD> records(count);
        size = count * static_cast<std::uint32_t>(sizeof(TOKENRECORD));
        EXPECT_EQ(EnumToken(m_handle, &count, nullptr, records.data(), &size), 1);
        EXPECT_EQ(count, records.size());
        return records;
    }

    struct Passcodes {
        int result;
        char passcode[TOKEN_PASSCODE_SIZE];
        char next[TOKEN_PASSCODE_SIZE];
        char noPin[TOKEN_PASSCODE_SIZE];
        char reserved[TOKEN_PASSCODE_SIZE];
    };

    Passcodes Passcode(const char* pin)
    {
        Passcodes out;
        std::memset(&out, 'X', sizeof out);
        out.result = GetPasscode(m_handle, pin, out.passcode, out.next, out.noPin, out.reserved);
        return out;
    }

    TempDir m_dir;
    TokenDatabase m_database{TokenDatabase::DefaultPath()};
    TOKEN_HANDLE m_handle = 0;
    std::int64_t m_now = kNow;
};

TEST_F(TokenCallsTest, RecordsCarryTheTextsAtTheirOffsets)
{
    AddTokens({MakeToken("SERIAL_FREE_23_BYTES_XY", std::string(47, 'u')), MakeToken("P1", "pat", "pass")});
    Open();
    const auto records = Enumerate();
    ASSERT_EQ(records.size(), 2u);
    const auto* bytes = reinterpret_cast<const char*>(records.data());
    EXPECT_STREQ(bytes + 4, "SERIAL_FREE_23_BYTES_XY");
    EXPECT_STREQ(bytes + 28, std::string(47, 'u').c_str());
    EXPECT_STREQ(bytes + 76, "NONE");
    EXPECT_STREQ(bytes + 124 + 4, "P1");
    EXPECT_STREQ(bytes + 124 + 28, "pat");
    EXPECT_STREQ(bytes + 124 + 76, "PASSWORD");
}

TEST_F(TokenCallsTest, EnumTokenCountsFillsAndRefusesASmallBuffer)
{
    AddTokens({MakeToken("A1", "alice"), MakeToken("B2", "bob"), MakeToken("C3", "carol")});
    Open();
    std::uint32_t count = 0;
    std::uint32_t size = 0;
    EnumToken(m_handle, &count, nullptr, nullptr, &size);
    EXPECT_EQ(count, 3u);

    std::vector<TOKENRECORD> records(3);
    size = 2 * sizeof(TOKENRECORD);
    count = 0;
    EXPECT_EQ(EnumToken(m_handle, &count, nullptr, records.data(), &size), 0);
    const TOKENERROR error = Error(m_handle);
    EXPECT_STREQ(error.szFirst, "Buffer too small");
    EXPECT_STRNE(error.szSecond, "");

    size = 3 * sizeof(TOKENRECORD);
    EXPECT_EQ(EnumToken(m_handle, &count, nullptr, records.data(), &size), 1);
    EXPECT_EQ(count, 3u);
    EXPECT_STREQ(records[2].szSerialNumber, "C3");
}

TEST_F(TokenCallsTest, AMissingDatabaseOpensEmpty)
{
    Open();
    std::uint32_t count = 99;
    std::uint32_t size = 0;
    EnumToken(m_handle, &count, nullptr, nullptr, &size);
    EXPECT_EQ(count, 0u);
    EXPECT_FALSE(PathExists(m_database.Path()));
}

TEST_F(TokenCallsTest, ReportsAllOfMoreThanAHundredTokens)
{
    for (int i = 0; i < 130; ++i)
        AddTokens({MakeToken("T" + std::to_string(i), "user" + std::to_string(i))});
    Open();
    const auto records = Enumerate();
    ASSERT_EQ(records.size(), 130u);
    EXPECT_STREQ(records[129].szSerialNumber, "T129");
    EXPECT_STREQ(records[129].szUserName, "user129");
}

TEST_F(TokenCallsTest, ACorruptDatabaseFailsToOpenNamingTheFile)
{
    std::filesystem::create_directories(m_dir.Path() + "/data/kelvane");
    WriteFile(m_database.Path(), "this is not a database, just some text that happens to be here");
    TOKEN_HANDLE handle = 7;
    EXPECT_EQ(OpenTokenService(&handle), 0);
    EXPECT_EQ(handle, 0u);
    const TOKENERROR error = Error(handle);
    EXPECT_STREQ(error.szFirst, "Token database damaged");
    EXPECT_THAT(error.szSecond, HasSubstr("kelvane/tokens.db"));
}

TEST_F(TokenCallsTest, SelectingAnUnknownSerialFailsWithTexts)
{
    AddTokens({MakeToken("A1", "alice")});
    Open();
    EXPECT_EQ(SelectToken(m_handle, "B2", "", ""), 0);
    const TOKENERROR error = Error(m_handle);
    EXPECT_STREQ(error.szFirst, "Unknown token");
    EXPECT_THAT(error.szSecond, HasSubstr("B2"));
}

TEST_F(TokenCallsTest, AProtectedTokenNeedsItsPassphrase)
{
    AddTokens({MakeToken("P1", "pat", "open sesame")});
    Open();
    EXPECT_EQ(SelectToken(m_handle, "P1", "", ""), 0);
    EXPECT_STREQ(Error(m_handle).szFirst, "Passphrase required");
    EXPECT_EQ(SelectToken(m_handle, "P1", "", "open sesamE"), 0);
    EXPECT_STREQ(Error(m_handle).szFirst, "Wrong passphrase");
    EXPECT_THAT(Error(m_handle).szSecond, HasSubstr("P1"));
    EXPECT_EQ(SelectToken(m_handle, "P1", "", "open sesame"), 1);
    EXPECT_EQ(Passcode("").passcode, ExpectedCode({TotpAlgorithm::Sha1, 6, 60}, kNow));
}

TEST_F(TokenCallsTest, AnUnprotectedTokenSelectsWithAnEmptyPassphrase)
{
    AddTokens({MakeToken("A1", "alice")});
    Open();
    EXPECT_EQ(SelectToken(m_handle, "A1", "", ""), 1);
}

TEST_F(TokenCallsTest, PasscodesArePinAndCurrentCodeThenPinAndNextCode)
{
    AddTokens({MakeToken("A8", "alice", {}, {TotpAlgorithm::Sha1, 8, 30})});
    Open();
    ASSERT_EQ(SelectToken(m_handle, "A8", "", ""), 1);
    // RFC 6238: 07081804 at 1111111109 and 14050471 at 1111111111, the next 30-second step.
    const Passcodes out = Passcode("12345678");
    EXPECT_EQ(out.result, 1);
    EXPECT_STREQ(out.passcode, "1234567807081804");
    EXPECT_STREQ(out.next, "1234567814050471");
    EXPECT_STREQ(out.noPin, "07081804");
    EXPECT_STREQ(out.reserved, "");
}

TEST_F(TokenCallsTest, TheCodesFollowTheClock)
{
    AddTokens({MakeToken("A1", "alice")});
    Open();
    ASSERT_EQ(SelectToken(m_handle, "A1", "", ""), 1);
    const Passcodes before = Passcode("");
    m_now += 60;
    const Passcodes after = Passcode("");
    EXPECT_STREQ(after.passcode, before.next);
    EXPECT_STRNE(after.passcode, before.passcode);
}

TEST_F(TokenCallsTest, PasscodeWithoutASelectedTokenFailsWithEmptyOutputs)
{
    AddTokens({MakeToken("A1", "alice")});
    Open();
    Passcodes out = Passcode("1234");
    EXPECT_EQ(out.result, 0);
    EXPECT_STREQ(Error(m_handle).szFirst, "No token selected");
    for (const char* output : {out.passcode, out.next, out.noPin, out.reserved})
        EXPECT_STREQ(output, "");

    // A failed selection drops the token selected before it.
    ASSERT_EQ(SelectToken(m_handle, "A1", "", ""), 1);
    ASSERT_EQ(SelectToken(m_handle, "B2", "", ""), 0);
    out = Passcode("1234");
    EXPECT_EQ(out.result, 0);
    EXPECT_STREQ(out.passcode, "");
}

TEST_F(TokenCallsTest, APinThatWouldOverflowTheOutputsFails)
{
    AddTokens({MakeToken("A8", "alice", {}, {TotpAlgorithm::Sha1, 8, 30})});
    Open();
    ASSERT_EQ(SelectToken(m_handle, "A8", "", ""), 1);
    EXPECT_EQ(Passcode("123456789012").result, 1);
    const Passcodes out = Passcode("1234567890123");
    EXPECT_EQ(out.result, 0);
    EXPECT_STREQ(out.passcode, "");
    EXPECT_STREQ(out.noPin, "");
    EXPECT_STREQ(Error(m_handle).szFirst, "PIN too long");
}

TEST_F(TokenCallsTest, ErrorTextsStayInsideTheirFields)
{
    Open();
    const std::string longSerial(300, 'S');
    EXPECT_EQ(SelectToken(m_handle, longSerial.c_str(), "", ""), 0);
    const TOKENERROR error = Error(m_handle);
    EXPECT_LT(std::strlen(error.szFirst), sizeof error.szFirst);
    EXPECT_LT(std::strlen(error.szSecond), sizeof error.szSecond);
    EXPECT_THAT(error.szSecond, ::testing::StartsWith("No token has serial number SSSS"));
    EXPECT_EQ(error.dwReserved, 0u);
}

TEST_F(TokenCallsTest, AClosedHandleNoLongerWorks)
{
    AddTokens({MakeToken("A1", "alice")});
    Open();
    ASSERT_EQ(SelectToken(m_handle, "A1", "", ""), 1);
    EXPECT_EQ(CloseTokenService(m_handle), 1);
    EXPECT_EQ(Passcode("").result, 0);
    EXPECT_EQ(CloseTokenService(m_handle), 0);
    EXPECT_STREQ(Error(m_handle).szFirst, "Invalid handle");
    m_handle = 0;
}

TEST_F(TokenCallsTest, TwoHandlesKeepTheirOwnSelection)
{
    AddTokens({MakeToken("A1", "alice"), MakeToken("A8", "alice", {}, {TotpAlgorithm::Sha1, 8, 30})});
    Open();
    TOKEN_HANDLE other = 0;
    ASSERT_EQ(OpenTokenService(&other), 1);
    EXPECT_NE(other, m_handle);
    ASSERT_EQ(SelectToken(m_handle, "A1", "", ""), 1);
    ASSERT_EQ(SelectToken(other, "A8", "", ""), 1);
    EXPECT_EQ(Passcode("").passcode, ExpectedCode({TotpAlgorithm::Sha1, 6, 60}, kNow));
    CloseTokenService(other);
}

} // namespace
