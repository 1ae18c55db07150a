// The help that ships with the program: every place the program names exists, every link inside
// the help leads somewhere, and the build tree holds the copy the program finds.
#include <platform/ContextPopups.h>
#include <platform/HelpDirectory.h>
#include <platform/HelpLocation.h>
#include <res/HelpTopics.h>

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <regex>
#include <set>
#include <sstream>

namespace fs = std::filesystem;

namespace {

const fs::path kSource = HELP_SOURCE_DIR;

std::string Contents(const fs::path& file)
{
    std::ifstream in(file, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

std::vector<std::string> Matches(const std::string& text, const std::regex& pattern)
{
    std::vector<std::string> found;
    for (auto it = std::sregex_iterator(text.begin(), text.end(), pattern); it != std::sregex_iterator();
         ++it)
        found.push_back((*it)[1].str());
    return found;
}

std::set<std::string> Anchors(const fs::path& page)
{
    static const std::regex kAnchor(R"re(\b(?:id|name)\s*=\s*"([^"]*)")re", std::regex::icase);
    const std::vector<std::string> found = Matches(Contents(page), kAnchor);
    return {found.begin(), found.end()};
}

std::vector<fs::path> Pages()
{
    std::vector<fs::path> pages;
    for (const auto& entry : fs::recursive_directory_iterator(kSource))
        if (entry.is_regular_file() && entry.path().extension() == ".htm")
            pages.push_back(entry.path());
    return pages;
}

} // namespace

TEST(HelpContent, EveryPlaceTheProgramNamesExists)
{
    for (const std::string_view location : kHelpLocations) {
        const auto parsed = CHelpLocation::Parse(location);
        ASSERT_TRUE(parsed) << location;
        EXPECT_TRUE(fs::is_regular_file(parsed->PathUnder(kSource))) << location;
    }
}

TEST(HelpContent, EveryControlWithHelpHasItsPopup)
{
    CContextPopups popups;
    ASSERT_TRUE(popups.Load(CHelpLocation::Parse(kHelpContextPopups)->PathUnder(kSource).string()));
    for (const HelpIdPair& pair : kLoginContextHelpIds) {
        if (pair.controlId == 0)
            break;
        const std::string* text = popups.Find(pair.popupId);
        ASSERT_TRUE(text) << pair.popupId;
        EXPECT_FALSE(text->empty()) << pair.popupId;
    }
}

TEST(HelpContent, EveryLinkLeadsToAPageAndPlaceThatExist)
{
    static const std::regex kLink(R"re(\b(?:href|src)\s*=\s*"([^"]*)")re", std::regex::icase);
    const std::vector<fs::path> pages = Pages();
    ASSERT_GE(pages.size(), 2u);
    int links = 0;
    for (const fs::path& page : pages) {
        for (const std::string& link : Matches(Contents(page), kLink)) {
            if (link.starts_with("http:") || link.starts_with("https:") || link.starts_with("mailto:"))
                continue;
            ++links;
            const std::size_t hash = link.find('#');
            const std::string file = link.substr(0, hash);
            const fs::path target = file.empty() ? page : (page.parent_path() / file).lexically_normal();
            EXPECT_TRUE(fs::is_regular_file(target)) << page << ": " << link;
            EXPECT_EQ(0u, target.lexically_relative(kSource).string().find("kelvane/"))
                << page << ": " << link;
            if (hash != std::string::npos && fs::is_regular_file(target)) {
                EXPECT_TRUE(Anchors(target).contains(link.substr(hash + 1))) << page << ": " << link;
            }
        }
    }
    EXPECT_GT(links, 0);
}

TEST(HelpContent, TheBuildTreeHoldsTheCopyTheProgramFinds)
{
    const fs::path bin = fs::read_symlink("/proc/self/exe").parent_path();
    const fs::path found = FindHelpDirectory(bin, "/nonexistent");
    EXPECT_EQ(fs::weakly_canonical(HELP_BUILD_DIR), fs::weakly_canonical(found));
    for (const std::string_view location : kHelpLocations) {
        const auto parsed = CHelpLocation::Parse(location);
        EXPECT_EQ(Contents(parsed->PathUnder(kSource)), Contents(parsed->PathUnder(found))) << location;
    }
}
