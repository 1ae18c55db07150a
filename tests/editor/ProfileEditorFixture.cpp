#include "ProfileEditorFixture.h"

#include <profiles/RegistryKeyBase.h>
#include <framework/StringTable.h>
#include <res/resource.h>

#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>

#include <cstring>
#include <sys/stat.h>

namespace {

TOKENRECORD Record(const char* serial, const char* user)
{
    TOKENRECORD record{};
    std::strncpy(record.szSerialNumber, serial, sizeof record.szSerialNumber - 1);
    std::strncpy(record.szUserName, user, sizeof record.szUserName - 1);
    std::strncpy(record.szPassphraseType, "NONE", sizeof record.szPassphraseType - 1);
    return record;
}

} // namespace

ProfileEditorTest::ProfileEditorTest()
{
    WriteFile(dir.File("peers/isp"), "# pppd options\n");
    // An OpenVPN client configuration: the editor offers and stores it as it does a peer.
    WriteFile(dir.File("openvpn/Work VPN.conf"), "client\n");
    app = dir.File("dial");
    script = dir.File("login.scp");
    WriteFile(app, "#!/bin/sh\n");
    ::chmod(app.c_str(), 0755);
    WriteFile(script, "transmit #$PASSCODE#$\n");
    list = std::make_unique<CProfileList>();
    const TOKENRECORD records[] = {Record(kFirstSerial, "ann"), Record("000999888777", "bob")};
    tokens.Fill(records, 2);
    m_previous = SetModalRunner({});
}

ProfileEditorTest::~ProfileEditorTest()
{
    SetModalRunner(std::move(m_previous));
    ReleaseSavedRecord();
}

ConnectionProfile& ProfileEditorTest::AddProfile(const std::string& name, const std::string& phonebookEntry,
                                                 const std::string& tokenSerial)
{
    auto profile = std::make_unique<ConnectionProfile>(name);
    profile->DUNPhonebookEntry = phonebookEntry;
    profile->TokenSerialNumber = tokenSerial;
    profile->LoginAppPath = app;
    profile->ScriptPath = script;
    profile->UserLogin = "ann";
    profile->UserLoginRequired = true;
    EXPECT_TRUE(profile->Save());
    ConnectionProfile& added = *profile;
    list->Append(std::move(profile));
    return added;
}

void ProfileEditorTest::ReleaseSavedRecord()
{
    // Once saved, a new record belongs to the list.
    if (m_bNewSheet && !sheet->m_bNewProfile)
        static_cast<void>(newRecord.release());
    m_bNewSheet = false;
}

void ProfileEditorTest::Prepare(ConnectionProfile* profile)
{
    ReleaseSavedRecord();
    std::string caption;
    LoadString(IDS_NEW_PROFILE, caption);
    sheet = std::make_unique<CProfilePropertySheet>(caption);
    if (!profile) {
        newRecord = std::make_unique<ConnectionProfile>();
        newRecord->LoginAppPath = app;
        newRecord->ScriptPath = script;
        profile = newRecord.get();
    }
    sheet->m_pProfile = profile;
    sheet->m_pProfileList = list.get();
    m_bNewSheet = profile == newRecord.get();
    sheet->m_bNewProfile = m_bNewSheet;
    sheet->m_pTokenList = &tokens;
}

int ProfileEditorTest::Run(const std::function<void()>& act)
{
    SetModalRunner([act](CDialog& dialog) {
        act();
        if (dialog.GetSafeHwnd()->isVisible())
            dialog.EndDialog(IDCANCEL);
    });
    return sheet->DoModal();
}

QLineEdit* ProfileEditorTest::Edit(CPropertyPage& page, int id) const
{
    return qobject_cast<QLineEdit*>(page.GetControl(id));
}

QPushButton* ProfileEditorTest::Button(int id) const
{
    return qobject_cast<QPushButton*>(sheet->GetControl(id));
}

void ProfileEditorTest::Type(CPropertyPage& page, int id, const std::string& text)
{
    sheet->SetActivePage(&page);
    Edit(page, id)->setText(QString::fromStdString(text));
}

void ProfileEditorTest::Choose(CPropertyPage& page, int comboId, const std::string& item)
{
    sheet->SetActivePage(&page);
    auto* combo = qobject_cast<QComboBox*>(page.GetControl(comboId));
    const int index = combo->findText(QString::fromStdString(item));
    ASSERT_GE(index, 0) << item;
    combo->setCurrentIndex(index);
    emit combo->activated(index);
}

void ProfileEditorTest::Click(int id)
{
    Button(id)->click();
}

void ProfileEditorTest::FillValidNewProfile(const std::string& name)
{
    CProfilePropertyPage1& general = sheet->m_pageGeneral;
    Type(general, IDC_GENERAL_PROFILE_NAME, name);
    Choose(general, IDC_GENERAL_PHONEBOOK_ENTRY, "isp");
    Choose(general, IDC_GENERAL_TOKEN, kFirstToken);
    Type(general, IDC_GENERAL_USER_ID, "ann");
}

int ProfileEditorTest::FocusedControl() const
{
    return ControlIdOf(sheet->GetSafeHwnd()->focusWidget());
}

bool ProfileEditorTest::KeyExists(const std::string& name) const
{
    std::string path;
    LoadString(IDS_REG_PROFILES_KEY, path);
    CRegistryKeyBase key(HKEY_LOCAL_MACHINE);
    return key.Open(HKEY_LOCAL_MACHINE, path + name);
}

std::vector<std::string> ProfileEditorTest::ListNames() const
{
    std::vector<std::string> names;
    list->GetNames(names);
    return names;
}
