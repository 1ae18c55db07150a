#pragma once

#include <loginwindow/LoginDialog.h>

#include <FakeTokenService.h>
#include <MessageBoxRecorder.h>
#include <TempDir.h>

#include <framework/Menu.h>

#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

class QLineEdit;

// A fresh hive, peers directory and token service for each test, and a login window on them.
class LoginWindowTest : public ::testing::Test {
protected:
    LoginWindowTest();
    ~LoginWindowTest() override;

    void AddPeer(const std::string& name);
    void AddProfile(const std::string& name, const std::string& phonebookEntry = "isp",
                    const std::string& tokenSerial = "", const std::string& userLogin = "",
                    bool userLoginRequired = false);
    void SetDefaultProfile(const std::string& name);
    std::string StoredDefaultProfile() const;

    // Builds the window; its start-up messages are in `boxes`.
    CLoginDialog& Open();
    QWidget* Control(int id) const;
    QLineEdit* Edit(int id) const;
    std::vector<std::string> ProfileItems() const;
    // Chooses item `index` of a combo box the way a user does.
    void ChooseItem(int comboId, int index);

    TempDir dir;
    FakeTokenService tokens;
    std::optional<MessageBoxRecorder> boxes{std::in_place};
    CLoginDialog* dialog = nullptr;
    std::vector<const CMenu*> popups;
    std::vector<std::vector<CMenu::Item>> popupItems;
    unsigned popupChoice = 0;

private:
    PopupMenuRunner m_previousPopupRunner;
};

using Texts = std::vector<std::string>;

inline const std::string kNoProfiles =
    "There are no valid profiles defined.\nYou must create a new profile.\nClick \"Profile >>>\" and select \"New...\"";
