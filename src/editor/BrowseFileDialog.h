#pragma once

#include <framework/FileDialog.h>

#include <string>

// Browses for an existing file, starting in the directory of `startPath` with its last component
// as the file name; the confirm button reads "&Select".
class CBrowseFileDialog : public CFileDialog {
public:
    CBrowseFileDialog(const std::string& title, const std::string& startPath, const std::string& filter,
                      int filterIndex, CWnd* parent);

protected:
    bool OnInitDialog() override;
};
