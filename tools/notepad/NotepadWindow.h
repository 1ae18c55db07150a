#pragma once

#include <QMainWindow>
#include <QString>

class QPlainTextEdit;

// A plain text editor for one file: open, edit, save, close. Read-only, it only shows the file.
class NotepadWindow : public QMainWindow {
public:
    NotepadWindow(const QString& path, bool readOnly);

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    bool Load();
    bool Save();
    void UpdateTitle();

    QString m_path;
    bool m_readOnly;
    QPlainTextEdit* m_editor;
};
