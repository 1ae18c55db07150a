#pragma once

#include "HtmlHelp.h"

#include <QPointer>

#include <filesystem>
#include <string>

class QTextBrowser;

// Shows help from the books below a help directory: topics in one help window, which belongs to
// the window that asked last, and popup texts beside the control they explain. A missing book,
// topic or popup is said in words where the help would have been.
class CHelpViewer {
public:
    explicit CHelpViewer(std::filesystem::path helpDirectory);
    CHelpViewer(const CHelpViewer&) = delete;
    CHelpViewer& operator=(const CHelpViewer&) = delete;

    // Carries out `request`; returns the help window or popup shown, or null.
    QWidget* Show(const HtmlHelpRequest& request);
    // The text of popup `popupId` from the popup text file at `location`, or a message saying why
    // there is none.
    std::string PopupText(const std::string& location, unsigned popupId) const;

private:
    QWidget* DisplayTopic(QWidget* caller, const std::string& location);
    QWidget* ShowPopup(QWidget* caller, const std::string& location, const std::vector<HelpIdPair>& ids);
    void DescribeControls(QWidget* dialog, const std::string& location, const std::vector<HelpIdPair>& ids) const;
    QTextBrowser& Window(QWidget* caller);

    std::filesystem::path m_helpDirectory;
    QPointer<QTextBrowser> m_window;
};
