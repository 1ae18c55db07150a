#pragma once

#include "resource.h"

#include <string_view>

// Places in the help, as "book.chm::/path inside the book".
inline constexpr std::string_view kHelpOverviewTopic = "kelvane.chm::/html/trevalo_overview.htm";
inline constexpr std::string_view kHelpProfileTopic =
    "kelvane.chm::/html/setting_up_a_connection_profile.htm";
inline constexpr std::string_view kHelpContextPopups = "kelvane.chm::/context.txt";

inline constexpr std::string_view kHelpLocations[] = {kHelpOverviewTopic, kHelpProfileTopic,
                                                      kHelpContextPopups};

// Which popup of the popup text file explains a control; a list of them ends with {0, 0}.
struct HelpIdPair {
    int controlId;
    unsigned popupId;
};

// The login window's controls that have a popup.
inline constexpr HelpIdPair kLoginContextHelpIds[] = {
    {IDC_PROFILE_COMBO, 23}, {IDC_TOKEN_COMBO, 24}, {IDC_USER_ID, 25}, {0, 0}};
