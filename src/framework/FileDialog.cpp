#include "FileDialog.h"

#include "MessageBox.h" // IDOK
#include "NestedLoops.h"

#include <QApplication>
#include <QFileDialog>
#include <QFileSystemModel>
#include <QSortFilterProxyModel>

#include <memory>

namespace {

FileDialogRunner& Runner()
{
    static FileDialogRunner runner;
    return runner;
}

QString ToQt(std::string_view text)
{
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

// "desc|pattern|desc|pattern||" into its pairs.
std::vector<std::pair<std::string, std::string>> ParseFilter(std::string_view filter)
{
    std::vector<std::string> parts;
    std::size_t start = 0;
    for (std::size_t bar = filter.find('|'); bar != std::string_view::npos; bar = filter.find('|', start)) {
        parts.emplace_back(filter.substr(start, bar - start));
        start = bar + 1;
    }
    std::vector<std::pair<std::string, std::string>> pairs;
    for (std::size_t i = 0; i + 1 < parts.size() && !parts[i].empty(); i += 2)
        pairs.emplace_back(parts[i], parts[i + 1]);
    return pairs;
}

// Linux programs have no ".exe": this pattern alone stands for the files one may run.
bool IsExecutablesPattern(std::string_view pattern)
{
    return pattern == "*.exe";
}

// The toolkit's filter: the description for the user, then the patterns in parentheses. In this
// notation "*.*" means every file, not only names with a dot; executables are told apart by
// ExecutablesOnly, not by name.
QString QtFilter(const std::pair<std::string, std::string>& filter)
{
    QStringList patterns = ToQt(filter.second).split(QLatin1Char(';'), Qt::SkipEmptyParts);
    for (QString& pattern : patterns)
        if (pattern.trimmed() == QLatin1String("*.*") || IsExecutablesPattern(pattern.trimmed().toStdString()))
            pattern = QStringLiteral("*");
    return ToQt(filter.first) + QStringLiteral(" (") + patterns.join(QLatin1Char(' ')).trimmed() + QLatin1Char(')');
}

// While the executables' filter is chosen, shows folders and the files with an execute bit.
class ExecutablesOnly : public QSortFilterProxyModel {
public:
    // `filter` as given to the dialog, and its description alone.
    ExecutablesOnly(QFileDialog& dialog, QString filter, QString description)
        : QSortFilterProxyModel(&dialog), m_filter(std::move(filter)), m_description(std::move(description))
    {
        connect(&dialog, &QFileDialog::filterSelected, this, &ExecutablesOnly::Choose);
    }

    // The dialog names the chosen filter with or without its patterns, by the toolkit's version.
    void Choose(const QString& filter)
    {
        m_active = filter == m_filter || filter == m_description;
        invalidateFilter();
    }

protected:
    bool filterAcceptsRow(int row, const QModelIndex& parent) const override
    {
        if (!m_active)
            return true;
        const auto* files = static_cast<const QFileSystemModel*>(sourceModel());
        const QFileInfo info = files->fileInfo(files->index(row, 0, parent));
        return info.isDir() || info.isExecutable();
    }

private:
    QString m_filter;
    QString m_description;
    bool m_active = false;
};

} // namespace

FileDialogRunner SetFileDialogRunner(FileDialogRunner runner)
{
    return std::exchange(Runner(), std::move(runner));
}

CFileDialog::CFileDialog(unsigned flags, std::string_view filter, CWnd* parent)
    : m_filters(ParseFilter(filter)), m_pParentWnd(parent)
{
    m_ofn.Flags = flags;
}

void CFileDialog::SetControlText(int id, std::string_view text)
{
    if (auto* dialog = qobject_cast<QFileDialog*>(m_hWnd.data()); dialog && id == IDOK)
        dialog->setLabelText(QFileDialog::Accept, ToQt(text));
}

void CFileDialog::Configure()
{
    auto* dialog = qobject_cast<QFileDialog*>(m_hWnd.data());
    dialog->setOption(QFileDialog::DontUseNativeDialog);
    // The descriptions already name their patterns.
    dialog->setOption(QFileDialog::HideNameFilterDetails);
    dialog->setAcceptMode(QFileDialog::AcceptOpen);
    dialog->setFileMode(m_ofn.Flags & OFN_FILEMUSTEXIST ? QFileDialog::ExistingFile : QFileDialog::AnyFile);
    if (!m_ofn.lpstrTitle.empty())
        dialog->setWindowTitle(ToQt(m_ofn.lpstrTitle));
    QStringList filters;
    ExecutablesOnly* executables = nullptr;
    for (const auto& filter : m_filters) {
        filters << QtFilter(filter);
        if (IsExecutablesPattern(filter.second) && !executables) {
            executables = new ExecutablesOnly(*dialog, filters.back(), ToQt(filter.first));
            dialog->setProxyModel(executables);
        }
    }
    dialog->setNameFilters(filters);
    if (m_ofn.nFilterIndex >= 1 && m_ofn.nFilterIndex <= filters.size())
        dialog->selectNameFilter(filters[m_ofn.nFilterIndex - 1]);
    if (executables)
        executables->Choose(dialog->selectedNameFilter());
    if (!m_ofn.lpstrInitialDir.empty())
        dialog->setDirectory(ToQt(m_ofn.lpstrInitialDir));
    if (!m_ofn.lpstrFile.empty())
        dialog->selectFile(ToQt(m_ofn.lpstrFile));
}

int CFileDialog::DoModal()
{
    m_strPathName.clear();
    CModalGate gate;
    if (!gate.MayOpen())
        return IDCANCEL;
    QWidget* owner = m_pParentWnd && m_pParentWnd->GetSafeHwnd() ? m_pParentWnd->GetSafeHwnd()->window()
                                                                 : QApplication::activeWindow();
    auto dialog = std::make_unique<QFileDialog>(owner);
    m_hWnd = dialog.get();
    Configure();
    OnInitDialog();
    gate.SetClose([&dialog] { dialog->reject(); });
    if (Runner())
        m_strPathName = Runner()(*this);
    else if (dialog->exec() == QDialog::Accepted && !dialog->selectedFiles().isEmpty())
        m_strPathName = dialog->selectedFiles().constFirst().toStdString();
    gate.SetClose({});
    m_hWnd = nullptr;
    if (gate.WasClosed())
        m_strPathName.clear();
    return m_strPathName.empty() ? IDCANCEL : IDOK;
}
