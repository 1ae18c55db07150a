#pragma once

#include "Wnd.h"

#include <functional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

// Open-file dialog options. The toolkit's dialog has no read-only box, so there is never one to hide.
inline constexpr unsigned OFN_HIDEREADONLY = 0x4;
inline constexpr unsigned OFN_FILEMUSTEXIST = 0x1000;

// What the dialog opens with. Empty texts leave the toolkit's defaults.
struct OPENFILENAME {
    unsigned Flags = 0;
    std::string lpstrTitle;
    std::string lpstrInitialDir;
    std::string lpstrFile; // the initial file name
    int nFilterIndex = 1;  // counted from 1
};

// An open-file dialog on the toolkit's own (not the desktop's) file dialog, so that its
// controls can be changed in OnInitDialog.
class CFileDialog : public CWnd {
public:
    // `filter` lists description and pattern pairs separated by "|", ended by "||"; a pattern may
    // hold several, separated by ";".
    CFileDialog(unsigned flags, std::string_view filter, CWnd* parent = nullptr);

    // Runs the dialog modally (through the file dialog runner); IDOK when a file was chosen.
    int DoModal();
    // The full path of the chosen file.
    const std::string& GetPathName() const { return m_strPathName; }
    // Sets the text of the dialog's button `id`; IDOK is the button that confirms the choice.
    void SetControlText(int id, std::string_view text);
    const std::vector<std::pair<std::string, std::string>>& GetFilters() const { return m_filters; }

    OPENFILENAME m_ofn;

protected:
    // Runs when the dialog's controls exist, before it is shown.
    virtual bool OnInitDialog() { return true; }

private:
    void Configure();

    std::vector<std::pair<std::string, std::string>> m_filters;
    std::string m_strPathName;
    CWnd* m_pParentWnd;
};

// Runs a prepared file dialog in place of the user; returns the chosen full path, or an empty
// text for Cancel. Tests install one.
using FileDialogRunner = std::function<std::string(CFileDialog& dialog)>;
// Installs `runner` (an empty one restores the real dialog) and returns the one it replaces.
FileDialogRunner SetFileDialogRunner(FileDialogRunner runner);
