#pragma once

#include <optional>
#include <ostream>
#include <string>
#include <vector>

namespace quotaplan {

// What decides whether Qt can open a window: $DISPLAY, $WAYLAND_DISPLAY, $QT_QPA_PLATFORM.
struct DisplayEnvironment {
    std::string display;
    std::string waylandDisplay;
    std::string platform;
};

// The process's own DisplayEnvironment.
DisplayEnvironment CurrentDisplayEnvironment();

// The text of `quotaplan --help`.
std::string WindowUsageText();

// What quotaplan answers before it needs a display, args being its arguments without the
// program's name: --help or -h prints WindowUsageText() and --version "quotaplan 4.0.0" on
// out, status 0; with no display for the platform Qt would choose (none named, or only xcb
// and wayland ones, and neither DISPLAY nor WAYLAND_DISPLAY set) one Italian line on err,
// status 1. nullopt when the window is to be started; Qt's own options (-platform, -style...)
// are left to Qt.
std::optional<int> AnswerBeforeWindow(const std::vector<std::string>& args,
                                      const DisplayEnvironment& environment, std::ostream& out,
                                      std::ostream& err);

}  // namespace quotaplan
