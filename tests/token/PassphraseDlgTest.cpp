#include <token/PassphraseDlg.h>

#include <framework/Edit.h>
#include <res/resource.h>

#include <QLineEdit>
#include <QTest>

#include <gtest/gtest.h>

namespace {

// Types `text` into the prompt and ends it with `key`.
class TypingRunner {
public:
    TypingRunner(std::string text, Qt::Key key) : m_text(std::move(text)), m_key(key)
    {
        m_previous = SetModalRunner([this](CDialog& dialog) {
            auto* edit = qobject_cast<QLineEdit*>(dialog.GetControl(IDC_PASSPHRASE));
            masked = edit->echoMode() == QLineEdit::Password;
            caption = dialog.GetWindowText();
            edit->setFocus();
            QTest::keyClicks(edit, QString::fromStdString(m_text));
            QTest::keyClick(edit, m_key);
        });
    }
    ~TypingRunner() { SetModalRunner(std::move(m_previous)); }

    bool masked = false;
    std::string caption;

private:
    std::string m_text;
    Qt::Key m_key;
    ModalRunner m_previous;
};

} // namespace

TEST(PassphraseDlg, OkTakesTheMaskedText)
{
    TypingRunner runner("s3cret phrase", Qt::Key_Return);
    CPassphraseDlg dialog;
    EXPECT_EQ(IDOK, dialog.DoModal());
    EXPECT_EQ("s3cret phrase", dialog.m_strPassphrase);
    EXPECT_TRUE(runner.masked);
    EXPECT_EQ("Token Passphrase Required", runner.caption);
}

TEST(PassphraseDlg, OkWithNothingTypedGivesAnEmptyPassphrase)
{
    TypingRunner runner("", Qt::Key_Return);
    CPassphraseDlg dialog;
    EXPECT_EQ(IDOK, dialog.DoModal());
    EXPECT_EQ("", dialog.m_strPassphrase);
}

TEST(PassphraseDlg, CancelLeavesThePassphraseEmpty)
{
    TypingRunner runner("typed", Qt::Key_Escape);
    CPassphraseDlg dialog;
    EXPECT_EQ(IDCANCEL, dialog.DoModal());
    EXPECT_EQ("", dialog.m_strPassphrase);
}
