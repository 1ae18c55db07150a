#include "HtmlHelp.h"

#include "HelpViewer.h"

#include <platform/HelpDirectory.h>
#include <platform/HelpLocation.h>

#include <QCoreApplication>

#include <utility>

namespace {

HtmlHelpRunner& Runner()
{
    static HtmlHelpRunner runner;
    return runner;
}

const std::filesystem::path& HelpDirectory()
{
    static const std::filesystem::path directory =
        FindHelpDirectory(QCoreApplication::applicationDirPath().toStdString(), TREVALO_INSTALLED_HELP_DIR);
    return directory;
}

CHelpViewer& Viewer()
{
    static CHelpViewer viewer(HelpDirectory());
    return viewer;
}

} // namespace

std::optional<std::filesystem::path> MissingHelpFile(std::string_view location)
{
    const std::optional<CHelpLocation> parsed = CHelpLocation::Parse(location);
    if (!parsed)
        return HelpDirectory();
    const std::filesystem::path file = parsed->PathUnder(HelpDirectory());
    std::error_code error;
    if (std::filesystem::is_regular_file(file, error))
        return std::nullopt;
    return file;
}

HtmlHelpRunner SetHtmlHelpRunner(HtmlHelpRunner runner)
{
    return std::exchange(Runner(), std::move(runner));
}

QWidget* HtmlHelp(QWidget* caller, std::string_view location, unsigned command,
                  std::span<const HelpIdPair> ids)
{
    HtmlHelpRequest request{caller, std::string(location), command, {}};
    for (const HelpIdPair& pair : ids) {
        request.ids.push_back(pair);
        if (pair.controlId == 0 && pair.popupId == 0)
            break;
    }
    return Runner() ? Runner()(request) : Viewer().Show(request);
}

