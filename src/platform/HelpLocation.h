#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

// A place in the help: "kelvane.chm::/html/topic.htm#part" is the place "part" in the file
// html/topic.htm of the help book "kelvane", which is the directory kelvane/ below the help
// directory. The "#part" may be left out.
class CHelpLocation {
public:
    // Splits `location`; none when it lacks the "::/" part, names no book or no file, or leaves
    // its book ("..").
    static std::optional<CHelpLocation> Parse(std::string_view location);

    const std::string& Book() const { return m_book; }
    const std::string& File() const { return m_file; }
    const std::string& Fragment() const { return m_fragment; }
    std::filesystem::path PathUnder(const std::filesystem::path& helpDirectory) const;

private:
    CHelpLocation(std::string book, std::string file, std::string fragment)
        : m_book(std::move(book)), m_file(std::move(file)), m_fragment(std::move(fragment))
    {
    }

    std::string m_book;
    std::string m_file;
    std::string m_fragment;
};
