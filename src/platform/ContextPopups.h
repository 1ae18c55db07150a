#pragma once

#include <map>
#include <string>
#include <string_view>

// The popup texts of a help book, from its text file: a line ".topic N" starts popup N, and the
// lines up to the next ".topic" are its text.
class CContextPopups {
public:
    // Reads the file at `path`; false when it cannot be read.
    bool Load(const std::string& path);
    void Parse(std::string_view text);
    // The text of popup `number`, or null when the file has none.
    const std::string* Find(unsigned number) const;

private:
    std::map<unsigned, std::string> m_texts;
};
