#include "ToolArguments.h"

#include <string_view>

namespace {

std::nullopt_t Refuse(std::string& error, std::string text)
{
    error = std::move(text);
    return std::nullopt;
}

} // namespace

std::optional<ToolArguments> ToolArguments::Parse(int argc, char** argv,
                                                  const std::set<std::string>& valueOptions,
                                                  const std::set<std::string>& flagOptions,
                                                  std::string& error)
{
    ToolArguments arguments;
    bool operandsOnly = false;
    for (int i = 1; i < argc; ++i) {
        const std::string_view word = argv[i];
        if (operandsOnly || word.size() < 3 || !word.starts_with("--")) {
            if (arguments.command.empty())
                arguments.command = word;
            else
                arguments.operands.push_back(argv[i]);
            continue;
        }
        if (word == "--") {
            operandsOnly = true;
            continue;
        }
        const std::size_t equals = word.find('=');
        const std::string name(word.substr(2, equals == std::string_view::npos ? word.npos : equals - 2));
        if (flagOptions.contains(name) && equals == std::string_view::npos) {
            if (!arguments.flags.insert(name).second)
                return Refuse(error, "--" + name + " given twice");
        } else if (valueOptions.contains(name)) {
            std::string value;
            if (equals != std::string_view::npos)
                value = word.substr(equals + 1);
            else if (i + 1 < argc)
                value = argv[++i];
            else
                return Refuse(error, "--" + name + " needs a value");
            if (!arguments.options.emplace(name, value).second)
                return Refuse(error, "--" + name + " given twice");
        } else {
            // Only the name: the value may be a seed typed in the wrong place.
            return Refuse(error, "unknown option --" + name);
        }
    }
    return arguments;
}
