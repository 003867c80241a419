#include "common/message_boxes.h"

#include "common/number_text.h"
#include "common/program_info.h"

namespace quotaplan {

void ShowMessage(MessageBoxes& boxes, std::string_view prompt, std::string_view title) {
    BoxRequest box{std::string(prompt), DefaultBoxTitle(), BoxIcon::None, BoxButtons::Ok};
    if (!title.empty()) {
        box.title = std::string(title) + "  " + DefaultBoxTitle();
        box.icon = BoxIcon::Exclamation;
    }
    boxes.Show(box);
}

BoxAnswer AskYesNo(MessageBoxes& boxes, std::string_view prompt, std::string_view title) {
    const std::string boxTitle =
        title.empty() ? DefaultBoxTitle() : std::string(title) + " " + ProgramVersion();
    const BoxAnswer answer = boxes.Show(
        BoxRequest{std::string(prompt), boxTitle, BoxIcon::Information, BoxButtons::YesNo});
    // Callers act only on Yes; anything else a box might return counts as No.
    return answer == BoxAnswer::Yes ? BoxAnswer::Yes : BoxAnswer::No;
}

BoxAnswer AskYesNoCancel(MessageBoxes& boxes, std::string_view prompt) {
    const BoxAnswer answer = boxes.Show(BoxRequest{std::string(prompt), DefaultBoxTitle(),
                                                   BoxIcon::Exclamation, BoxButtons::YesNoCancel});
    return answer == BoxAnswer::Yes || answer == BoxAnswer::No ? answer : BoxAnswer::Cancel;
}

void ShowError(MessageBoxes& boxes, std::int16_t errorNumber, std::string_view description,
               std::string_view title) {
    std::string prompt(description);
    if (errorNumber != 0) prompt += "\nErrore Numero: " + FormatNumber(errorNumber, 4);
    const std::string boxTitle = title.empty() ? ProgramTitle() : std::string(title);
    boxes.Show(BoxRequest{prompt, boxTitle, BoxIcon::Critical, BoxButtons::Ok});
}

void ReportError(MessageBoxes& boxes, std::string_view location, std::string_view description,
                 std::string_view title) {
    std::string prompt(description);
    if (!location.empty()) prompt += "\nIndirizzo errore: " + std::string(location);
    const std::string boxTitle =
        title.empty() ? DefaultBoxTitle() : std::string(title) + " " + DefaultBoxTitle();
    boxes.Show(BoxRequest{prompt, boxTitle, BoxIcon::Critical, BoxButtons::Ok});
}

void ShowPlainBox(MessageBoxes& boxes, std::string_view prompt, std::string_view title,
                  BoxIcon icon) {
    const std::string boxTitle = title.empty() ? kApplicationTitle : std::string(title);
    boxes.Show(BoxRequest{std::string(prompt), boxTitle, icon, BoxButtons::Ok});
}

}  // namespace quotaplan
