// Every field of the program's dialogs is named by its label: screen readers announce that name,
// and a label's mnemonic leads to that field, whatever the labels' place in the tab order.
#include <framework/DialogBuilder.h>
#include <res/Resources.h>
#include <res/resource.h>

#include <QDialog>
#include <QLabel>

#include <gtest/gtest.h>

#include <map>

namespace {

struct Labelled {
    const char* name; // the field's accessible name
    int label;        // the label whose mnemonic leads to the field; 0 for a label without one
};

// The fields (edits and lists) of each dialog, by control id.
const std::map<unsigned, std::map<int, Labelled>> kFields = {
    {IDD_LOGIN,
     {{IDC_PROFILE_COMBO, {"Connection Profile", IDC_PROFILE_LABEL}},
      {IDC_TOKEN_COMBO, {"Token", IDC_TOKEN_LABEL}},
      {IDC_USER_ID, {"User ID", IDC_USER_ID_LABEL}},
      {IDC_PIN, {"PIN", IDC_PIN_LABEL}}}},
    {IDD_PROFILE_GENERAL,
     {{IDC_GENERAL_PROFILE_NAME, {"Profile Name", 0}},
      {IDC_GENERAL_PHONEBOOK_ENTRY, {"Phonebook Entry to Dial", 0}},
      {IDC_GENERAL_TOKEN, {"Talvex Kelvane Token", 0}},
      {IDC_GENERAL_USER_ID, {"User ID", 0}}}},
    {IDD_PROFILE_ADVANCED,
     {{IDC_ADVANCED_LOGIN_APP, {"Login Application", 0}}, {IDC_ADVANCED_SCRIPT_FILE, {"Script File", 0}}}},
    {IDD_PASSPHRASE, {{IDC_PASSPHRASE, {"Passphrase", 0}}}},
    {IDD_ABOUTBOX, {}},
};

class ControlLabelsTest : public ::testing::TestWithParam<unsigned> {};

} // namespace

TEST_P(ControlLabelsTest, EachFieldIsNamedByItsLabelAndReachedByItsMnemonic)
{
    const DialogTemplate* dialogTemplate = FindDialogTemplate(GetParam());
    ASSERT_NE(nullptr, dialogTemplate);
    QDialog dialog;
    const std::map<int, QWidget*> controls = BuildDialogControls(*dialogTemplate, dialog);
    const std::map<int, Labelled>& fields = kFields.at(GetParam());
    for (const ControlTemplate& control : dialogTemplate->controls) {
        if (control.kind != ControlKind::Edit && control.kind != ControlKind::DropDownList)
            continue;
        ASSERT_TRUE(fields.contains(control.id)) << "an unknown field " << control.id;
        const Labelled& expected = fields.at(control.id);
        EXPECT_EQ(expected.name, controls.at(control.id)->accessibleName().toStdString()) << control.id;
        if (expected.label) {
            EXPECT_EQ(controls.at(control.id), qobject_cast<QLabel*>(controls.at(expected.label))->buddy())
                << expected.name;
        }
    }
}

INSTANTIATE_TEST_SUITE_P(EveryDialog, ControlLabelsTest,
                         ::testing::Values(IDD_LOGIN, IDD_PROFILE_GENERAL, IDD_PROFILE_ADVANCED, IDD_PASSPHRASE,
                                           IDD_ABOUTBOX));

// "&&" is a literal "&", in the name as on screen; the single "&" marks the mnemonic.
TEST(ControlLabels, ADoubledAmpersandIsOneLiteralAmpersand)
{
    const ControlTemplate controls[] = {{1, ControlKind::Static, "Save && &Go:", 0, 0, 40, 10},
                                        {2, ControlKind::Edit, "", 50, 0, 40, 10, WS_TABSTOP}};
    const DialogTemplate dialogTemplate{1, "Labels", 100, 20, 0, controls};
    QDialog dialog;
    const std::map<int, QWidget*> built = BuildDialogControls(dialogTemplate, dialog);
    EXPECT_EQ("Save & Go:", built.at(2)->accessibleName().toStdString());
    EXPECT_EQ(built.at(2), qobject_cast<QLabel*>(built.at(1))->buddy());
}
