#include "HtmlHelp.h"

#include "HelpViewer.h"

#include <platform/HelpDirectory.h>

#include <QCoreApplication>

#include <utility>

namespace {

HtmlHelpRunner& Runner()
{
    static HtmlHelpRunner runner;
    return runner;
}

CHelpViewer& Viewer()
{
    static CHelpViewer viewer(
        FindHelpDirectory(QCoreApplication::applicationDirPath().toStdString(), TREVALO_INSTALLED_HELP_DIR));
    return viewer;
}

} // namespace

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
