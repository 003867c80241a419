#pragma once

#include <memory>

class QApplication;

namespace quotaplan {

// The Qt application a chart needs to be drawn, for as long as this object lives, when the
// process has none: on the offscreen platform, since the calculator never shows a window
// and must run without a display. Qt's own warnings (a missing runtime folder, font
// notes) are kept off standard error meanwhile, which belongs to the calculator's messages.
class OffscreenApplication {
public:
    OffscreenApplication();
    ~OffscreenApplication();
    OffscreenApplication(const OffscreenApplication&) = delete;
    OffscreenApplication& operator=(const OffscreenApplication&) = delete;

private:
    // QApplication keeps referring to its argument count and vector: they live as long.
    int argc_ = 3;
    char* argv_[4] = {};
    std::unique_ptr<QApplication> application_;
};

}  // namespace quotaplan
