// After every way a run can end, no file under the run's directories (script, backup, hive,
// token data, peers) holds the PIN, the passphrase or a passcode.
#include "LoginRunFixture.h"

#include <framework/Dialog.h>
#include <res/resource.h>

#include <QLineEdit>

#include <filesystem>
#include <functional>
#include <sys/stat.h>

namespace {

const std::string kPin = "97531864";
const std::string kPassphrase = "horse-battery-staple";
const std::vector<std::string> kSecrets = {kPin, kPassphrase, "97531864424242", "97531864131313", "424242"};

// Every regular file below `root` that holds one of the secrets.
std::vector<std::string> FilesHoldingSecrets(const std::string& root)
{
    std::vector<std::string> found;
    for (const auto& entry : std::filesystem::recursive_directory_iterator(root)) {
        if (!entry.is_regular_file())
            continue;
        const std::string content = ReadFile(entry.path().string());
        for (const std::string& secret : kSecrets)
            if (content.find(secret) != std::string::npos)
                found.push_back(entry.path().string() + " holds " + secret);
    }
    return found;
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
    const ModalRunner previous = SetModalRunner([](CDialog& prompt) {
        qobject_cast<QLineEdit*>(prompt.GetControl(IDC_PASSPHRASE))->setText(QString::fromStdString(kPassphrase));
        prompt.SendCommand(IDOK);
    });

    const std::vector<std::pair<std::string, std::function<void()>>> ends = {
        {"the login application's exit", [&] { WaitForProgramAndPoll(); }},
        {"Cancel", [&] { dialog->SendCommand(IDCANCEL); }},
        {"notification 0", [&] { dialog->SendMessage(g_rasNotifyMessage, 0, 0); }},
        {"notification 2", [&] { dialog->SendMessage(g_rasNotifyMessage, 2, 0); }},
        {"the countdown", [&] {
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
