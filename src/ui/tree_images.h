#pragma once

#include <QIcon>

namespace quotaplan {

// The three images of the contract tree, drawn here rather than taken from an icon theme
// so they look the same on every desktop: 1 an expanded financing type (an open folder),
// 2 a collapsed one (a closed folder), 3 a contract (a sheet with lines of figures).
enum class TreeImage { ExpandedType = 1, CollapsedType = 2, Contract = 3 };

QIcon TreeImageIcon(TreeImage image);

}  // namespace quotaplan
