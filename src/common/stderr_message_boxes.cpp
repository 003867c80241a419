#include "common/stderr_message_boxes.h"

namespace quotaplan {

BoxAnswer StderrMessageBoxes::Show(const BoxRequest& box) {
    out_ << box.title << ": " << box.prompt << '\n';
    out_.flush();
    ++written_;
    return box.buttons == BoxButtons::Ok ? BoxAnswer::Ok : BoxAnswer::No;
}

std::optional<std::string> StderrMessageBoxes::AskText(const std::string& prompt,
                                                       const std::string& title,
                                                       const std::string&) {
    out_ << title << ": " << prompt << '\n';
    out_.flush();
    ++written_;
    return std::nullopt;
}

}  // namespace quotaplan
