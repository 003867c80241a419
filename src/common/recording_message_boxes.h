#pragma once

#include <deque>
#include <optional>
#include <string>
#include <vector>

#include "common/message_boxes.h"

namespace quotaplan {

// Message boxes for tests: records every box and answers from scripted queues, never
// blocking. With nothing scripted an OK box answers Ok, a Yes/No box No, a Yes/No/Cancel box
// Cancel, an input box, a file chooser and a list chooser nullopt (Cancel).
class RecordingMessageBoxes : public MessageBoxes {
public:
    // An input box as it was asked.
    struct TextRequest {
        std::string prompt;
        std::string title;
        std::string defaultText;
    };

    BoxAnswer Show(const BoxRequest& box) override;
    std::optional<std::string> AskText(const std::string& prompt, const std::string& title,
                                       const std::string& defaultText) override;
    std::optional<std::string> AskOpenFile(const std::string& title,
                                           const std::string& filter) override;
    std::optional<std::string> AskChoice(const ChoiceRequest& request) override;

    // Queues the answer of the next Yes/No or Yes/No/Cancel box.
    void ScriptAnswer(BoxAnswer answer);
    // Queues the answer of the next input box (nullopt: Cancel).
    void ScriptText(std::optional<std::string> text);
    // Queues the file the next file chooser picks (nullopt: Cancel).
    void ScriptFile(std::optional<std::string> file);
    // Queues the entry the next list chooser picks (nullopt: Cancel).
    void ScriptChoice(std::optional<std::string> choice);

    std::vector<BoxRequest> shown;
    std::vector<TextRequest> asked;
    std::vector<std::string> fileTitles;  // the title of every file chooser opened
    std::vector<ChoiceRequest> choices;   // every list chooser as it was asked

private:
    std::deque<BoxAnswer> answers_;
    std::deque<std::optional<std::string>> texts_;
    std::deque<std::optional<std::string>> files_;
    std::deque<std::optional<std::string>> choices_;
};

}  // namespace quotaplan
