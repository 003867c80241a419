#pragma once

#include <iostream>
#include <optional>
#include <ostream>
#include <string>

#include "common/message_boxes.h"

namespace quotaplan {

// Message boxes for the command line: each box is written as "title: prompt" and a line
// feed to standard error (or the stream given). Nobody answers: Yes/No boxes get No, input
// boxes nullopt.
class StderrMessageBoxes : public MessageBoxes {
public:
    explicit StderrMessageBoxes(std::ostream& out = std::cerr) : out_(out) {}

    BoxAnswer Show(const BoxRequest& box) override;
    std::optional<std::string> AskText(const std::string& prompt, const std::string& title,
                                       const std::string& defaultText) override;

    // How many boxes have been written: a command can tell whether a step it ran reported
    // anything.
    int Written() const { return written_; }

private:
    std::ostream& out_;
    int written_ = 0;
};

}  // namespace quotaplan
