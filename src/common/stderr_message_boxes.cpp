#include "common/stderr_message_boxes.h"

namespace quotaplan {

BoxAnswer StderrMessageBoxes::Show(const BoxRequest& box) {
    out_ << box.title << ": " << box.prompt << '\n';
    out_.flush();
    ++written_;
    switch (box.buttons) {
        case BoxButtons::Ok:
            return BoxAnswer::Ok;
        case BoxButtons::YesNo:
            return BoxAnswer::No;
        case BoxButtons::YesNoCancel:
            break;
    }
    // No one can answer here: nothing is done that was not asked for.
    return BoxAnswer::Cancel;
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
