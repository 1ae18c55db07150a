#include "TokenTool.h"

#include "Base32.h"
#include "Keyring.h"
#include "OtpAuthUri.h"
#include "QrLink.h"
#include "SecretPrompt.h"
#include "ShownText.h"
#include "TokenRules.h"
#include "TokenSession.h"
#include "UsageText.h"

#include <openssl/crypto.h>

#include <algorithm>
#include <charconv>
#include <cstdio>
#include <cstring>
#include <strings.h>
#include <unistd.h>

namespace {

const std::set<std::string> kValueOptions = {"user", "algorithm", "digits", "period", "qr"};
const std::set<std::string> kFlagOptions = {"protect", "keyring", "pin", "help", "version"};

// Options each command accepts, and how many operands it takes.
struct CommandShape {
    std::set<std::string> options;
    std::size_t fewestOperands;
    std::size_t mostOperands;
};

// import's second operand may only be "-", which says what leaving it out says: the seed or
// link comes from standard input.
const std::map<std::string, CommandShape> kCommands = {
    {"import", {{"user", "algorithm", "digits", "period", "protect", "keyring", "qr"}, 1, 2}},
    {"list", {{}, 0, 0}},
    {"remove", {{}, 1, 1}},
    {"code", {{"pin"}, 1, 1}},
};

// What import says to a seed or link given as an argument: safe forms, none of which puts the
// secret on a command line (printf is built into the shell, so no program is started with it).
constexpr const char* kSecretArgumentRefusal =
    "the seed or link may not be given as an argument: every user of this computer can read a\n"
    "command line. import reads it from standard input, or asks for it on the terminal without echo:\n"
    "    kelvane-token import [--user NAME] [--protect] SERIAL < FILE\n"
    "    kelvane-token import [--user NAME] [--protect] SERIAL\n"
    "    read -rs SEED; printf '%s\\n' \"$SEED\" | kelvane-token import [--user NAME] SERIAL\n"
    "(see kelvane-token --help)";

// Operands after import's SERIAL other than "-": a seed or link put on the command line.
std::vector<char*> SecretOperands(const ToolArguments& arguments)
{
    std::vector<char*> secrets;
    if (arguments.command != "import")
        return secrets;
    for (std::size_t i = 1; i < arguments.operands.size(); ++i)
        if (std::strcmp(arguments.operands[i], "-") != 0)
            secrets.push_back(arguments.operands[i]);
    return secrets;
}

std::string CheckShape(const ToolArguments& arguments)
{
    const auto command = kCommands.find(arguments.command);
    if (command == kCommands.end())
        return arguments.command.empty() ? "no command given" : "unknown command " + arguments.command;
    for (const auto& [name, value] : arguments.options)
        if (!command->second.options.contains(name))
            return arguments.command + " does not take --" + name;
    for (const auto& name : arguments.flags)
        if (!command->second.options.contains(name))
            return arguments.command + " does not take --" + name;
    const std::size_t operands = arguments.operands.size();
    const auto [fewest, most] = std::pair(command->second.fewestOperands, command->second.mostOperands);
    if (operands < fewest || operands > most)
        return arguments.command + " takes " + std::to_string(fewest) +
               (fewest == most ? "" : " or " + std::to_string(most)) + " operand(s)";
    return {};
}

std::string_view Trimmed(std::string_view text)
{
    while (!text.empty() && (text.front() == ' ' || text.front() == '\t'))
        text.remove_prefix(1);
    while (!text.empty() && (text.back() == ' ' || text.back() == '\t'))
        text.remove_suffix(1);
    return text;
}

bool IsLink(std::string_view text)
{
    return text.size() >= 8 && ::strncasecmp(text.data(), "otpauth:", 8) == 0;
}

// An option's number, or `fallback` when it is absent; -1 when it is not a number.
int NumberOption(const ToolArguments& arguments, const std::string& name, int fallback)
{
    const auto found = arguments.options.find(name);
    if (found == arguments.options.end())
        return fallback;
    int value = -1;
    const auto& text = found->second;
    const auto [end, status] = std::from_chars(text.data(), text.data() + text.size(), value);
    return status == std::errc() && end == text.data() + text.size() ? value : -1;
}

bool Refuse(std::string& problem, std::string text)
{
    problem = std::move(text);
    return false;
}

} // namespace

int TokenTool::Run(int argc, char** argv)
{
    std::string problem;
    auto arguments = ToolArguments::Parse(argc, argv, kValueOptions, kFlagOptions, problem);
    if (arguments && arguments->flags.contains("help")) {
        std::fputs(kUsageText, stdout);
        return kExitOk;
    }
    if (arguments && arguments->flags.contains("version")) {
        std::puts("kelvane-token (Trevalo) " TREVALO_VERSION);
        return kExitOk;
    }
    if (arguments) {
        const std::vector<char*> secrets = SecretOperands(*arguments);
        for (char* secret : secrets) // It was readable from the start; at least not for longer.
            OPENSSL_cleanse(secret, std::strlen(secret));
        if (!secrets.empty())
            return Complain(kExitUsage, kSecretArgumentRefusal);
        problem = CheckShape(*arguments);
    }
    if (!problem.empty())
        return Complain(kExitUsage, problem + " (see kelvane-token --help)");
    if (arguments->command == "import")
        return Import(*arguments);
    if (arguments->command == "list")
        return List();
    if (arguments->command == "remove")
        return Remove(*arguments);
    return Code(*arguments);
}

int TokenTool::Import(const ToolArguments& arguments)
{
    StoredToken token;
    SecretBytes key;
    std::string problem;
    if (!PrepareImport(arguments, token, key, problem))
        return Complain(kExitBadInput, problem);
    TokenFailure failure;
    if (token.inKeyring && !Keyring::Answers(token.serial, failure))
        return Complain(failure);
    if (!m_database.Add(token, failure))
        return Complain(failure);
    // The key goes to the keyring only once the serial is known to be new: an older token's key
    // must not be replaced. Should the keyring fail now, the token is taken back out.
    if (token.inKeyring && !Keyring::Store(token.serial, AsText(key), failure)) {
        TokenFailure ignored;
        m_database.Remove(token.serial, ignored);
        return Complain(failure);
    }
    std::printf("Imported token %s for %s (%s, %d digits, %d s%s).\n", token.serial.c_str(),
                token.user.c_str(), TotpAlgorithmName(token.parameters.algorithm), token.parameters.digits,
                token.parameters.period,
                token.inKeyring ? ", key in the keyring" : token.isProtected ? ", protected" : "");
    return kExitOk;
}

bool TokenTool::PrepareImport(const ToolArguments& arguments, StoredToken& token, SecretBytes& key,
                              std::string& problem)
{
    token.serial = arguments.operands[0];
    problem = TokenRules::CheckSerial(token.serial);
    if (problem.empty())
        problem = ShownText::Check("the serial number", token.serial);
    if (problem.empty() && arguments.flags.contains("protect") && arguments.flags.contains("keyring"))
        problem = "--protect and --keyring exclude each other";
    // A wrong --user is told before the seed is asked for.
    const auto user = arguments.options.find("user");
    if (problem.empty() && user != arguments.options.end())
        problem = CheckUser(user->second);
    if (!problem.empty() || !LoadSource(arguments, token, problem))
        return false;
    problem = CheckUser(token.user);
    if (!problem.empty())
        return false;
    if (arguments.flags.contains("keyring")) {
        key = Keyring::NewKey();
        Seal(token, AsText(key), Keyring::kKeyDerivationRounds);
        token.inKeyring = true;
    }
    return !arguments.flags.contains("protect") || Protect(token, problem);
}

std::string TokenTool::CheckUser(const std::string& user)
{
    std::string problem = TokenRules::CheckUser(user);
    return problem.empty() ? ShownText::Check("the user name", user) : problem;
}

bool TokenTool::LoadSource(const ToolArguments& arguments, StoredToken& token, std::string& problem)
{
    // Never from the command line, which every user can read (Run refuses a seed there).
    SecretBytes source;
    const auto qr = arguments.options.find("qr");
    if (qr != arguments.options.end()) {
        if (arguments.operands.size() > 1)
            return Refuse(problem, "with --qr the link comes from the image: \"-\" may not be given");
        if (qr->second == "-" && arguments.flags.contains("protect"))
            return Refuse(problem, "--qr - takes standard input for the image, and --protect its passphrase: "
                                   "give the image as a file");
        if (!ReadQrLink(qr->second, source, problem))
            return false;
    } else if (!ReadSecretLine("Seed or otpauth:// link: ", source)) {
        return Refuse(problem, "no seed or link on standard input");
    }
    if (IsTooLong(source))
        return Refuse(problem, "the seed or link is longer than " + std::to_string(kMaxSecretLine) + " bytes");
    const std::string_view text = Trimmed(AsText(source));
    if (!IsLink(text))
        return LoadSeed(arguments, text, token, problem);
    for (const char* name : {"algorithm", "digits", "period"})
        if (arguments.options.contains(name))
            return Refuse(problem, std::string("--") + name + " comes from the link and may not be given");
    auto link = OtpAuthUri::Parse(text, problem);
    if (!link)
        return false;
    token.seed = std::move(link->seed);
    token.parameters = link->parameters;
    token.issuer = link->issuer;
    const auto user = arguments.options.find("user");
    token.user = user != arguments.options.end() ? user->second : link->account;
    problem = TokenRules::CheckSeedSize(token.seed.size());
    return problem.empty();
}

bool TokenTool::LoadSeed(const ToolArguments& arguments, std::string_view seedText, StoredToken& token,
                         std::string& problem)
{
    auto seed = DecodeBase32(seedText);
    if (!seed)
        return Refuse(problem, "the seed is not valid base32 (letters A-Z and digits 2-7)");
    problem = TokenRules::CheckSeedSize(seed->size());
    if (!problem.empty())
        return false;
    token.seed = std::move(*seed);
    const auto algorithm = arguments.options.find("algorithm");
    if (algorithm != arguments.options.end()) {
        const auto parsed = ParseTotpAlgorithm(algorithm->second);
        if (!parsed)
            return Refuse(problem,
                          "unknown algorithm \"" + algorithm->second + "\" (SHA1, SHA256 or SHA512)");
        token.parameters.algorithm = *parsed;
    }
    token.parameters.digits = NumberOption(arguments, "digits", TokenRules::kDefaultDigits);
    token.parameters.period = NumberOption(arguments, "period", TokenRules::kDefaultPeriod);
    problem = TokenRules::CheckDigits(token.parameters.digits);
    if (problem.empty())
        problem = TokenRules::CheckPeriod(token.parameters.period);
    const auto user = arguments.options.find("user");
    if (problem.empty() && user == arguments.options.end())
        problem = "a base32 seed needs --user";
    if (user != arguments.options.end())
        token.user = user->second;
    return problem.empty();
}

bool TokenTool::Protect(StoredToken& token, std::string& problem)
{
    SecretBytes passphrase;
    if (!ReadSecretLine("New passphrase: ", passphrase) || passphrase.empty())
        return Refuse(problem, "--protect needs a passphrase that is not empty");
    if (IsTooLong(passphrase))
        return Refuse(problem, "the passphrase is longer than " + std::to_string(kMaxSecretLine) + " bytes");
    if (::isatty(STDIN_FILENO)) {
        SecretBytes again;
        if (!ReadSecretLine("Same passphrase again: ", again) || again != passphrase)
            return Refuse(problem, "the two passphrases differ");
    }
    Seal(token, AsText(passphrase), SeedCipher::kDefaultIterations);
    return true;
}

void TokenTool::Seal(StoredToken& token, std::string_view key, std::uint32_t iterations)
{
    token.sealed = SeedCipher::Seal(token.seed, key, token.serial, iterations);
    token.isProtected = true;
    SecretBytes().swap(token.seed);
}

int TokenTool::List()
{
    std::vector<StoredToken> tokens;
    TokenFailure failure;
    if (!m_database.List(tokens, failure))
        return Complain(failure);
    // Import refuses control characters and bidirectional controls in these texts, but a
    // database made before it did may hold them, and the terminal would take them as commands
    // or show the text around them reversed. They are shown as \xNN rather than as U+FFFD: the
    // bytes stay visible and tell one record from another, so a person can see what is stored
    // and remove or replace the token. (A backslash itself is left as it is, as in DOMAIN\user:
    // this is a safe display, not a reversible encoding.)
    struct Shown {
        std::string serial, user, issuer;
    };
    std::vector<Shown> shown;
    std::size_t serialWidth = 6;
    std::size_t userWidth = 4;
    for (const auto& token : tokens) {
        shown.push_back(
            {ShownText::Escaped(token.serial), ShownText::Escaped(token.user), ShownText::Escaped(token.issuer)});
        serialWidth = std::max(serialWidth, shown.back().serial.size());
        userWidth = std::max(userWidth, shown.back().user.size());
    }
    const auto width = [](std::size_t size) { return static_cast<int>(size); };
    std::printf("%-*s  %-*s  %-10s  %-9s  %6s  %6s  %s\n", width(serialWidth), "SERIAL", width(userWidth),
                "USER", "PROTECTION", "ALGORITHM", "DIGITS", "PERIOD", "ISSUER");
    for (std::size_t i = 0; i < tokens.size(); ++i)
        std::printf("%-*s  %-*s  %-10s  %-9s  %6d  %6d  %s\n", width(serialWidth), shown[i].serial.c_str(),
                    width(userWidth), shown[i].user.c_str(), tokens[i].ProtectionType(),
                    TotpAlgorithmName(tokens[i].parameters.algorithm), tokens[i].parameters.digits,
                    tokens[i].parameters.period, shown[i].issuer.c_str());
    return kExitOk;
}

int TokenTool::Remove(const ToolArguments& arguments)
{
    const std::string serial = arguments.operands[0];
    TokenFailure failure;
    StoredToken token;
    const bool inKeyring = m_database.Find(serial, token, failure) == TokenDatabase::Lookup::Found && token.inKeyring;
    if (!m_database.Remove(serial, failure))
        return Complain(failure);
    if (inKeyring && !Keyring::Remove(serial, failure))
        return Complain(kExitStorage, "removed token " + ShownText::Escaped(serial) +
                                          ", but its key stays in the keyring: " + failure.explanation);
    std::printf("Removed token %s.\n", ShownText::Escaped(serial).c_str());
    return kExitOk;
}

int TokenTool::Code(const ToolArguments& arguments)
{
    const std::string serial = arguments.operands[0];
    StoredToken token;
    TokenFailure failure;
    switch (m_database.Find(serial, token, failure)) {
    case TokenDatabase::Lookup::Failed:
        return Complain(failure);
    case TokenDatabase::Lookup::Missing:
        return Complain(TokenDatabase::UnknownToken(serial));
    case TokenDatabase::Lookup::Found:
        break;
    }
    SecretBytes passphrase;
    SecretBytes pin;
    if (token.isProtected && !token.inKeyring)
        ReadSecretLine("Passphrase: ", passphrase);
    if (arguments.flags.contains("pin"))
        ReadSecretLine("PIN: ", pin);
    if (IsTooLong(passphrase) || IsTooLong(pin))
        return Complain(kExitBadInput, "the passphrase or PIN is longer than " + std::to_string(kMaxSecretLine) +
                                           " bytes");
    passphrase.push_back(0);
    pin.push_back(0);
    TokenSession session(m_database);
    char passcode[TOKEN_PASSCODE_SIZE] = {};
    char next[TOKEN_PASSCODE_SIZE] = {};
    const bool done =
        session.SelectRead(std::move(token), reinterpret_cast<const char*>(passphrase.data())) &&
        session.Passcode(reinterpret_cast<const char*>(pin.data()), passcode, next, nullptr);
    if (done)
        std::printf("Passcode       %s\nNext passcode  %s\n", passcode, next);
    OPENSSL_cleanse(passcode, sizeof passcode);
    OPENSSL_cleanse(next, sizeof next);
    return done ? kExitOk : Complain(session.LastFailure());
}

int TokenTool::Complain(int exitCode, const std::string& message)
{
    // A message may quote what it refuses (an algorithm named in a link, a serial number), and
    // that is no command for the terminal; the line ends are the tool's own.
    std::string shown;
    for (std::size_t start = 0, end = 0; start <= message.size(); start = end + 1) {
        end = std::min(message.find('\n', start), message.size());
        shown += ShownText::Escaped(std::string_view(message).substr(start, end - start));
        shown += '\n';
    }
    std::fprintf(stderr, "kelvane-token: %s", shown.c_str());
    return exitCode;
}

int TokenTool::Complain(const TokenFailure& failure)
{
    return Complain(failure.storage ? kExitStorage : kExitRefused,
                    failure.title + ": " + failure.explanation);
}
