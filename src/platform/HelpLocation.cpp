#include "HelpLocation.h"

namespace {

constexpr std::string_view kSeparator = "::/";

bool StaysInside(const std::filesystem::path& file)
{
    for (const auto& part : file)
        if (part == "..")
            return false;
    return true;
}

} // namespace

std::optional<CHelpLocation> CHelpLocation::Parse(std::string_view location)
{
    const std::size_t separator = location.find(kSeparator);
    if (separator == std::string_view::npos)
        return std::nullopt;
    const std::filesystem::path bookFile(location.substr(0, separator));
    const std::string_view place = location.substr(separator + kSeparator.size());
    const std::size_t hash = place.find('#');
    const std::string file(place.substr(0, hash));
    const std::string fragment(hash == std::string_view::npos ? std::string_view() : place.substr(hash + 1));
    const std::string book = bookFile.stem().string();
    if (book.empty() || bookFile.has_parent_path() || file.empty() || file.front() == '/' || !StaysInside(file))
        return std::nullopt;
    return CHelpLocation(book, file, fragment);
}

std::filesystem::path CHelpLocation::PathUnder(const std::filesystem::path& helpDirectory) const
{
    return helpDirectory / m_book / m_file;
}
