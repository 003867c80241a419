#pragma once

#include <string>
#include <string_view>

namespace quotaplan {

// The title under which the application presents itself; boxes shown with no title at all
// carry it.
inline constexpr const char* kApplicationTitle = "Quotaplan 4";

// Stores the program title used in message-box titles; an empty title leaves it unchanged.
// Program start sets it to "Quotaplan", which is also its value before that.
void SetProgramTitle(std::string_view title);
const std::string& ProgramTitle();

// "major.minor.revision", from the build's version numbers: "4.0.0".
std::string ProgramVersion();

// The program title, one blank and the version: "Quotaplan 4.0.0".
std::string DefaultBoxTitle();

}  // namespace quotaplan
