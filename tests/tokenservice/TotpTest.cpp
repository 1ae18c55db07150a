#include "Totp.h"

#include <gtest/gtest.h>

#include <array>
#include <cstdio>
#include <string>

namespace {

std::vector<unsigned char> Bytes(const std::string& text)
{
    return {text.begin(), text.end()};
}

// The RFC 6238 test seeds: "1234567890" repeated to the digest size.
std::vector<unsigned char> RfcSeed(TotpAlgorithm algorithm)
{
    const std::string ten = "1234567890";
    switch (algorithm) {
    case TotpAlgorithm::Sha256:
        return Bytes(ten + ten + ten + "12");
    case TotpAlgorithm::Sha512:
        return Bytes(ten + ten + ten + ten + ten + ten + "1234");
    case TotpAlgorithm::Sha1:
        break;
    }
    return Bytes(ten + ten);
}

std::string Code(const std::vector<unsigned char>& seed, const TotpParameters& parameters, std::int64_t time,
                 int stepOffset = 0)
{
    std::array<char, 9> text{};
    FormatTotpCode(TotpCode(seed, parameters, time, stepOffset), parameters.digits, text.data());
    return text.data();
}

struct RfcVector {
    std::int64_t time;
    const char* sha1;
    const char* sha256;
    const char* sha512;
};

// RFC 6238, appendix B.
constexpr RfcVector kRfcVectors[] = {
    {59, "94287082", "46119246", "90693936"},
    {1111111109, "07081804", "68084774", "25091201"},
    {1111111111, "14050471", "67062674", "99943326"},
    {1234567890, "89005924", "91819424", "93441116"},
    {2000000000, "69279037", "90698825", "38618901"},
    {20000000000, "65353130", "77737706", "47863826"},
};

TEST(TotpTest, MatchesTheRfc6238Vectors)
{
    for (const auto& vector : kRfcVectors) {
        SCOPED_TRACE(vector.time);
        EXPECT_EQ(Code(RfcSeed(TotpAlgorithm::Sha1), {TotpAlgorithm::Sha1, 8, 30}, vector.time), vector.sha1);
        EXPECT_EQ(Code(RfcSeed(TotpAlgorithm::Sha256), {TotpAlgorithm::Sha256, 8, 30}, vector.time),
                  vector.sha256);
        EXPECT_EQ(Code(RfcSeed(TotpAlgorithm::Sha512), {TotpAlgorithm::Sha512, 8, 30}, vector.time),
                  vector.sha512);
    }
}

TEST(TotpTest, NextStepIsTheCodeOneStepLaterAndTheStepHoldsItsWholePeriod)
{
    const auto seed = RfcSeed(TotpAlgorithm::Sha1);
    const TotpParameters parameters{TotpAlgorithm::Sha1, 6, 60};
    EXPECT_EQ(Code(seed, parameters, 1200, 1), Code(seed, parameters, 1260));
    EXPECT_EQ(Code(seed, parameters, 1200), Code(seed, parameters, 1259));
    EXPECT_NE(Code(seed, parameters, 1259), Code(seed, parameters, 1260));
}

TEST(TotpTest, ShorterCodesAreTheLowDigitsWithLeadingZerosKept)
{
    const auto seed = RfcSeed(TotpAlgorithm::Sha1);
    // 07081804 at 1111111109: six digits give 081804, seven 7081804.
    EXPECT_EQ(Code(seed, {TotpAlgorithm::Sha1, 6, 30}, 1111111109), "081804");
    EXPECT_EQ(Code(seed, {TotpAlgorithm::Sha1, 7, 30}, 1111111109), "7081804");
}

TEST(TotpTest, AlgorithmNamesParseInAnyCase)
{
    EXPECT_EQ(ParseTotpAlgorithm("sha256"), TotpAlgorithm::Sha256);
    EXPECT_EQ(ParseTotpAlgorithm("SHA512"), TotpAlgorithm::Sha512);
    EXPECT_EQ(ParseTotpAlgorithm("Sha1"), TotpAlgorithm::Sha1);
    EXPECT_FALSE(ParseTotpAlgorithm("MD5"));
    EXPECT_FALSE(ParseTotpAlgorithm("SHA"));
    EXPECT_FALSE(ParseTotpAlgorithm(""));
}

std::string Hex(const std::vector<unsigned char>& bytes)
{
    std::string text;
    char pair[3];
    for (unsigned char byte : bytes) {
        std::snprintf(pair, sizeof pair, "%02x", byte);
        text += pair;
    }
    return text;
}

// oathtool's code for the same token, or empty when it cannot be run.
std::string OathtoolCode(const std::vector<unsigned char>& seed, const TotpParameters& parameters,
                         std::int64_t time)
{
    const std::string command = std::string("oathtool --totp=") + TotpAlgorithmName(parameters.algorithm) +
                                " -d " + std::to_string(parameters.digits) + " -s " +
                                std::to_string(parameters.period) + " -N @" + std::to_string(time) + " " +
                                Hex(seed) + " 2>/dev/null";
    FILE* pipe = ::popen(command.c_str(), "r");
    if (pipe == nullptr)
        return {};
    char line[32] = {};
    const bool read = std::fgets(line, sizeof line, pipe) != nullptr;
    ::pclose(pipe);
    std::string code = read ? line : "";
    while (!code.empty() && code.back() == '\n')
        code.pop_back();
    return code;
}

TEST(TotpTest, AgreesWithOathtool)
{
    if (std::system("command -v oathtool >/dev/null 2>&1") != 0)
        GTEST_SKIP() << "oathtool is not installed";
    const std::vector<unsigned char> seed = {0x3a, 0x91, 0x07, 0xee, 0x52, 0x00, 0x18, 0xc4, 0x7b, 0x66,
                                             0x0d, 0xf3, 0x29, 0x84, 0xb5, 0x40, 0x11, 0x9e, 0xd2, 0x6c};
    for (auto algorithm : {TotpAlgorithm::Sha1, TotpAlgorithm::Sha256, TotpAlgorithm::Sha512})
        for (int digits : {6, 8})
            for (int period : {30, 60})
                for (std::int64_t time : {0LL, 1700000029LL, 1700000030LL, 1765000000LL}) {
                    const TotpParameters parameters{algorithm, digits, period};
                    SCOPED_TRACE(std::string(TotpAlgorithmName(algorithm)) + " " + std::to_string(digits) +
                                 " " + std::to_string(period) + " " + std::to_string(time));
                    EXPECT_EQ(Code(seed, parameters, time), OathtoolCode(seed, parameters, time));
                }
}

} // namespace
