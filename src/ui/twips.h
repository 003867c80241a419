#pragma once

#include <QRect>

namespace quotaplan {

// The window's layout is given in twips; at 96 dpi fifteen twips make one pixel, and
// Qt's high-DPI scaling takes it from there.
constexpr int Twips(int twips) { return twips / 15; }

// Controls on a tab page were placed below the tab strip of the page; this much of the
// page's own top belonged to the strip, which QTabWidget draws outside the page.
constexpr int kTabStripTwips = 390;

inline QRect PageRect(int left, int top, int width, int height) {
    return {Twips(left), Twips(top - kTabStripTwips), width, height};
}

}  // namespace quotaplan
