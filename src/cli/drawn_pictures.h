#pragma once

#include "cli/picture_export.h"

namespace quotaplan {

// The drawing program's writer: the chart drawn offscreen (OffscreenApplication), the file
// written by ExportPdf or ExportChartPng.
PictureWriter DrawnPictures();

}  // namespace quotaplan
