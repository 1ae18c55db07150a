// The login run of the login window: Connect and Test Script, the refresh timer, the completion
// poll, the dial-up notification, Cancel and the end of the user's session.
#include "LoginDialog.h"

#include <framework/DataExchange.h>
#include <framework/MessageBox.h>
#include <framework/StringTable.h>
#include <loginrun/ScriptBackup.h>
#include <platform/CommandLine.h>
#include <platform/SecureWipe.h>
#include <res/resource.h>
#include <token/PassphraseDlg.h>
#include <token/TokenServiceCalls.h>

#include <QSocketNotifier>

#include <algorithm>
#include <cstdio>
#include <cstring>

namespace {

constexpr unsigned kRefreshTimer = 3;
constexpr unsigned kPollTimer = 4;
constexpr unsigned kRefreshMs = 60000;
constexpr unsigned kPollMs = 500;
constexpr std::int32_t kMinute = 60000;
constexpr std::int32_t kRewriteAbove = 120000;

std::string LoadText(unsigned id)
{
    std::string text;
    LoadString(id, text);
    return text;
}

// The countdown for a duration of `minutes`, in 32-bit signed arithmetic that wraps as the
// stored number does.
std::int32_t InitialCountdown(std::int32_t minutes)
{
    if (minutes == 0 || minutes == 1)
        return 2 * kMinute;
    const auto wrapped =
        static_cast<std::uint32_t>(minutes) * static_cast<std::uint32_t>(kMinute) + static_cast<std::uint32_t>(kMinute);
    return static_cast<std::int32_t>(wrapped);
}

std::int32_t MinusOneMinute(std::int32_t remaining)
{
    return static_cast<std::int32_t>(static_cast<std::uint32_t>(remaining) - static_cast<std::uint32_t>(kMinute));
}

} // namespace

void CLoginDialog::OnOK()
{
    StartRun(false);
}

void CLoginDialog::OnTestScript()
{
    StartRun(true);
}

void CLoginDialog::StartRun(bool testMode)
{
    if (!UpdateData(true) || !CheckEntries() || !StartLoginRun(testMode))
        return;
    DisableEntryControls();
    ShowWindow(SW_SHOWMINNOACTIVE);
}

void CLoginDialog::DisableEntryControls()
{
    for (CWnd* control :
         {static_cast<CWnd*>(&m_comboProfile), static_cast<CWnd*>(&m_btnProfile), static_cast<CWnd*>(&m_comboToken),
          static_cast<CWnd*>(&m_editUserId), static_cast<CWnd*>(&m_editPin), static_cast<CWnd*>(&m_btnConnect)})
        control->EnableWindow(false);
}

bool CLoginDialog::StartLoginRun(bool testMode)
{
    SetWindowText(LoadText(IDS_LOGIN_TITLE));
    m_bTestRun = testMode;
    const std::string serial = m_tokenList.GetSelectedSerial(m_comboToken);
    if (!SelectRunToken(serial))
        return false;
    m_strRunSerial = serial;
    m_bRunUserLoginRequired = m_pCurrentProfile->UserLoginRequired;
    const std::string scriptPath = m_pCurrentProfile->ScriptPath;
    // Restores owed by earlier runs, of any profile, come first: the last run's through its own
    // folder, the others through the journal; this script's own is the backup's first check.
    if (m_bScriptReplaced && m_pScriptRun && m_pScriptRun->MoveBack() == 0)
        SettleRun();
    RestoreOwedScripts(m_runJournal, scriptPath);
    std::unique_ptr<CScriptRun> run = CScriptRun::Start(scriptPath, m_runJournal, RunRewriter());
    if (!run || !StartProgram(testMode, *run))
        return false;
    m_pScriptRun = std::move(run);
    m_bScriptReplaced = true;
    m_nRemainingMs = InitialCountdown(m_pCurrentProfile->UpdatePASSCODEDuration);
    StartTimers();
    return true;
}

bool CLoginDialog::SelectRunToken(const std::string& serial)
{
    std::string passphrase;
    if (m_tokenList.SelectedNeedsPassphrase(m_comboToken)) {
        CPassphraseDlg prompt;
        if (prompt.DoModal() != IDOK)
            return false;
        passphrase = prompt.m_strPassphrase;
    }
    const bool selected = TokenCalls().SelectToken(m_hTokenService, serial.c_str(), "", passphrase.c_str()) != 0;
    SecureWipe(passphrase);
    if (selected)
        return true;
    TOKENERROR error{};
    TokenCalls().GetTokenError(m_hTokenService, &error);
    std::string text(error.szFirst, ::strnlen(error.szFirst, sizeof error.szFirst));
    const std::string second(error.szSecond, ::strnlen(error.szSecond, sizeof error.szSecond));
    if (!second.empty())
        text += ": " + second;
    AfxMessageBox(text, MB_OK | MB_ICONEXCLAMATION);
    return false;
}

bool CLoginDialog::StartProgram(bool testMode, CScriptRun& run)
{
    const ConnectionProfile& profile = *m_pCurrentProfile;
    int error = 0;
    // Notepad gets the script path as one argument, spaces and all, and only shows it: a save
    // there would write the passcodes over the user's text once the run has put it back.
    std::unique_ptr<CChildProcess> process =
        testMode ? CChildProcess::Start(std::vector<std::string>{"Notepad", "--read-only", profile.ScriptPath}, error)
                 : StartLoginApp(profile.LoginAppPath, error);
    if (!process) {
        // The user's text goes back before any message waits for the user.
        const int restored = run.MoveBack();
        if (testMode)
            AfxMessageBox(IDS_CANNOT_START_NOTEPAD, MB_OK | MB_ICONEXCLAMATION);
        else
            AfxMessageBox(FormatString1(IDS_CANNOT_START_LOGIN_APP, profile.LoginAppPath), MB_OK | MB_ICONEXCLAMATION);
        ReportScriptBack(restored, run.ScriptPath());
        return false;
    }
    SetWindowText(testMode ? LoadText(IDS_TESTING_TITLE) : LoadText(IDS_RUNNING_TITLE) + profile.LoginAppPath);
    // AutoExit as it is now decides for the whole run.
    m_bWaitForLoginApp = !m_bAutoExit;
    if (m_bWaitForLoginApp)
        WatchProgram(std::move(process));
    return true;
}

std::unique_ptr<CChildProcess> CLoginDialog::StartLoginApp(const std::string& commandLine, int& error)
{
    m_strRunLoginApp = commandLine;
    m_pRunOutput = nullptr;
    // What earlier login applications left running may still write; the others have ended.
    std::erase_if(m_loginAppOutputs, [](const std::unique_ptr<CProgramOutput>& output) {
        output->ReadAvailable();
        return output->Ended();
    });
    std::unique_ptr<CProgramOutput> output = CProgramOutput::Open(ProgramName(commandLine));
    std::unique_ptr<CChildProcess> process = CChildProcess::Start(commandLine, error, output ? output->WriteEnd() : -1);
    if (process && output) {
        output->Started();
        m_pRunOutput = output.get();
        m_loginAppOutputs.push_back(std::move(output));
    }
    return process;
}

void CLoginDialog::WatchProgram(std::unique_ptr<CChildProcess> process)
{
    m_hLoginAppProcess = std::move(process);
    m_pExitNotifier.reset();
    if (m_hLoginAppProcess->ExitDescriptor() < 0)
        return;
    // The program's end wakes the event loop at once; the idle poll that follows notices it.
    m_pExitNotifier = std::make_unique<QSocketNotifier>(m_hLoginAppProcess->ExitDescriptor(), QSocketNotifier::Read);
    QSocketNotifier* notifier = m_pExitNotifier.get();
    QObject::connect(notifier, &QSocketNotifier::activated, notifier, [notifier] { notifier->setEnabled(false); });
}

void CLoginDialog::StartTimers()
{
    if (!SetTimer(kRefreshTimer, kRefreshMs))
        AfxMessageBox(IDS_TIMER_FAILED, MB_OK | MB_ICONEXCLAMATION);
    if (!SetTimer(kPollTimer, kPollMs))
        AfxMessageBox(IDS_TIMER_FAILED, MB_OK | MB_ICONEXCLAMATION);
}

void CLoginDialog::EndRunTimers()
{
    m_bWaitForLoginApp = false;
    KillTimer(kRefreshTimer);
    KillTimer(kPollTimer);
    m_pExitNotifier.reset();
    m_hLoginAppProcess.reset();
    m_passcodes.Wipe();
}

bool CLoginDialog::RewriteScript(const CHeldFolder& folder, const JournalEntry& entry)
{
    const RewriteInputs inputs{m_hTokenService, m_strPin, m_strUserId, m_bRunUserLoginRequired, m_strRunSerial};
    return ::RewriteScript(TokenCalls(), inputs, m_passcodes, folder, entry);
}

ScriptRewriter CLoginDialog::RunRewriter()
{
    return [this](const CHeldFolder& folder, const JournalEntry& entry) { return RewriteScript(folder, entry); };
}

bool CLoginDialog::RestoreScript()
{
    if (m_bScriptReplaced && m_pScriptRun)
        return m_pScriptRun->Restore();
    // Without a run and without a profile there is no script to speak of.
    return m_pCurrentProfile && ::RestoreScript(m_pCurrentProfile->ScriptPath, m_runJournal);
}

void CLoginDialog::OnTimer(unsigned id)
{
    if (id != kRefreshTimer)
        return;
    if (m_nRemainingMs > kRewriteAbove && m_pScriptRun)
        m_pScriptRun->Rewrite(RunRewriter());
    if (m_nRemainingMs == 0) {
        OnCancel(); // may destroy this window
        return;
    }
    m_nRemainingMs = MinusOneMinute(m_nRemainingMs);
}

long CLoginDialog::PollLoginApplication(long)
{
    if (!m_bWaitForLoginApp || !m_hLoginAppProcess || !m_hLoginAppProcess->HasExited())
        return 0;
    // A login application that failed brings the window back for another try, as Test Script does.
    const std::string failure = m_bTestRun ? std::string() : LoginFailure();
    EndRunTimers();
    const bool restored = RestoreScript();
    if (restored) {
        SettleRun();
        if (!m_bTestRun && failure.empty()) {
            DestroyWindow(); // the program ends with this window
            return 0;
        }
    }
    ShowAgain();
    if (!failure.empty()) {
        std::fprintf(stderr, "trevalo: %s\n", failure.substr(0, failure.find('\n')).c_str());
        AfxMessageBox(failure, MB_OK | MB_ICONEXCLAMATION);
    }
    return 0;
}

std::string CLoginDialog::LoginFailure()
{
    const CChildProcess& process = *m_hLoginAppProcess;
    std::string text;
    if (const int signal = process.EndingSignal(); signal != 0) {
        const char* name = ::sigabbrev_np(signal); // none for the real-time signals
        text = FormatString2(IDS_LOGIN_APP_KILLED, m_strRunLoginApp,
                             std::to_string(signal) + (name ? std::string(" (SIG") + name + ")" : ""));
    } else if (process.ExitStatus() != 0)
        text = FormatString2(IDS_LOGIN_APP_FAILED, m_strRunLoginApp, std::to_string(process.ExitStatus()));
    if (text.empty() || !m_pRunOutput)
        return text;
    // Its last words may still wait in the pipe.
    m_pRunOutput->ReadAvailable();
    const std::string lastLines = m_pRunOutput->LastLines();
    if (!lastLines.empty())
        text += "\n\n" + FormatString1(IDS_LOGIN_APP_LAST_WORDS, lastLines);
    return text;
}

void CLoginDialog::SettleRun()
{
    m_bScriptReplaced = false;
    m_pScriptRun.reset();
}

void CLoginDialog::ShowAgain()
{
    if (IsIconic())
        ShowWindow(SW_RESTORE);
    UpdateControls();
    SetWindowText(LoadText(IDS_LOGIN_TITLE));
    m_editPin.SetFocus();
}

LRESULT CLoginDialog::OnRasNotify(WPARAM wParam, LPARAM)
{
    if (wParam == 0) {
        OnCancel();
        return 0;
    }
    if (wParam > 4)
        return 0;
    EndRunTimers();
    if (RestoreScript())
        SettleRun();
    ShowAgain();
    AfxMessageBox("Dial-Up Networking reported an error.", MB_OK | MB_ICONEXCLAMATION);
    return 0;
}

void CLoginDialog::OnCancel()
{
    if (m_bScriptReplaced && !RestoreScript()) {
        if (IsIconic())
            ShowWindow(SW_SHOWNORMAL);
        return;
    }
    DestroyWindow(); // the program ends with this window
}

bool CLoginDialog::OnQueryEndSession()
{
    if (!m_bScriptReplaced || RestoreScript())
        return true;
    if (IsIconic())
        ShowWindow(SW_SHOWNORMAL);
    return false;
}
