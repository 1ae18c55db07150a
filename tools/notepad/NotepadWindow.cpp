#include "NotepadWindow.h"

#include <QCloseEvent>
#include <QFile>
#include <QFileInfo>
#include <QMenuBar>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QSaveFile>

NotepadWindow::NotepadWindow(const QString& path, bool readOnly)
    : m_path(path), m_readOnly(readOnly), m_editor(new QPlainTextEdit(this))
{
    setCentralWidget(m_editor);
    m_editor->setLineWrapMode(QPlainTextEdit::NoWrap);
    m_editor->setReadOnly(m_readOnly);
    QMenu* file = menuBar()->addMenu(tr("&File"));
    if (!m_readOnly)
        file->addAction(tr("&Save"), QKeySequence::Save, this, &NotepadWindow::Save);
    file->addAction(tr("&Close"), QKeySequence::Close, this, &QWidget::close);
    connect(m_editor->document(), &QTextDocument::modificationChanged, this, &NotepadWindow::UpdateTitle);
    resize(640, 480);
    if (!m_path.isEmpty())
        Load();
    UpdateTitle();
}

bool NotepadWindow::Load()
{
    QFile file(m_path);
    if (!file.exists())
        return true; // a new file, made on the first save
    if (!file.open(QIODevice::ReadOnly)) {
        QMessageBox::warning(this, tr("Notepad"), tr("Cannot open %1:\n%2").arg(m_path, file.errorString()));
        return false;
    }
    m_editor->setPlainText(QString::fromUtf8(file.readAll()));
    m_editor->document()->setModified(false);
    return true;
}

bool NotepadWindow::Save()
{
    if (m_path.isEmpty() || m_readOnly)
        return false;
    // Write beside the file and swap it in, so a failed save leaves the old text whole.
    QSaveFile file(m_path);
    if (!file.open(QIODevice::WriteOnly) || file.write(m_editor->toPlainText().toUtf8()) < 0 || !file.commit()) {
        QMessageBox::warning(this, tr("Notepad"), tr("Cannot save %1:\n%2").arg(m_path, file.errorString()));
        return false;
    }
    m_editor->document()->setModified(false);
    return true;
}

void NotepadWindow::UpdateTitle()
{
    const QString name = m_path.isEmpty() ? tr("Untitled") : QFileInfo(m_path).fileName();
    setWindowTitle((m_editor->document()->isModified() ? QStringLiteral("*") : QString()) + name +
                   (m_readOnly ? tr(" (read-only)") : QString()) + tr(" - Notepad"));
}

void NotepadWindow::closeEvent(QCloseEvent* event)
{
    if (!m_editor->document()->isModified()) {
        event->accept();
        return;
    }
    const auto answer = QMessageBox::question(this, tr("Notepad"), tr("Save the changes to %1?").arg(m_path),
                                              QMessageBox::Save | QMessageBox::Discard | QMessageBox::Cancel);
    if (answer == QMessageBox::Cancel || (answer == QMessageBox::Save && !Save()))
        event->ignore();
    else
        event->accept();
}
