#include "cli/drawn_pictures.h"

#include "cli/offscreen_application.h"
#include "output/plan_chart.h"
#include "output/plan_pdf.h"

namespace quotaplan {

PictureWriter DrawnPictures() {
    return [](const PictureExport& request) {
        const OffscreenApplication drawing;
        if (request.kind == "pdf") {
            return ExportPdf(request.folder, request.description, request.header, *request.plan,
                             request.figures);
        }
        return ExportChartPng(request.folder, request.description, *request.plan);
    };
}

}  // namespace quotaplan
