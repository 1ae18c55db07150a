// After every way a run can end, no file under the run's directories (script, backup, hive,
// token data, peers) holds the PIN, the passphrase, a passcode or the token's seed.
#include "LoginRunFixture.h"

#include <framework/Dialog.h>
#include <res/resource.h>

#include <QLineEdit>

#include <ChildProcess.h>

#include <filesystem>
#include <functional>
#include <regex>
#include <sys/stat.h>

namespace {

const std::string kPin = "97531864";
const std::string kPassphrase = "horse-battery-staple";
const std::vector<std::string> kSecrets = {kPin, kPassphrase, "97531864424242", "97531864131313", "424242"};

std::vector<std::string> FilesHoldingSecrets(const std::string& root,
                                             const std::vector<std::string>& secrets = kSecrets)
{
    return FilesHolding(root, secrets);
}

// Answers the passphrase prompt.
void TypePassphrase(CDialog& prompt)
{
    qobject_cast<QLineEdit*>(prompt.GetControl(IDC_PASSPHRASE))->setText(QString::fromStdString(kPassphrase));
    prompt.SendCommand(IDOK);
}

} // namespace

TEST_F(LoginRunTest, NoSecretStaysInAnyFileWhateverEndsTheRun)
{
    tokens.tokens = {{"000111", "ann", "PASSWORD"}};
    tokens.passcode = "97531864424242";
    tokens.nextPasscode = "97531864131313";
    tokens.passcodeNoPin = "424242";
    const std::string quietDialer = dir.File("quiet-dialer");
    WriteFile(quietDialer, "#!/bin/sh\nexit 0\n");
    ::chmod(quietDialer.c_str(), 0755);
    const ModalRunner previous = SetModalRunner(TypePassphrase);

    const std::vector<std::pair<std::string, std::function<void()>>> ends = {
        {"the login application's exit", [&] { WaitForProgramAndPoll(); }},
        {"Cancel", [&] { dialog->SendCommand(IDCANCEL); }},
        {"notification 0", [&] { dialog->SendMessage(g_rasNotifyMessage, 0, 0); }},
        {"notification 2", [&] { dialog->SendMessage(g_rasNotifyMessage, 2, 0); }},
        {"the countdown",
         [&] {
             for (int tick = 0; tick < 3; ++tick)
                 dialog->OnTimer(3);
         }},
        {"the end of the session", [&] { dialog->OnQueryEndSession(); }},
    };
    for (const auto& [name, end] : ends) {
        SCOPED_TRACE(name);
        WriteFile(script, kUserText);
        WriteRunProfile(quietDialer, 0);
        destroyed = false;
        Connect(kPin);
        ASSERT_FALSE(destroyed);
        ASSERT_NE(kUserText, ReadFile(script)); // the run holds live passcodes now
        end();
        EXPECT_EQ((std::vector<std::string>{}), FilesHoldingSecrets(dir.Path()));
        if (!destroyed)
            dialog->SendCommand(IDCANCEL);
        dialog = nullptr;
    }
    SetModalRunner(previous);
}

TEST_F(LoginRunTest, NoSecretOrSeedStaysInAnyFileWithTheRealTokenLibrary)
{
    const std::string seed = "TrevaloSecretSeed!42";
    const std::string seedBase32 = "KRZGK5TBNRXVGZLDOJSXIU3FMVSCCNBS";
    // Seed and passphrase on the tool's standard input, never on a command line (the shell's
    // included); the file is removed before the login run, so the check at the end does not see it.
    const std::string input = dir.File("import-input");
    WriteFile(input, seedBase32 + "\n" + kPassphrase + "\n");
    ChildProcess import(
        {"/bin/sh", "-c", "exec \"$0\" import --user ann --protect 000111 <\"$1\"", KELVANE_TOKEN, input});
    ASSERT_EQ(0, import.Wait());
    std::filesystem::remove(input);
    // The library's own calls in place of the fixture's double, which puts them back at the end.
    TokenCalls() = {&::OpenTokenService, &::CloseTokenService, &::EnumToken,
                    &::SelectToken,      &::GetPasscode,       &::GetTokenError};
    const ModalRunner previous = SetModalRunner(TypePassphrase);
    WriteRunProfile(dialer);
    Connect(kPin);
    WaitForProgramAndPoll();
    SetModalRunner(previous);
    ASSERT_TRUE(destroyed);
    EXPECT_EQ(kUserText, ReadFile(script));

    // The passcodes the login application saw; its copy is its own file, not the program's.
    const std::string seenText = ReadFile(seen);
    std::filesystem::remove(seen);
    std::smatch found;
    ASSERT_TRUE(std::regex_search(
        seenText, found,
        std::regex("password: \\\\q(" + kPin + "\\d{6})\nnext: (" + kPin + "\\d{6})\ncode: (\\d{6}) ")))
        << seenText;
    const std::vector<std::string> secrets = {kPin, kPassphrase, found[1], found[2], found[3], seed, seedBase32};
    EXPECT_EQ((std::vector<std::string>{}), FilesHoldingSecrets(dir.Path(), secrets));
}
