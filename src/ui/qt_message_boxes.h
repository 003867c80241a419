#pragma once

#include "common/message_boxes.h"

class QWidget;

namespace quotaplan {

// The window's message boxes: QMessageBox with the requested icon, buttons and title, and
// QInputDialog for the input box, QFileDialog for the file chooser. Modal over `parent` (or the
// active window).
class QtMessageBoxes : public MessageBoxes {
public:
    explicit QtMessageBoxes(QWidget* parent = nullptr) : parent_(parent) {}

    void SetParent(QWidget* parent) { parent_ = parent; }

    BoxAnswer Show(const BoxRequest& box) override;
    std::optional<std::string> AskText(const std::string& prompt, const std::string& title,
                                       const std::string& defaultText) override;
    std::optional<std::string> AskOpenFile(const std::string& title,
                                           const std::string& filter) override;

private:
    QWidget* parent_;
};

}  // namespace quotaplan
