#pragma once

#include <res/HelpTopics.h>

#include <filesystem>
#include <functional>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

class QWidget;

// Help commands.
inline constexpr unsigned HH_DISPLAY_TOPIC = 0x0000;
inline constexpr unsigned HH_TP_HELP_WM_HELP = 0x0011;
// Ours: the controls of the dialog `caller` that `ids` lists get the text of their popup as their
// accessible description, so that a screen reader says what What's This would show.
inline constexpr unsigned HH_DESCRIBE_CONTROLS = 0x8000;

struct HtmlHelpRequest {
    QWidget* caller;      // the window asking; for a popup, the control it explains
    std::string location; // "book.chm::/path"
    unsigned command;
    std::vector<HelpIdPair> ids; // the popup of each control, up to {0, 0}
};

// Opens help: HH_DISPLAY_TOPIC shows the topic at `location` in the help window;
// HH_TP_HELP_WM_HELP shows, beside `caller`, the popup that `ids` gives the control `caller`
// from the popup text file at `location`. Returns the help window or popup shown, or null. The
// viewer is made on first use.
QWidget* HtmlHelp(QWidget* caller, std::string_view location, unsigned command,
                  std::span<const HelpIdPair> ids = {});

// The file that `location` names in the help directory the viewer uses, when it is missing (or
// `location` is malformed); none when it is there.
std::optional<std::filesystem::path> MissingHelpFile(std::string_view location);

// Answers help requests. Tests install one to record them.
using HtmlHelpRunner = std::function<QWidget*(const HtmlHelpRequest&)>;
// Installs `runner` (an empty one restores the real viewer) and returns the one it replaces.
HtmlHelpRunner SetHtmlHelpRunner(HtmlHelpRunner runner);
