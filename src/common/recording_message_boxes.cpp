#include "common/recording_message_boxes.h"

#include <utility>

namespace quotaplan {

BoxAnswer RecordingMessageBoxes::Show(const BoxRequest& box) {
    shown.push_back(box);
    if (box.buttons == BoxButtons::Ok) return BoxAnswer::Ok;
    if (answers_.empty()) {
        return box.buttons == BoxButtons::YesNoCancel ? BoxAnswer::Cancel : BoxAnswer::No;
    }
    const BoxAnswer answer = answers_.front();
    answers_.pop_front();
    return answer;
}

std::optional<std::string> RecordingMessageBoxes::AskText(const std::string& prompt,
                                                          const std::string& title,
                                                          const std::string& defaultText) {
    asked.push_back(TextRequest{prompt, title, defaultText});
    if (texts_.empty()) return std::nullopt;
    std::optional<std::string> text = std::move(texts_.front());
    texts_.pop_front();
    return text;
}

std::optional<std::string> RecordingMessageBoxes::AskOpenFile(const std::string& title,
                                                              const std::string&) {
    fileTitles.push_back(title);
    if (files_.empty()) return std::nullopt;
    std::optional<std::string> file = std::move(files_.front());
    files_.pop_front();
    return file;
}

std::optional<std::string> RecordingMessageBoxes::AskChoice(const ChoiceRequest& request) {
    choices.push_back(request);
    if (choices_.empty()) return std::nullopt;
    std::optional<std::string> choice = std::move(choices_.front());
    choices_.pop_front();
    return choice;
}

void RecordingMessageBoxes::ScriptAnswer(BoxAnswer answer) { answers_.push_back(answer); }

void RecordingMessageBoxes::ScriptText(std::optional<std::string> text) {
    texts_.push_back(std::move(text));
}

void RecordingMessageBoxes::ScriptFile(std::optional<std::string> file) {
    files_.push_back(std::move(file));
}

void RecordingMessageBoxes::ScriptChoice(std::optional<std::string> choice) {
    choices_.push_back(std::move(choice));
}

}  // namespace quotaplan
