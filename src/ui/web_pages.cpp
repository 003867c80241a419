#include "ui/web_pages.h"

#include "common/desktop_shell.h"
#include "common/message_boxes.h"

#ifndef QUOTAPLAN_WEB_HOST
#error "QUOTAPLAN_WEB_HOST must name the host of the maker's web site"
#endif

namespace quotaplan {

std::string MakerWebHost() { return QUOTAPLAN_WEB_HOST; }

std::string MakerWebAddress(std::string_view path) {
    return "http://" + MakerWebHost() + std::string(path);
}

void OpenWebPage(DesktopShell& shell, MessageBoxes& boxes, std::string_view path) {
    if (!shell.OpenUrl(MakerWebAddress(path))) {
        ShowPlainBox(boxes, kNoInternetMessage, "", BoxIcon::Information);
    }
}

}  // namespace quotaplan
