#pragma once

#include <QMainWindow>
#include <QString>

class QPlainTextEdit;

// A plain text editor for one file: open, edit, save, close.
class NotepadWindow : public QMainWindow {
public:
    explicit NotepadWindow(const QString& path);

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    bool Load();
    bool Save();
    void UpdateTitle();

    QString m_path;
    QPlainTextEdit* m_editor;
};
