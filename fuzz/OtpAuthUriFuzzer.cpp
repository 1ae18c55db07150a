// Parses the fuzzer's bytes as an otpauth:// link. A link that parses must give a usable token
// (a seed, allowed digits and period, codes of that many digits), and a link written back from
// the result must parse to the same token.
#include "FuzzSupport.h"

#include "OtpAuthUri.h"
#include "TokenRules.h"

#include <cstdint>
#include <cstdio>
#include <string>
#include <string_view>

namespace {

void Require(bool condition, const std::string& what)
{
    ::Require(condition, "otpauth uri", what);
}

std::string PercentEncoded(std::string_view text)
{
    std::string encoded;
    for (const char c : text) {
        char escape[4];
        std::snprintf(escape, sizeof escape, "%%%02X", static_cast<unsigned char>(c));
        encoded += escape;
    }
    return encoded;
}

std::string Base32(const SecretBytes& bytes)
{
    constexpr std::string_view kAlphabet = "ABCDEFGHIJKLMNOPQRSTUVWXYZ234567";
    std::string text;
    unsigned buffer = 0;
    int bits = 0;
    for (const unsigned char byte : bytes) {
        buffer = (buffer << 8 | byte) & 0xfff;
        bits += 8;
        for (; bits >= 5; bits -= 5)
            text += kAlphabet[(buffer >> (bits - 5)) & 31];
    }
    if (bits > 0)
        text += kAlphabet[(buffer << (5 - bits)) & 31];
    return text;
}

// The label always names an issuer, so a ':' in the account stays in the account.
std::string LinkFor(const OtpAuthUri& token)
{
    return "otpauth://totp/x:" + PercentEncoded(token.account) + "?secret=" + Base32(token.seed) +
           "&issuer=" + PercentEncoded(token.issuer) + "&algorithm=" + TotpAlgorithmName(token.parameters.algorithm) +
           "&digits=" + std::to_string(token.parameters.digits) + "&period=" + std::to_string(token.parameters.period);
}

bool SameToken(const OtpAuthUri& a, const OtpAuthUri& b)
{
    return a.seed == b.seed && a.issuer == b.issuer && a.account == b.account &&
           a.parameters.algorithm == b.parameters.algorithm && a.parameters.digits == b.parameters.digits &&
           a.parameters.period == b.parameters.period;
}

void CheckToken(const OtpAuthUri& token)
{
    Require(!token.seed.empty(), "a link parsed without a seed");
    Require(TokenRules::CheckDigits(token.parameters.digits).empty(), "a link parsed with digits out of range");
    Require(TokenRules::CheckPeriod(token.parameters.period).empty(), "a link parsed with a period out of range");
    std::uint32_t limit = 1;
    for (int i = 0; i < token.parameters.digits; ++i)
        limit *= 10;
    Require(TotpCode(token.seed, token.parameters, 0) < limit, "a code has more digits than asked for");

    const std::string link = LinkFor(token);
    std::string error;
    const auto again = OtpAuthUri::Parse(link, error);
    Require(again.has_value(), "the link written for a token does not parse: " + error + "\n" + link);
    Require(SameToken(token, *again), "the link written for a token parses to another token:\n" + link);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    std::string error;
    const auto token = OtpAuthUri::Parse(std::string_view(reinterpret_cast<const char*>(data), size), error);
    if (token)
        CheckToken(*token);
    else
        Require(!error.empty(), "a refused link came without a reason");
    return 0;
}
