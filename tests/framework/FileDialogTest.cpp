#include <framework/FileDialog.h>
#include <framework/MessageBox.h>

#include <QAbstractProxyModel>
#include <QApplication>
#include <QComboBox>
#include <QFileDialog>
#include <QFileSystemModel>
#include <QTest>
#include <QTemporaryDir>
#include <QTimer>

#include <gtest/gtest.h>

#include <functional>

namespace {

constexpr const char* kFilter = "Text Files (*.txt)|*.txt|Pictures|*.png;*.jpg|All Files (*.*)|*.*||";

// Answers file dialogs with `answer` after letting `look` inspect the prepared dialog.
class ScopedFileDialogRunner {
public:
    ScopedFileDialogRunner(std::string answer, std::function<void(QFileDialog&)> look)
        : m_previous(SetFileDialogRunner([answer, look](CFileDialog& dialog) {
              look(*qobject_cast<QFileDialog*>(dialog.GetSafeHwnd()));
              return answer;
          }))
    {
    }
    ~ScopedFileDialogRunner() { SetFileDialogRunner(std::move(m_previous)); }

private:
    FileDialogRunner m_previous;
};

class CLabelledFileDialog : public CFileDialog {
public:
    using CFileDialog::CFileDialog;

protected:
    bool OnInitDialog() override
    {
        SetControlText(IDOK, "&Take");
        return CFileDialog::OnInitDialog();
    }
};

} // namespace

TEST(FileDialog, SplitsTheFilterIntoPairs)
{
    const CFileDialog dialog(0, kFilter);
    using Pairs = std::vector<std::pair<std::string, std::string>>;
    EXPECT_EQ((Pairs{{"Text Files (*.txt)", "*.txt"}, {"Pictures", "*.png;*.jpg"}, {"All Files (*.*)", "*.*"}}),
              dialog.GetFilters());
    EXPECT_TRUE(CFileDialog(0, "").GetFilters().empty());
}

TEST(FileDialog, OpensAsTheOptionsSayAndReturnsTheChosenPath)
{
    CLabelledFileDialog dialog(OFN_FILEMUSTEXIST | OFN_HIDEREADONLY, kFilter);
    dialog.m_ofn.lpstrTitle = "Pick one";
    dialog.m_ofn.lpstrInitialDir = "/tmp";
    dialog.m_ofn.nFilterIndex = 3;
    bool looked = false;
    ScopedFileDialogRunner runner("/tmp/chosen.txt", [&](QFileDialog& qt) {
        looked = true;
        EXPECT_TRUE(qt.testOption(QFileDialog::DontUseNativeDialog));
        EXPECT_EQ(QFileDialog::ExistingFile, qt.fileMode());
        EXPECT_EQ("Pick one", qt.windowTitle().toStdString());
        EXPECT_EQ("/tmp", qt.directory().absolutePath().toStdString());
        EXPECT_EQ("&Take", qt.labelText(QFileDialog::Accept).toStdString());
        EXPECT_EQ((QStringList{"Text Files (*.txt) (*.txt)", "Pictures (*.png *.jpg)", "All Files (*.*) (*)"}),
                  qt.nameFilters());
        // The user sees the descriptions; "All Files" lists every file, those without a dot included.
        EXPECT_EQ("All Files (*.*)", qt.selectedNameFilter().toStdString());
    });
    EXPECT_EQ(IDOK, dialog.DoModal());
    EXPECT_TRUE(looked);
    EXPECT_EQ("/tmp/chosen.txt", dialog.GetPathName());
}

TEST(FileDialog, CancelChoosesNothing)
{
    CFileDialog dialog(OFN_FILEMUSTEXIST, kFilter);
    ScopedFileDialogRunner runner("", [](QFileDialog& qt) { EXPECT_EQ("Text Files (*.txt)", qt.selectedNameFilter().toStdString()); });
    EXPECT_EQ(IDCANCEL, dialog.DoModal());
    EXPECT_EQ("", dialog.GetPathName());
}

TEST(FileDialog, WithoutARunnerTheToolkitsDialogRunsModally)
{
    QTemporaryDir dir;
    const QString chosen = dir.filePath("dialer");
    QFile(chosen).open(QIODevice::WriteOnly);
    CFileDialog dialog(OFN_FILEMUSTEXIST, kFilter);
    dialog.m_ofn.lpstrInitialDir = dir.path().toStdString();
    dialog.m_ofn.nFilterIndex = 3;
    QTimer::singleShot(0, [chosen] {
        auto* shown = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
        ASSERT_NE(nullptr, shown);
        shown->selectFile(chosen);
        static_cast<QDialog*>(shown)->accept(); // as the Select button does
    });
    EXPECT_EQ(IDOK, dialog.DoModal());
    EXPECT_EQ(chosen.toStdString(), dialog.GetPathName());

    QTimer::singleShot(0, [] { QApplication::activeModalWidget()->close(); });
    EXPECT_EQ(IDCANCEL, dialog.DoModal());
}

TEST(FileDialog, TheExecutablesFilterShowsWhatMayRun)
{
    QTemporaryDir dir;
    for (const char* name : {"dialer", "notes.txt"})
        QFile(dir.filePath(name)).open(QIODevice::WriteOnly);
    QFile(dir.filePath("dialer")).setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    QDir(dir.path()).mkdir("bin");
    CFileDialog dialog(OFN_FILEMUSTEXIST, "Executable Files (*.exe)|*.exe|All Files (*.*)|*.*||");
    dialog.m_ofn.lpstrInitialDir = dir.path().toStdString();
    ScopedFileDialogRunner runner("", [&dir](QFileDialog& qt) {
        EXPECT_EQ("Executable Files (*.exe)", qt.selectedNameFilter().toStdString());
        const QAbstractProxyModel* shown = qt.proxyModel();
        ASSERT_NE(nullptr, shown);
        const auto* files = qobject_cast<const QFileSystemModel*>(shown->sourceModel());
        const auto shownNames = [&] {
            QStringList names;
            const QModelIndex folder = shown->mapFromSource(files->index(dir.path()));
            for (int row = 0; row < shown->rowCount(folder); ++row)
                names << shown->index(row, 0, folder).data().toString();
            names.sort();
            return names;
        };
        EXPECT_TRUE(QTest::qWaitFor([&] { return shownNames() == QStringList{"bin", "dialer"}; }, 5000)) << shownNames().join(' ').toStdString();
        // The user picks "All Files" in the list of filters.
        auto* types = qt.findChild<QComboBox*>(QStringLiteral("fileTypeCombo"));
        ASSERT_NE(nullptr, types);
        QTest::keyClick(types, Qt::Key_Down);
        EXPECT_TRUE(QTest::qWaitFor([&] { return shownNames() == QStringList{"bin", "dialer", "notes.txt"}; }, 5000))
            << shownNames().join(' ').toStdString();
    });
    EXPECT_EQ(IDCANCEL, dialog.DoModal());
}
