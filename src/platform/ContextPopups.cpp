#include "ContextPopups.h"

#include <charconv>
#include <filesystem>
#include <fstream>
#include <sstream>

namespace {

constexpr std::string_view kTopic = ".topic";

std::string_view Trimmed(std::string_view text)
{
    const std::size_t first = text.find_first_not_of(" \t\r\n");
    if (first == std::string_view::npos)
        return {};
    return text.substr(first, text.find_last_not_of(" \t\r\n") - first + 1);
}

// The number of a ".topic N" line; false for any other line.
bool TopicNumber(std::string_view line, unsigned& number)
{
    line = Trimmed(line);
    if (!line.starts_with(kTopic) || line.size() == kTopic.size() ||
        (line[kTopic.size()] != ' ' && line[kTopic.size()] != '\t'))
        return false;
    const std::string_view digits = Trimmed(line.substr(kTopic.size()));
    const auto [end, error] = std::from_chars(digits.data(), digits.data() + digits.size(), number);
    return error == std::errc() && end == digits.data() + digits.size();
}

} // namespace

bool CContextPopups::Load(const std::string& path)
{
    std::error_code error;
    if (!std::filesystem::is_regular_file(path, error))
        return false;
    std::ifstream file(path, std::ios::binary);
    if (!file)
        return false;
    std::ostringstream text;
    text << file.rdbuf();
    if (file.bad())
        return false;
    Parse(text.str());
    return true;
}

void CContextPopups::Parse(std::string_view text)
{
    m_texts.clear();
    std::string* current = nullptr;
    while (!text.empty()) {
        const std::size_t end = text.find('\n');
        std::string_view line = text.substr(0, end);
        text = end == std::string_view::npos ? std::string_view() : text.substr(end + 1);
        if (line.ends_with('\r'))
            line.remove_suffix(1);
        unsigned number = 0;
        if (TopicNumber(line, number))
            current = &m_texts[number];
        else if (current)
            current->append(line).push_back('\n');
    }
    for (auto& [number, popup] : m_texts)
        popup = std::string(Trimmed(popup));
}

const std::string* CContextPopups::Find(unsigned number) const
{
    const auto found = m_texts.find(number);
    return found == m_texts.end() ? nullptr : &found->second;
}
