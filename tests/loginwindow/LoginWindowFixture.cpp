#include "LoginWindowFixture.h"

#include <profiles/AppSettings.h>
#include <profiles/ConnectionProfile.h>
#include <res/resource.h>

#include <QApplication>
#include <QComboBox>
#include <QLineEdit>

LoginWindowTest::LoginWindowTest()
{
    m_previousPopupRunner = SetPopupMenuRunner([this](const CMenu& menu, QPoint) {
        popups.push_back(&menu);
        popupItems.push_back(menu.Items());
        return popupChoice;
    });
}

LoginWindowTest::~LoginWindowTest()
{
    if (dialog)
        dialog->DestroyWindow(); // frees the dialog
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    SetPopupMenuRunner(std::move(m_previousPopupRunner));
}

void LoginWindowTest::AddPeer(const std::string& name)
{
    WriteFile(dir.File("peers/" + name), "# pppd options\n");
}

void LoginWindowTest::AddProfile(const std::string& name, const std::string& phonebookEntry,
                                 const std::string& tokenSerial, const std::string& userLogin,
                                 bool userLoginRequired)
{
    ConnectionProfile record(name);
    record.DUNPhonebookEntry = phonebookEntry;
    record.ScriptPath = dir.File("login.scp");
    record.LoginAppPath = "/usr/bin/true";
    record.UserLogin = userLogin;
    record.TokenSerialNumber = tokenSerial;
    record.UserLoginRequired = userLoginRequired;
    ASSERT_TRUE(record.Save());
}

void LoginWindowTest::SetDefaultProfile(const std::string& name)
{
    CAppSettings::SaveDefaultProfile(name);
}

std::string LoginWindowTest::StoredDefaultProfile() const
{
    CAppSettings settings;
    settings.Load();
    return settings.m_strDefaultProfile;
}

CLoginDialog& LoginWindowTest::Open()
{
    dialog = new CLoginDialog();
    QApplication::setActiveWindow(dialog->GetSafeHwnd());
    return *dialog;
}

QWidget* LoginWindowTest::Control(int id) const
{
    return dialog->GetControl(id);
}

QLineEdit* LoginWindowTest::Edit(int id) const
{
    return qobject_cast<QLineEdit*>(Control(id));
}

std::vector<std::string> LoginWindowTest::ProfileItems() const
{
    std::vector<std::string> items;
    for (int i = 0; i < dialog->m_comboProfile.GetCount(); ++i)
        items.push_back(dialog->m_comboProfile.GetLBText(i));
    return items;
}

void LoginWindowTest::ChooseItem(int comboId, int index)
{
    auto* combo = qobject_cast<QComboBox*>(Control(comboId));
    combo->setCurrentIndex(index);
    emit combo->activated(index);
}
