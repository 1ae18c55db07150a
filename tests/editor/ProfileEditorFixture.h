#pragma once

#include <editor/ProfilePropertySheet.h>

#include <MessageBoxRecorder.h>
#include <TempDir.h>

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

class QLineEdit;
class QPushButton;

// A fresh hive and peers directory ("isp" and "Work VPN"), two tokens, an existing login
// application and script, and a profile sheet run through the modal runner.
class ProfileEditorTest : public ::testing::Test {
protected:
    ProfileEditorTest();
    ~ProfileEditorTest() override;

    // A saved profile, appended to the list.
    ConnectionProfile& AddProfile(const std::string& name, const std::string& phonebookEntry = "isp",
                                  const std::string& tokenSerial = kFirstSerial);
    // A sheet for `profile`; for a new one (null) the sheet works on `newRecord`, preset with
    // the existing application and script.
    void Prepare(ConnectionProfile* profile);
    // Runs the sheet with `act` in place of the user; the sheet is cancelled if `act` leaves it open.
    int Run(const std::function<void()>& act);

    // Acting on the sheet as a user does.
    void Type(CPropertyPage& page, int id, const std::string& text);
    void Choose(CPropertyPage& page, int comboId, const std::string& item);
    void Click(int id);
    void FillValidNewProfile(const std::string& name = "Home");
    QLineEdit* Edit(CPropertyPage& page, int id) const;
    QPushButton* Button(int id) const;
    int FocusedControl() const;
    bool KeyExists(const std::string& name) const;
    std::vector<std::string> ListNames() const;

    static constexpr const char* kFirstSerial = "000111222333";
    static constexpr const char* kFirstToken = "000111222333 - ann";

    TempDir dir;
    MessageBoxRecorder boxes;
    std::string app;
    std::string script;
    std::unique_ptr<CProfileList> list;
    CTokenList tokens;
    std::unique_ptr<ConnectionProfile> newRecord;
    std::unique_ptr<CProfilePropertySheet> sheet;

private:
    void ReleaseSavedRecord();

    ModalRunner m_previous;
    bool m_bNewSheet = false;
};

using Texts = std::vector<std::string>;
