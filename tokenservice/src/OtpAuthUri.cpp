#include "OtpAuthUri.h"

#include "Base32.h"
#include "ShownText.h"
#include "TokenRules.h"

#include <charconv>
#include <strings.h>

namespace {

constexpr std::string_view kPrefix = "otpauth://totp/";
constexpr int kUriDefaultPeriod = 30;

int HexValue(char c)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return -1;
}

// Appends the decoded `text` to `out`; false on a broken escape. Query values may write a
// space as '+'; the label may not.
template <typename Output>
bool PercentDecode(std::string_view text, Output& out, bool plusIsSpace)
{
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] != '%') {
            out.push_back(plusIsSpace && text[i] == '+' ? ' ' : text[i]);
            continue;
        }
        const int high = i + 2 < text.size() ? HexValue(text[i + 1]) : -1;
        const int low = high >= 0 ? HexValue(text[i + 2]) : -1;
        if (low < 0)
            return false;
        out.push_back(static_cast<char>(high * 16 + low));
        i += 2;
    }
    return true;
}

bool ParseNumber(std::string_view text, int& value)
{
    const auto [end, status] = std::from_chars(text.data(), text.data() + text.size(), value);
    return status == std::errc() && end == text.data() + text.size();
}

bool StartsWithIgnoringCase(std::string_view text, std::string_view prefix)
{
    return text.size() >= prefix.size() && ::strncasecmp(text.data(), prefix.data(), prefix.size()) == 0;
}

class UriParser {
public:
    explicit UriParser(std::string& error) : m_error(error) {}

    std::optional<OtpAuthUri> Parse(std::string_view uri)
    {
        if (!ParseAll(uri))
            return std::nullopt;
        return std::move(m_result);
    }

private:
    bool Fail(std::string text)
    {
        m_error = std::move(text);
        return false;
    }

    bool ParseAll(std::string_view uri)
    {
        if (!StartsWithIgnoringCase(uri, kPrefix))
            return Fail("the link does not start with otpauth://totp/");
        uri.remove_prefix(kPrefix.size());
        const std::size_t query = uri.find('?');
        if (query == std::string_view::npos)
            return Fail("the link has no secret");
        if (!ParseLabel(uri.substr(0, query)))
            return false;
        for (std::string_view rest = uri.substr(query + 1); !rest.empty();) {
            const std::size_t end = rest.find('&');
            if (!ParseParameter(rest.substr(0, end)))
                return false;
            rest = end == std::string_view::npos ? std::string_view() : rest.substr(end + 1);
        }
        if (!m_haveSecret)
            return Fail("the link has no secret");
        return CheckShown("the link's issuer", m_result.issuer, TokenRules::kMaxIssuer) &&
               CheckShown("the link's account name", m_result.account, TokenRules::kMaxAccount);
    }

    // Issuer and account name end up on screens: bounded, and without control characters or
    // bidirectional controls.
    bool CheckShown(const std::string& what, std::string_view text, std::size_t limit)
    {
        if (text.size() > limit)
            return Fail(what + " is longer than " + std::to_string(limit) + " bytes");
        std::string problem = ShownText::Check(what, text);
        return problem.empty() || Fail(std::move(problem));
    }

    bool ParseLabel(std::string_view label)
    {
        std::string decoded;
        if (!PercentDecode(label, decoded, false))
            return Fail("the link's label has a broken %-escape");
        const std::size_t colon = decoded.find(':');
        m_result.account = colon == std::string::npos ? decoded : decoded.substr(colon + 1);
        m_result.issuer = colon == std::string::npos ? std::string() : decoded.substr(0, colon);
        while (!m_result.account.empty() && m_result.account.front() == ' ')
            m_result.account.erase(0, 1);
        return true;
    }

    bool ParseParameter(std::string_view parameter)
    {
        const std::size_t equals = parameter.find('=');
        const std::string_view key = parameter.substr(0, equals);
        const std::string_view value =
            equals == std::string_view::npos ? std::string_view() : parameter.substr(equals + 1);
        if (key == "secret")
            return ParseSecret(value);
        if (key == "algorithm")
            return ParseAlgorithm(value);
        if (key == "digits")
            return ParseLimited(value, m_result.parameters.digits, TokenRules::CheckDigits);
        if (key == "period")
            return ParseLimited(value, m_result.parameters.period, TokenRules::CheckPeriod);
        if (key == "issuer")
            return ParseIssuer(value);
        return true; // Other parameters (an image, say) do not change the codes.
    }

    bool ParseSecret(std::string_view value)
    {
        SecretBytes text;
        if (!PercentDecode(value, text, true))
            return Fail("the link's secret has a broken %-escape");
        auto seed = DecodeBase32(std::string_view(reinterpret_cast<const char*>(text.data()), text.size()));
        if (!seed || seed->empty())
            return Fail("the link's secret is not valid base32");
        m_result.seed = std::move(*seed);
        m_haveSecret = true;
        return true;
    }

    bool ParseIssuer(std::string_view value)
    {
        m_result.issuer.clear();
        return PercentDecode(value, m_result.issuer, true) || Fail("the link's issuer has a broken %-escape");
    }

    bool ParseAlgorithm(std::string_view value)
    {
        const auto algorithm = ParseTotpAlgorithm(value);
        if (!algorithm)
            return Fail("unknown algorithm \"" + std::string(value) + "\" (SHA1, SHA256 or SHA512)");
        m_result.parameters.algorithm = *algorithm;
        return true;
    }

    bool ParseLimited(std::string_view value, int& target, std::string (*check)(int))
    {
        int number = 0;
        std::string problem = ParseNumber(value, number) ? check(number) : check(-1);
        if (!problem.empty())
            return Fail(std::move(problem));
        target = number;
        return true;
    }

    std::string& m_error;
    OtpAuthUri m_result{{}, {TotpAlgorithm::Sha1, TokenRules::kDefaultDigits, kUriDefaultPeriod}, {}, {}};
    bool m_haveSecret = false;
};

} // namespace

std::optional<OtpAuthUri> OtpAuthUri::Parse(std::string_view uri, std::string& error)
{
    return UriParser(error).Parse(uri);
}
